#include "tabledefinition.h"

#include "xmldefinition.h"

TableDefinition::TableDefinition(XmlDefinition *reader) : m_reader(reader) {}

void TableDefinition::load(int page)
{
    m_values = &m_reader->readTableList(page);
    m_tags = &m_reader->tableTags();
}

bool TableDefinition::inside(int table, int section)
{
    return table >= 0 && table < TableShape::Tables && section >= 0 && section < TableShape::Sections;
}

const TableSectionSlots &TableDefinition::sectionAttributes(int table, int section)
{
    if (m_values && inside(table, section))
        m_slots = (*m_values)[table][section];
    else
        m_slots = TableSectionSlots{};
    return m_slots;
}

const TableSectionTags &TableDefinition::sectionTags(int table, int section)
{
    if (m_tags && inside(table, section))
        m_tagBuffer = (*m_tags)[table][section];
    else
        m_tagBuffer = TableSectionTags{};
    return m_tagBuffer;
}
