#include "tabledefinition.h"

#include "xmldefinition.h"

TableDefinition::TableDefinition(XmlDefinition *reader) : m_reader(reader) {}

void TableDefinition::load(int page)
{
    m_values = &m_reader->readTableList(page);
    m_tags = &m_reader->tableTags();
    m_slotsHold = None;
    m_tagsHold = None;
}

bool TableDefinition::inside(int table, int section)
{
    return table >= 0 && table < TableShape::Tables && section >= 0 && section < TableShape::Sections;
}

int TableDefinition::sectionKey(int table, int section)
{
    return inside(table, section) ? table * TableShape::Sections + section : Empty;
}

const TableSectionSlots &TableDefinition::sectionAttributes(int table, int section)
{
    const int key = m_values ? sectionKey(table, section) : Empty;
    if (key == m_slotsHold)
        return m_slots;
    m_slotsHold = key;
    if (key != Empty)
        m_slots = (*m_values)[table][section];
    else
        m_slots = TableSectionSlots{};
    return m_slots;
}

const TableSectionTags &TableDefinition::sectionTags(int table, int section)
{
    const int key = m_tags ? sectionKey(table, section) : Empty;
    if (key == m_tagsHold)
        return m_tagBuffer;
    m_tagsHold = key;
    if (key != Empty)
        m_tagBuffer = (*m_tags)[table][section];
    else
        m_tagBuffer = TableSectionTags{};
    return m_tagBuffer;
}
