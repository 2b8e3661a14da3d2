#include "programsetup.h"

#include "dialogfont.h"
#include "widgetstyle.h"

#include <QApplication>

void prepareApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("TKV-05"));
    if (QStyle *style = Platform::buttonStyle())
        QApplication::setStyle(style);
    QApplication::setFont(Platform::dialogFont());
}
