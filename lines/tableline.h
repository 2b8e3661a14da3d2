#pragma once
#include <QObject>

// One line of a table page: the side panel, the header or one data row, turned from the page's
// definition into widgets and cells bound to the image. The tree line derives from it.
class TableLine : public QObject
{
    Q_OBJECT

public:
    TableLine();
    ~TableLine() override;

    bool treeFlag = false; // kept by tree lines only: the line has a restore-defaults button
};
