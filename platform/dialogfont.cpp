#include "dialogfont.h"

#include <QStringList>

namespace Platform {

QFont dialogFont()
{
    const QString family = QStringLiteral("MS Shell Dlg 2");
    if (QFont::substitutes(family).isEmpty())
        QFont::insertSubstitutions(family, {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed")});
    return QFont(family, 8);
}

}
