#pragma once

#include <QString>

// Texts that table cells show in place of a value, shared by the page's sources.

// A key slot's free code and flat, and a found list's empty place.
inline const QString EmptyCell = QStringLiteral("-----");
// A flat cell showing this holds a number that was refused as unserviced.
inline const QString UnservicedFlat = QStringLiteral("e");
