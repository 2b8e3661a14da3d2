#include "linetext.h"

namespace Platform {

QString asOneLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return line;
}

}
