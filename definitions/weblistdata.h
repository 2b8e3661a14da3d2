#pragma once
#include "definitiontables.h"

class XmlDefinition;

// The definition accessor of one web page: as TreePageDefinitions, but it hands out the first 11
// slots of each element (a URL's TEXT stands in slot 0).
class WebListData
{
public:
    explicit WebListData(XmlDefinition *reader);
    WebListData(const WebListData &) = delete;
    WebListData &operator=(const WebListData &) = delete;

    void load(int page);
    const WebLineSlots &lineAttributes(int headLine, int line);
    const TreeLineTags &lineTags(int headLine, int line);

private:
    XmlDefinition *m_reader;
    WebLineSlots m_attributes;
    const TreeListValues *m_values = nullptr;
    const TreeListTags *m_tags = nullptr;
    TreeLineTags m_tagBuffer;
};
