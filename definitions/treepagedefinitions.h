#pragma once
#include "definitiontables.h"

class XmlDefinition;

// The definition accessor of one tree page: binds the page's tree tables once and hands out one
// line at a time, copied into buffers it owns. Every call returns the same buffers, overwritten whole;
// a line outside the page's tables comes back empty.
class TreePageDefinitions
{
public:
    explicit TreePageDefinitions(XmlDefinition *reader);
    TreePageDefinitions(const TreePageDefinitions &) = delete;
    TreePageDefinitions &operator=(const TreePageDefinitions &) = delete;

    void load(int page);
    const TreeLineSlots &lineAttributes(int headLine, int line);
    const TreeLineTags &lineTags(int headLine, int line);

private:
    XmlDefinition *m_reader;
    TreeLineSlots m_attributes;
    const TreeListValues *m_values = nullptr;
    const TreeListTags *m_tags = nullptr;
    TreeLineTags m_tagBuffer;
};

// Copies of one line of a bound tree table into an accessor's buffers, shared by the tree page and
// the web page accessors.
namespace TreeLineCopy {
template <typename Slots>
void attributes(Slots &buffer, const TreeListValues *values, int headLine, int line)
{
    const bool inside = values && headLine >= 0 && headLine < int(values->size()) && line >= 0
        && line < TreeShape::Lines;
    for (int e = 0; e < TreeShape::Elements; ++e)
        for (std::size_t s = 0; s < buffer[e].size(); ++s)
            buffer[e][s] = inside ? (*values)[headLine][line][e][s] : QString();
}
void tags(TreeLineTags &buffer, const TreeListTags *tags, int headLine, int line);
}
