#include "dialogfont.h"
#include "mainwindow.h"
#include "widgetstyle.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (QStyle *style = Platform::buttonStyle())
        QApplication::setStyle(style);
    QApplication::setFont(Platform::dialogFont());
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    MainWindow window(QRect(0, 0, desktop.width(), desktop.height()));
    return app.exec();
}
