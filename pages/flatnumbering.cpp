#include "flatnumbering.h"

#include "page.h"

void FlatNumbering::takeFrom(Page *treePage)
{
    const auto keep = [](QString &kept, const QString &found) {
        if (!found.isEmpty())
            kept = found;
    };
    const QStringList specialHere = treePage->getSpecialFlatAddresses();
    if (!specialHere.isEmpty())
        special = specialHere;
    keep(flatUpStairs, treePage->getFlatUpStairsAddress());
    keep(shiftRange, treePage->getShiftRangeAddress());
    keep(flatMin, treePage->getFlatMinAddress());
    keep(flatMax, treePage->getFlatMaxAddress());
    keep(blocNumber, treePage->getBlocNumberAddress());
}

void FlatNumbering::handTo(Page *tablePage) const
{
    tablePage->setFlatParameters(blocNumber, flatUpStairs, shiftRange, flatMin, flatMax, special);
}
