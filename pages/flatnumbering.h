#pragma once

#include <QString>
#include <QStringList>

class Page;

// The flat numbering that the tree pages of a set hand to the table pages after them: for each
// address, the one of the last tree page so far that has it.
struct FlatNumbering
{
    QString blocNumber;
    QString flatUpStairs;
    QString shiftRange;
    QString flatMin;
    QString flatMax;
    QStringList special;

    // Takes the addresses a built tree page has; those it lacks stay as they were.
    void takeFrom(Page *treePage);
    // Hands the addresses to a table page before it is built.
    void handTo(Page *tablePage) const;
};
