#include "mainwindow.h"

#include "comport.h"
#include "datapaths.h"
#include "operationbin.h"
#include "osversion.h"
#include "ui_mainwindowclass.h"
#include "xmldefinition.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>

namespace {

// Stand-ins for a language whose flag file is missing, by block position. The embedded resources
// hold no picture there, so the language dialog shows its question mark for such a language.
const char *const FallbackFlags[] = {
    ":Img/debug/Rsc/Img/Flags_Poland.png", ":Img/debug/Rsc/Img/Flags_UK.png",
    ":Img/debug/Rsc/Img/Flags_Russia.png", ":Img/debug/Rsc/Img/Flags_Slovakia.png",
    ":Img/debug/Rsc/Img/Flags_France.png", ":Img/debug/Rsc/Img/Flags_Germany.png",
};
constexpr int FallbackFlagCount = int(sizeof(FallbackFlags) / sizeof(FallbackFlags[0]));

// The window is placed with a client area one pixel smaller, then the form enlarges it.
constexpr int PlacedWidth = MainWindow::ClientWidth - 1;
constexpr int PlacedHeight = MainWindow::ClientHeight - 1;
// Screen margin kept free at the top, right and bottom edges.
constexpr int ScreenMargin = 20;

}

// Outside any namespace, as the resource registration requires.
static void initResources()
{
    Q_INIT_RESOURCE(tkv05);
}

QString getWorkingDirPath(const QString &name)
{
    return QDir::currentPath() + name;
}

MainWindow::MainWindow(const QRect &desktop) : QMainWindow(nullptr, Qt::WindowFlags())
{
    ui = new Ui_MainWindowClass;
    initResources();
    openSettings();
    qDebug("Main Init");
    placeWindow(desktop);
    guiReader = new XmlDefinition(getWorkingDirPath(QStringLiteral("/application/xml/GUI.xlx")));
    ui->setupUi(this);
    // The form's minimum lies above the size fixed at placement: the window stays fixed at it.
    setMaximumSize(minimumSize());
    guiValues = &guiReader->readGui();
    guiKeys = &guiReader->guiKeys();
    buildLanguageLists();
    qDebug("Lng-Parse OK");
    setInitialWidgetStates();

    port = new ComPort;
    memoryImage = new OperationBin;

    connect(memoryImage, SIGNAL(errorWriteFile()), this, SLOT(errorWriteFile()));
    connect(ui->buttonLoad, SIGNAL(clicked()), this, SLOT(getDataFromBinFile()));
    connect(ui->buttonSave, SIGNAL(clicked()), this, SLOT(saveBinaryFile()));
    connect(ui->buttonReceive, SIGNAL(clicked()), this, SLOT(getDataFromEEprom()));
    connect(ui->buttonSend, SIGNAL(clicked()), this, SLOT(writeDataToEEprom()));
    connect(ui->buttonConnectDisconnect, SIGNAL(clicked()), this, SLOT(connectDisconnectPort()));
    connect(ui->buttonSaveAs, SIGNAL(clicked()), this, SLOT(saveBinFileAs()));

    for (QPushButton *button : {ui->buttonScan, ui->buttonConnectDisconnect, ui->buttonConnectA0, ui->buttonConnectA2,
                                ui->buttonConnectA4, ui->buttonSend, ui->buttonReceive, ui->buttonSave,
                                ui->buttonSaveAs, ui->buttonLoad})
        button->setAutoDefault(true);
    setFocusOrder();

    connect(ui->buttonScan, SIGNAL(clicked()), this, SLOT(availableComPorts()));
    connect(ui->comboScan, SIGNAL(currentIndexChanged(QString)), this, SLOT(recongnizeDevice(QString)));
    connect(ui->buttonConnectA0, SIGNAL(clicked()), this, SLOT(setSlaveAddressA0()));
    connect(ui->buttonConnectA2, SIGNAL(clicked()), this, SLOT(setSlaveAddressA2()));
    connect(ui->buttonConnectA4, SIGNAL(clicked()), this, SLOT(setSlaveAddressA4()));
    connect(port, SIGNAL(deviceUnplugged()), this, SLOT(deviceUnplugged()));
    connect(port, SIGNAL(unplugWarning()), this, SLOT(showUnpDevWar()));
    connect(port, SIGNAL(penUnplugged()), this, SLOT(penUnplugged()));

    bankPoller.setObjects(port, ui->buttonConnectA0, ui->buttonConnectA2, ui->buttonConnectA4, ui->buttonSend,
                          ui->buttonReceive, ui->plainTextEdit, ui->comboScan, portList);
    keyPoller.setObjects(port, ui->plainTextEdit);
    connect(&keyPoller, SIGNAL(sendTMkeySerialNumber(QString)), this, SLOT(relayKeyText(QString)));
    bankPoller.run();
    keyPoller.run();

    connect(this, SIGNAL(sendTMkeySerialNumber(QString)), memoryImage, SLOT(readTMKey(QString)));
    connect(this, SIGNAL(stateMenu(bool)), this, SLOT(setState(bool)));
    connect(this, SIGNAL(helpActionState(bool)), this, SLOT(enableHelpAction(bool)));
    connect(ui->menu_1, SIGNAL(triggered(QAction*)), this, SLOT(subMenuActionSlot(QAction*)));
    connect(this, SIGNAL(currentAction(QAction*)), this, SLOT(subMenuActionSlot(QAction*)));

    ui->comboScan->installEventFilter(this);
    ui->buttonSave->installEventFilter(this);
    checkWindowsVersion();
    chooseLanguage(languageNames, languageFlags);
    refillPortBox();
    qDebug("Main InitEnd");
}

MainWindow::~MainWindow()
{
    saveWinPos();
    // The pages refer to the image and the reader of their set: they go first.
    releasePageSet();
    delete port;
    delete memoryImage;
    delete guiReader;
    delete ui;
}

// An existing file that cannot be written gets its owner's write bit; a missing one gets the
// first-run defaults, which reach the disk with the first synchronisation.
void MainWindow::openSettings()
{
    const QString path = getWorkingDirPath(QStringLiteral("/Tkv.ini"));
    settings = new QSettings(path, QSettings::IniFormat, this);
    QFileInfo file(path);
    if (!file.exists()) {
        settings->setValue(QStringLiteral("Language"), 0);
        settings->setValue(QStringLiteral("ComPorts"), QString());
    } else if (!file.isWritable()) {
        QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
    }
}

void MainWindow::placeWindow(const QRect &desktop)
{
    const QPoint defaultCorner(desktop.width() / 2 - (PlacedWidth / 2), desktop.height() / 2 - (PlacedHeight / 2));
    QPoint corner = defaultCorner;
    const QVariant stored = settings->value(QStringLiteral("AppWinPos"), defaultCorner);
    if (stored.canConvert<QPoint>())
        corner = stored.toPoint();
    const QRect screen(0, ScreenMargin, desktop.width() - ScreenMargin, desktop.height() - 2 * ScreenMargin);
    if (!screen.contains(QRect(corner, QSize(PlacedWidth, PlacedHeight)))) {
        corner = defaultCorner;
        if (corner.x() < 0 || corner.y() < 0)
            corner = QPoint(0, ScreenMargin);
    }
    settings->setValue(QStringLiteral("AppWinPos"), corner);
    settings->sync();
    setGeometry(QRect(corner, QSize(PlacedWidth, PlacedHeight)));
    setFixedSize(PlacedWidth, PlacedHeight);
}

void MainWindow::saveWinPos()
{
    settings->setValue(QStringLiteral("AppWinPos"), geometry().topLeft());
    settings->sync();
}

QString MainWindow::guiKey(int block, int row) const
{
    return (*guiKeys)[block][row];
}

QString MainWindow::guiValue(int block, int row) const
{
    return (*guiValues)[block][row][0];
}

// The four lists hold one entry per language, by block order; a block without a flag file gets
// the stand-in of its position, so that the flags stay aligned with the names. So do the names,
// enable texts and check-box texts: a block that lacks one (a block of any row counts as a
// language) gets a built-in one, so that a button never applies another block than its own.
void MainWindow::buildLanguageLists()
{
    for (int block = 0; block < GuiShape::Blocks; ++block) {
        bool hasFlag = false;
        bool present = false;
        const int names = languageNames.size();
        const int enabled = languageEnabled.size();
        const int noAskTexts = languageNoAskTexts.size();
        for (int row = 0; row < GuiShape::Rows; ++row) {
            const QString key = guiKey(block, row);
            present = present || !key.isEmpty();
            if (key == QLatin1String("LNG_NAME")) {
                if (languageNames.size() == names)
                    languageNames.append(guiValue(block, row));
            } else if (key == QLatin1String("LNG_FLAG")) {
                const QString path = Platform::resolveDataPath(getWorkingDirPath(guiValue(block, row)));
                if (QFileInfo(path).isFile()) {
                    languageFlags.append(path);
                    hasFlag = true;
                } else {
                    qDebug("File not exist: ");
                }
            } else if (key == QLatin1String("LNG_ENABLE")) {
                if (languageEnabled.size() == enabled)
                    languageEnabled.append(guiValue(block, row));
            } else if (key == QLatin1String("LNG_TEXT_NOASK")) {
                if (languageNoAskTexts.size() == noAskTexts)
                    languageNoAskTexts.append(guiValue(block, row));
            }
        }
        if (!hasFlag && block < FallbackFlagCount)
            languageFlags.append(QLatin1String(FallbackFlags[block]));
        if (!present)
            continue;
        // A block without an enable text is not enabled, as one whose text is not "YES".
        if (languageNames.size() == names)
            languageNames.append(QStringLiteral("Language %1").arg(block + 1));
        if (languageEnabled.size() == enabled)
            languageEnabled.append(QString());
        if (languageNoAskTexts.size() == noAskTexts)
            languageNoAskTexts.append(QStringLiteral("Remember my choice and do not show this dialog at startup."));
    }
}

void MainWindow::setInitialWidgetStates()
{
    for (QPushButton *button : {ui->buttonConnectDisconnect, ui->buttonSend, ui->buttonReceive, ui->buttonSave,
                                ui->buttonSaveAs})
        button->setEnabled(false);
    for (QPushButton *button : {ui->buttonConnectA0, ui->buttonConnectA2, ui->buttonConnectA4}) {
        button->setCheckable(true);
        button->setEnabled(false);
    }
    ui->buttonLoad->setIcon(QIcon(Platform::resolveDataPath(QStringLiteral("application/png/load.png"))));
    ui->buttonSave->setIcon(QIcon(Platform::resolveDataPath(QStringLiteral("application/png/save.png"))));
    ui->buttonSaveAs->setIcon(QIcon(Platform::resolveDataPath(QStringLiteral("application/png/save_as.png"))));
    for (QWidget *widget : {static_cast<QWidget *>(ui->plainTextEdit), ui->centralWidget,
                            static_cast<QWidget *>(ui->frame), static_cast<QWidget *>(ui->statusBar)})
        widget->setFocusPolicy(Qt::NoFocus);
}

// Together with the form's own pairs: Scan, port box, Connect, A0, A2, A4, Receive, Send, Load,
// Save, Save As.
void MainWindow::setFocusOrder()
{
    const QList<QWidget *> order = {ui->buttonScan, ui->comboScan, ui->buttonConnectDisconnect, ui->buttonConnectA0,
                                    ui->buttonConnectA2, ui->buttonConnectA4, ui->buttonReceive, ui->buttonSend,
                                    ui->buttonLoad, ui->buttonSave, ui->buttonSaveAs};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order.at(i), order.at(i + 1));
}

// The stored port list fills the box; the stored port is made current again, or else the first
// entry, which is then stored as the selected port.
void MainWindow::refillPortBox()
{
    portList = settings->value(QStringLiteral("ComPorts"), QString()).toStringList();
    selectedPortText = settings->value(QStringLiteral("SelectedPort"), QString()).toString();
    ui->comboScan->clear();
    ui->comboScan->addItems(portList);
    const int stored = portList.indexOf(selectedPortText);
    if (stored >= 0)
        ui->comboScan->setCurrentIndex(stored);
}

void MainWindow::recongnizeDevice(QString com)
{
    settings->setValue(QStringLiteral("SelectedPort"), ui->comboScan->currentText());
    settings->sync();
    ui->buttonConnectDisconnect->setEnabled(com.contains(QLatin1String("TKV")));
}

// Each Windows version test that passes prints its trace. The port gets both delays at 30 ms
// whatever the version (or without one), since it must have them before its first transfer.
void MainWindow::checkWindowsVersion()
{
    constexpr int DelayMs = 30;
    int major = 0;
    int minor = 0;
    if (Platform::windowsVersion(&major, &minor)) {
        const bool passes[] = {major > 5 || (major == 5 && minor != 0), major > 5,
                               major > 6 || (major == 6 && minor != 0)};
        const char *const traces[] = {"WindowsXP", "WindowsVista", "Windows7"};
        for (int i = 0; i < 3; ++i) {
            if (passes[i])
                qDebug("%s", traces[i]);
        }
    }
    port->setDelays(DelayMs, DelayMs);
}
