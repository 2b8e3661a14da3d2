#include "mainwindow.h"
#include "programsetup.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication();
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    MainWindow window(QRect(0, 0, desktop.width(), desktop.height()));
    return app.exec();
}
