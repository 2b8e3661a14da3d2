#pragma once
#include "definitiontables.h"

class XmlDefinition;

// The definition accessor of one table page: binds the page's table tables once and hands out one
// section (15 positions) at a time, copied into buffers it owns and shares with every caller. A table
// or section outside the shape comes back empty. The bound tables never change, so a buffer that
// already holds the section asked for is handed out as it is (every data line of a table asks for
// the row template).
class TableDefinition
{
public:
    explicit TableDefinition(XmlDefinition *reader);
    TableDefinition(const TableDefinition &) = delete;
    TableDefinition &operator=(const TableDefinition &) = delete;

    void load(int page);
    const TableSectionSlots &sectionAttributes(int table, int section);
    const TableSectionTags &sectionTags(int table, int section);

private:
    static bool inside(int table, int section);
    // Which section a buffer holds: table * Sections + section, Empty, or None before the first call.
    static int sectionKey(int table, int section);
    enum : int { None = -2, Empty = -1 };

    XmlDefinition *m_reader;
    TableSectionSlots m_slots;
    const TableListValues *m_values = nullptr;
    TableSectionTags m_tagBuffer;
    const TableListTags *m_tags = nullptr;
    int m_slotsHold = None;
    int m_tagsHold = None;
};
