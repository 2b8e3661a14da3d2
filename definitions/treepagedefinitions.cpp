#include "treepagedefinitions.h"

#include "xmldefinition.h"

TreePageDefinitions::TreePageDefinitions(XmlDefinition *reader) : m_reader(reader) {}

void TreePageDefinitions::load(int page)
{
    m_values = &m_reader->readTreeList(page);
    m_tags = &m_reader->treeTags();
}

const TreeLineSlots &TreePageDefinitions::lineAttributes(int headLine, int line)
{
    TreeLineCopy::attributes(m_attributes, m_values, headLine, line);
    return m_attributes;
}

const TreeLineTags &TreePageDefinitions::lineTags(int headLine, int line)
{
    TreeLineCopy::tags(m_tagBuffer, m_tags, headLine, line);
    return m_tagBuffer;
}

namespace TreeLineCopy {
void tags(TreeLineTags &buffer, const TreeListTags *tags, int headLine, int line)
{
    const bool inside = tags && headLine >= 0 && headLine < int(tags->size()) && line >= 0 && line < TreeShape::Lines;
    for (int e = 0; e < TreeShape::Elements; ++e)
        buffer[e] = inside ? (*tags)[headLine][line][e] : QString();
}
}
