#include "slotlists.h"

namespace DefinitionSlots {

namespace {

void addList(SlotLists &lists, const QStringList &tags, const QStringList &names, bool oneName = false)
{
    for (const QString &tag : tags)
        lists.insert(tag, SlotList{names, oneName});
}

int slotIn(const SlotLists &lists, const QString &tag, const QString &attribute)
{
    const auto it = lists.constFind(tag);
    if (it == lists.constEnd() || attribute.isEmpty())
        return -1;
    if (it->oneName)
        return it->names.first() == attribute ? 0 : -1;
    return int(it->names.indexOf(attribute));
}

} // namespace

const SlotLists &treeSlotLists()
{
    static const SlotLists lists = [] {
        SlotLists l;
        addList(l, {"TEXT", "TEXTR", "TEXT1"}, {"WIDTH", "POS", "FTCOL", "TXT", "ID"});
        addList(l, {"BUTTON_ON_OFF"}, {"WIDTH", "POS", "FTCOL", "FTCOL_DIF", "VTYPE", "VALUE_LIST", "SELCOL", "VINIT",
                                       "EEADDR", "STYLE_DIFF"});
        addList(l, {"EDIT"}, {"WIDTH", "POS", "FTCOL", "FTCOL_DIF", "VTYPE", "VMIN", "VMAX", "VINIT", "UID", "EEADDR",
                              "FORMAT", "STYLE_DIFF"});
        addList(l, {"EDITR"}, {"WIDTH", "POS", "FTCOL", "FTCOL_DIF", "LENGTH", "VTYPE", "VINIT", "UID", "EEADDR"});
        addList(l, {"VALUE"}, {"WIDTH", "POS", "FTCOL", "UID", "VTYPE", "EEADDR", "SIZE", "STYLE_DIFF"});
        addList(l, {"CBEDIT"}, {"WIDTH", "POS", "FTCOL", "FTCOL_DIF", "VTYPE", "VINIT", "EEADDR", "VALUE_LIST",
                                "TEXT_LIST", "UID", "STYLE_DIFF"});
        addList(l, {"BUTTON_INIT"}, {"BUTTON_NAME", "WIDTH", "WARNING"});
        addList(l, {"DRAW_LINE", "BGCOL", "BGCOL_DIFF"}, {"COLOR"});
        addList(l, {"HELP"}, {"TXT"}, true);
        addList(l, {"FRAME", "FRAME2"}, {"WIDTH"}, true);
        addList(l, {"URL"}, {"TEXT"}, true);
        return l;
    }();
    return lists;
}

const SlotLists &tableSlotLists()
{
    static const SlotLists lists = [] {
        SlotLists l;
        addList(l, {"BOX_MENU", "BOX_SECTIONS"}, {"X", "Y", "W", "H", "TITLE"});
        addList(l, {"BUTTON_1", "BUTTON_2", "BUTTON_3", "BUTTON_4", "BUTTON_5", "BUTTON_6"},
                {"WIDTH", "HORIZ_MARG", "VERT_MARG", "TEXT", "HELPTXT", "STYLE"});
        addList(l, {"TABLEDIM"}, {"SIZE", "INDEX_MIN", "INDEX_MAX", "COMMENTS"});
        addList(l, {"TABSECTIONS"}, {"SECTION_1", "COLOR_1", "SECTION_2", "COLOR_2", "SECTION_3", "COLOR_3", "TEXT_1",
                                     "TEXT_2", "TEXT_3"});
        addList(l, {"TEXTH"}, {"WIDTH", "POS", "FTCOL", "TXT"});
        addList(l, {"TEXT_TABLE"}, {"WIDTH", "POS", "FTCOL", "TXT", "VTYPE", "VALUE", "FLAT_NR_START", "HELPTXT"});
        addList(l, {"TEXT_INDEX"}, {"WIDTH", "POS", "FTCOL", "TXT", "VTYPE", "VALUE", "HELPTXT"});
        // Slot 6 has no name: it counts towards the list's length and is never filled.
        addList(l, {"TEXT_1", "TEXT_2", "TEXT_3", "TEXT_4", "TEXT_5", "TEXT_6", "TEXT_7"},
                {"WIDTH", "HORIZ_MARG", "VERT_MARG", "POS", "LABEL", "STYLE", ""});
        addList(l, {"EDIT"}, {"UID", "WIDTH", "POS", "FTCOL", "FTCOL_DIF", "VTYPE", "VMIN", "VMAX", "VINIT", "TABADDR",
                              "HELPTXT", "FLAT_NR_START", "FORMAT"});
        addList(l, {"CBEDIT"}, {"WIDTH", "POS", "FTCOL", "FTCOL_DIF", "VTYPE", "VMIN", "VMAX", "VINIT", "TABADDR",
                                "VALUE_LIST", "HELPTXT", "FORMAT"});
        addList(l, {"BLOC_NUMBER"}, {"WIDTH", "POS", "FTCOL", "VTYPE", "VMIN", "VMAX", "VINIT", "HELPTXT", "FORMAT"});
        addList(l, {"SOUND_FILES"}, {"NEW_KEY", "KEY_ADDED", "KEY_NOT_ADDED", "CHECK_KEY_FOUND", "CHECK_KEY_NOT_FOUND"});
        return l;
    }();
    return lists;
}

int treeSlot(const QString &tag, const QString &attribute)
{
    return slotIn(treeSlotLists(), tag, attribute);
}

int tableSlot(const QString &tag, const QString &attribute)
{
    return slotIn(tableSlotLists(), tag, attribute);
}

} // namespace DefinitionSlots
