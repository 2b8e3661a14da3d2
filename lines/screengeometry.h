#pragma once

#include <QRect>
#include <QWidget>
#include <QtGlobal>

// Widget geometry from the pixel numbers of a definition file. A position or size far outside any
// screen is held to what a widget can have (QWIDGETSIZE_MAX), so that positions, sizes and their
// sums stay exact whatever numbers a definition gives.
namespace ScreenGeometry {

constexpr int Limit = QWIDGETSIZE_MAX;

// A position, held to -Limit..Limit.
constexpr int position(qint64 value)
{
    return int(qBound<qint64>(-Limit, value, Limit));
}

// A width or height, held to 0..Limit.
constexpr int extent(qint64 value)
{
    return int(qBound<qint64>(0, value, Limit));
}

inline QRect rect(qint64 x, qint64 y, qint64 width, qint64 height)
{
    return QRect(position(x), position(y), extent(width), extent(height));
}

}
