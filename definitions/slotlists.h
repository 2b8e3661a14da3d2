#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

// The attribute names that fill an element's slots, slot 0 first, selected by the element's tag:
// one list per tag of tree and web pages, one per tag of table pages. The reader fills its tables by
// these lists, and whoever reads a slot finds it by the attribute's name here.
namespace DefinitionSlots {

// A list marked oneName has a single name whose value fills every slot the element is given.
struct SlotList {
    QStringList names;
    bool oneName = false;
};
using SlotLists = QHash<QString, SlotList>;

const SlotLists &treeSlotLists();
const SlotLists &tableSlotLists();

// The slot that holds an attribute of an element with this tag, -1 when the tag's list has no such
// name. For a one-name list every slot holds the value; its first is given.
int treeSlot(const QString &tag, const QString &attribute);
int tableSlot(const QString &tag, const QString &attribute);

} // namespace DefinitionSlots
