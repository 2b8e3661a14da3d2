#pragma once

#include <QString>

namespace Platform {

// The text with each control character (line breaks, TABs, DEL and the like) written as a space, so
// that it stays one line of a text file: the title line of a table text file holds such a text.
QString asOneLine(const QString &text);

}
