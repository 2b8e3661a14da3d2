#pragma once
#include <QString>
#include <QVector>

#include <array>
#include <vector>

// The fixed-shape tables of raw attribute texts that XmlDefinition builds. Every text starts empty;
// what a file does not fill stays empty, so a consumer may read the whole shape of any table.

enum PageKind : int {
    PageKindNone = 0,   // the PAGE's last child is no page body
    PageKindTree = 1,   // TREE_LIST
    PageKindTable = 2,  // TABLE_LIST
    PageKindWeb = 3     // WEB_LIST
};
using PageKindList = QVector<PageKind>;

// Tree and web pages: up to 50 head lines, per head line 100 lines of 10 elements, 14 slots per
// element.
namespace TreeShape {
constexpr int HeadLines = 50; // the shipped pages have at most 15
constexpr int Lines = 100;   // the head line's own row and 99 lines
constexpr int Elements = 10;
constexpr int Slots = 14;
constexpr int WebSlots = 11; // a web page's accessor hands out the first 11 slots
}
using TreeElementSlots = std::array<QString, TreeShape::Slots>;
using TreeLineSlots = std::array<TreeElementSlots, TreeShape::Elements>;
using TreeLineTags = std::array<QString, TreeShape::Elements>;
using TreeListValues = std::vector<std::array<TreeLineSlots, TreeShape::Lines>>;
using TreeListTags = std::vector<std::array<TreeLineTags, TreeShape::Lines>>;
using WebElementSlots = std::array<QString, TreeShape::WebSlots>;
using WebLineSlots = std::array<WebElementSlots, TreeShape::Elements>;

// Table pages: [table][section][position][slot], one table of three sections of 15 positions.
namespace TableShape {
constexpr int Tables = 1;
constexpr int Sections = 3;   // 0 column headers, 1 row template, 2 side panel
constexpr int Positions = 15;
constexpr int Slots = 13;
}
using TablePositionSlots = std::array<QString, TableShape::Slots>;
using TableSectionSlots = std::array<TablePositionSlots, TableShape::Positions>;
using TableSectionTags = std::array<QString, TableShape::Positions>;
using TableListValues = std::array<std::array<TableSectionSlots, TableShape::Sections>, TableShape::Tables>;
using TableListTags = std::array<std::array<TableSectionTags, TableShape::Sections>, TableShape::Tables>;

// "GUI.xlx": [language block][row], a key and up to three values per row.
namespace GuiShape {
constexpr int Blocks = 8;
constexpr int Rows = 120;
constexpr int Values = 3;
}
using GuiRowValues = std::array<QString, GuiShape::Values>;
using GuiValues = std::array<std::array<GuiRowValues, GuiShape::Rows>, GuiShape::Blocks>;
using GuiKeys = std::array<std::array<QString, GuiShape::Rows>, GuiShape::Blocks>;
