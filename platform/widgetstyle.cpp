#include "widgetstyle.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>

namespace Platform {

QStyle *buttonStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        QStyle *made = QStyleFactory::create(QStringLiteral("Plastique"));
        if (!made)
            made = QStyleFactory::create(QStringLiteral("Fusion"));
        if (made)
            made->setParent(qApp);
        style = made;
    }
    return style;
}

}
