#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

// The command core of the simulated programming interface: the memories A0, A2 and A4 and the
// answers to the interface's commands, with failure modes that can be set on the block commands.
//
// Replies: each command is echoed with "\r\n" before its answer, and the answer ends in "\r":
//   "hwid"                -> "hwid\r\n" identification "\r"
//   "scan"                -> "scan\r\n" the present memories, e.g. "A0 A4", "\r"
//   "rd:SS@AAAA,NN"       -> echo "\r\n**" NN bytes as hex digits "-" checksum "\r"
//                            or echo "\r\nERMA Memory Addres > " last address "\r" past the end
//   "wr:SS@AAAA,DD..."    -> echo "\r\nok\r" (or the ERMA answer past the end); without write
//                            echo (setWriteEcho(false)) the answer alone: "ok\r"
//   "idon", "idoff"       -> "ok\r"
// A command to a memory that is absent gets no answer. An "ok" always means the write was stored.
// All methods are thread-safe.
class DevSimCore
{
public:
    enum class Fault {
        None,
        Silence,     // no answer
        Late,        // the whole answer comes after lateMs()
        Split,       // the first splitAt() bytes (half when 0) at once, the rest after lateMs()
        Cut,         // the first splitAt() bytes (half when 0) and never the rest; a write is not stored
        Garbage,     // an answer of random printable bytes
        WrongMark,   // a read answer of the right length with "-" replaced
        BadDigit,    // a read answer of the right length with a data digit that is not hexadecimal
        ReadError,   // "*errd" with the memory's name
        WriteError,  // "*erwr" with the memory's name
        DropOut,     // the memory leaves the bus (and the scan) for good
        HangUp,      // the interface goes away: the terminal hangs up
        // Faults of the randomized link test; "at" is the fault's own position or count (see
        // addFault), "late" its own delay (lateMs() when not given).
        Repeat,      // the whole answer, and again after late
        Garble,      // the byte at "at" replaced by one that is no hex digit, mark or letter of "ok"
        NulByte,     // a NUL byte put in at "at"
        BareOk,      // "ok\r" alone; a write is stored
        BareOkLost,  // "ok\r" alone; a write is not stored
        OtherBlock,  // the answer to the same command for the block "at" blocks on; a write is not stored
        OtherMemory, // the answer to the same command for the memory "at" on (A0, A2, A4 in a ring); a
                     // write is not stored
        UpperCase,   // the answer in capitals
        Chatter,     // the answer, then bytes that answer nothing every "at" ms for late
        OkHeldUp,    // a write stored and answered with its echo alone; its "ok" is held up until the
                     // answer of the block command "at" on (1 when not given), and follows it
        OkHeldUpFirst, // the same, the held-up "ok" going before that answer
    };

    struct Chunk {
        int delayMs = 0;
        QByteArray bytes;
        // With it the whole echo of a write command, its carriage return included, has gone out; the
        // command came in the connection numbered (see reconnected()).
        bool writeEcho = false;
        int connection = 0;
    };
    struct Reply {
        QList<Chunk> chunks;
        bool hangUp = false;
    };

    DevSimCore();

    // Memories by slave index 0 (A0), 1 (A2), 2 (A4). An absent memory does not answer.
    void setMemory(int slave, const QByteArray &bytes);
    void removeMemory(int slave);
    QByteArray memory(int slave) const;
    bool hasMemory(int slave) const;
    static int slaveIndex(const QString &slaveText);

    void setIdentification(const QString &text);
    // No answer to anything at all (an interface that hangs).
    void setMuted(bool muted);

    // A fault on the block commands ("rd" of 16 bytes and "wr") numbered first to first + count - 1
    // in order of arrival, from 0 (count below 0: all from first on), with its own delay and position
    // or count (see addFault).
    struct FaultRange {
        Fault fault;
        int first;
        int count;
        int lateMs;
        int at;
    };
    // setFault replaces all faults, addFault adds one (the first that applies wins).
    void setFault(Fault fault, int first = 0, int count = 1);
    void addFault(Fault fault, int first = 0, int count = 1);
    // The same with a delay (Late, Split, Repeat, Chatter; below 0 lateMs()) and a position or
    // count of its own (Split and Cut: bytes at once, below 1 as splitAt(); Garble and NulByte: the
    // byte; OtherBlock: blocks on; OkHeldUp: block commands on; OtherMemory: memories on; Chatter:
    // ms between its bytes).
    void addFault(Fault fault, int first, int count, int lateMs, int at);
    void clearFault();
    // Every answer (of any command) comes this much later.
    void setAnswerDelayMs(int ms);
    void setLateMs(int ms);
    int lateMs() const;
    // Where Fault::Split and Fault::Cut cut an answer: after this many bytes; 0 (the default) in
    // the middle.
    void setSplitAt(int bytes);
    // In turn, every answer waits until the one before has gone out whole, as from an interface
    // busy sending it. Otherwise (the default) a part held up on its way is passed by the answers
    // to later commands.
    void setAnswersInTurn(bool inTurn);
    bool answersInTurn() const;
    // Whether a write is answered with its echo before the "ok" (the default), or with "ok" alone.
    void setWriteEcho(bool echo);
    // The program has closed its port and opened it again: the echoes of writes sent before teach it
    // nothing (see delivered()).
    void reconnected();

    // The replies no reader can tell from a good one (see delivered()): for a block read, the bytes
    // of a good reply to it (its own echo, the marks, 32 hex digits) with data that are not the
    // memory's; for a block write the memory did not store, an "ok" that reads as its answer. The
    // interface puts such replies together from pieces of others: a reply cut off and the held-up
    // rest of another, a bare "ok" held up from an earlier write.
    struct LookAlike {
        enum Kind {
            ReadData,   // a read reply with its own echo and marks and another block's data
            EchoOk,     // a lost write's whole echo and line end, then an "ok" held up from another
            BareOk,     // an "ok" without echo, where the interface has not yet echoed a write
        } kind;
        int command;   // the command's number in order of arrival, from 0 (see commandsHandled())
        int slave;
        int address;
        QByteArray data;   // a read's data digits, in small letters; empty for a write
    };
    QList<LookAlike> lookAlikes() const;
    // What the runner sends on the line, in order. Bytes that reach the line between a block command
    // and the next command are that command's reply to any reader; they make a look-alike when, with
    // carriage returns (and for a write NUL bytes) removed:
    // - a block read: they are its own echo (in either letter case) followed by the marks and digits
    //   of a reply, 51 characters in all, with other data;
    // - a write not stored, where they hold no "*erwr": they hold its own whole echo followed by line
    //   ends and blanks, at least one line end, then "ok"; or, without its echo, an "ok" and no "@"
    //   where the interface does not echo writes or has not sent the whole echo of one since the
    //   last reconnected().
    void delivered(const Chunk &chunk);

    Reply handle(const QByteArray &command);
    static QByteArray keyRecord(const QString &longSerial, const QString &keyCode);

    // A memory of size bytes filled with a pattern that no model's identification word matches.
    static QByteArray patternMemory(int size);
    // What A0 holds when the simulator is started without a memory option: the shipped sample image
    // of the U65 model, from DATA/ below the working directory or else from the checkout the
    // simulator was built from, so that a first Receive recognises the model; *source is its path.
    // Where neither has it: 8192 bytes of pattern, and *source is empty.
    static QByteArray defaultMemory(QString *source = nullptr);

    QStringList commands() const;
    int commandsHandled() const;   // all commands since construction; clearLog() leaves it
    int blockCommands() const;
    void clearLog();

private:
    Reply answer(const QByteArray &command);
    Reply blockAnswer(const QByteArray &command, bool read, int slave, int address, const QByteArray &payload);
    void addHeldOks(Reply *reply, int blockCommand);
    QByteArray readAnswer(const QByteArray &echo, int slave, int address, int count) const;
    QByteArray otherAnswer(const FaultRange &f, bool read, int slave, int address, const QByteArray &payload) const;
    QByteArray chatterBytes();
    quint32 nextRandom();
    bool windowLookAlike(LookAlike *lookAlike) const;
    void closeWindow();

    mutable QMutex m_mutex;
    QByteArray m_memory[3];
    bool m_present[3] = {false, false, false};
    QString m_identification;
    bool m_muted = false;
    QList<FaultRange> m_faults;
    int m_answerDelayMs = 0;
    int m_lateMs = 60;
    int m_splitAt = 0;
    bool m_answersInTurn = false;
    bool m_writeEcho = true;
    int m_blockCommands = 0;
    int m_commandsHandled = 0;
    // "ok"s held up by OkHeldUp: the block command whose answer takes each, and whether it goes first.
    struct HeldOk {
        int command;
        bool first;
    };
    QList<HeldOk> m_heldOks;
    // The reply window of the last command: what has reached the line since it came.
    struct Window {
        enum Kind { None, Read, LostWrite } kind = None;
        int command = 0;
        int slave = 0;
        int address = 0;
        QByteArray echo;
        QByteArray dataHex;
        QByteArray bytes;
    };
    Window m_window;
    int m_connection = 0;
    bool m_writeEchoSent = false;   // in this connection
    QList<LookAlike> m_lookAlikes;
    QStringList m_log;
    quint32 m_random = 12345;
};
