"""Memory layout of the two sample control-unit models.

Both the definition files (make_definitions.py) and the sample images (make_images.py) take their
addresses from here, so that an image always matches the pages built over it.

RK4820 U65 (identification word 0x1491): door-entry unit with coded lock for up to 254 flats,
1024 key fobs and a name directory for the display.
RK4820 H65 (identification word 0x3BA1): single-entrance access unit, 2048 key fobs, no flats.
"""

MEMSIZE = 8192
MODEL_ID_ADDRESS = 0x000E  # the word every model keeps its identification in

# Words and bit words of the parameter area, shared by both models (decimal byte addresses).
SN = 0                 # serial number, U16
FIRMWARE = 2           # firmware version, U16, shown read-only
HARDWARE = 4           # hardware revision, U16, display only
BLOCK_NUMBER = 8       # number of the building block (name directory export)
SERVICE_CODE = 10      # installer's service code, 0000-9999
BACKLIGHT_DAYS = 12    # bit mask of the days the keypad is lit (bit 0 Monday), shown in base 2
IDD = MODEL_ID_ADDRESS
DOOR_OPEN_TIME = 16    # seconds
CALL_TIME = 18         # seconds
OPTIONS = 20           # bit word: 0 exit button, 1 door alarm, 2 release while talking,
                       # 3 fail-safe lock, 4 call confirmation tone, 5 key beep
TALK_TIME = 22         # seconds
SPEAKER_VOLUME = 24    # 1-7
MIC_GAIN = 26          # 0-3
DOOR_ALARM_DELAY = 32  # seconds
LOCK_TYPE = 34         # 0 electromagnetic, 1 electric strike, 2 motor lock
PORTER_FLAT = 36       # logical number of the porter's flat, 0 = none
CONTRAST = 38          # display contrast 1-5
BRIGHTNESS = 41        # display brightness 0-100 %, one byte (the odd half of word 40)
OPTIONS2 = 30          # bit word: 0 night mode, 1 button backlight, 2 name directory on display
SHIFT_RANGE = 42       # ShiftRange
FLAT_UP_STAIRS = 44    # FlatUpStairs
FLAT_MIN = 46          # FlatMin
FLAT_MAX = 48          # FlatMax
SPECIAL_FLATS = [50 + 2 * i for i in range(14)]  # L_1 .. L_14
IDO = 0x0100           # object identifier text
IDO_LENGTH = 30        # characters (UTF-16LE, two bytes each)

# RK4820 U65 tables.
LOCK_CODES = 0x0200        # word per flat, flats 1..254
FLAT_OPTIONS = 0x0600      # option word per flat (1536 + 2 * flat)
LOCK_FLATS = 254
FLAT_NR_START = 241        # first physical number of a special flat
# Bit fields of the option word, in table column order.
OPTION_FIELDS = [("melody", 0, 2), ("volume", 3, 4), ("rings", 5, 7), ("mode", 8, 9),
                 ("authorization", 12, 13), ("codedlock", 10, 11)]
NO_ITEM_FLAT = 70          # its authorization field holds 3, which the option list has no item for
U65_KEY_CODES = 0x0800     # word per key slot
U65_KEY_FLATS = 0x1000     # byte per key slot
U65_KEYS = 1024
NAMES = 0x1400             # name directory
NAME_RECORD = 32           # bytes per record
NAME_CHARS = 14            # characters of the name field (28 bytes)
NAME_FLAT_OFFSET = 28      # U16 logical flat number
NAME_BLOCK_OFFSET = 30     # U8 block number (byte 31 unused)
NAME_RECORDS = 96          # 0x1400 + 96 * 32 = 0x2000

# RK4820 H65 tables.
H65_KEY_CODES = 0x0800
H65_KEY_FLATS = 0x1800
H65_KEYS = 2048
H65_FLAT_NR_START = 255
H65_FLAT_KEY = 5           # key slot whose flat byte is 5 although the model has no flat numbering

MODELS = {
    "RK4820_U65": {"id": 0x1491, "type": "4820_U"},
    "RK4820_H65": {"id": 0x3BA1, "type": "4820_H"},
}
