#include "weblistdata.h"

#include "treepagedefinitions.h"
#include "xmldefinition.h"

WebListData::WebListData(XmlDefinition *reader) : m_reader(reader) {}

void WebListData::load(int page)
{
    m_values = &m_reader->readTreeList(page);
    m_tags = &m_reader->treeTags();
}

const WebLineSlots &WebListData::lineAttributes(int headLine, int line)
{
    TreeLineCopy::attributes(m_attributes, m_values, headLine, line);
    return m_attributes;
}

const TreeLineTags &WebListData::lineTags(int headLine, int line)
{
    TreeLineCopy::tags(m_tagBuffer, m_tags, headLine, line);
    return m_tagBuffer;
}
