#ifndef EXTRACTOR_MAINWINDOW_H
#define EXTRACTOR_MAINWINDOW_H

#include <QByteArray>
#include <QMainWindow>
#include <QString>

class Ui_MainWindow;

// The extractor's one window: loads an RK-4810 image, lists its key slots and writes the key-table
// text file beside the image.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

public slots:
    void readBinFile();
    void writeTMFile();

private:
    void setColumnWidths();
    void fillList();

    QByteArray image;
    QString outputFileName; // empty until an image has been loaded
    Ui_MainWindow *ui;
};

#endif
