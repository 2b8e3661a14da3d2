#pragma once
#include "definitiontables.h"

class XmlDefinition;

// The definition accessor of one table page: binds the page's table tables once and hands out one
// section (15 positions) at a time, copied into buffers it owns and shares with every caller. A table
// or section outside the shape comes back empty.
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

    XmlDefinition *m_reader;
    TableSectionSlots m_slots;
    const TableListValues *m_values = nullptr;
    TableSectionTags m_tagBuffer;
    const TableListTags *m_tags = nullptr;
};
