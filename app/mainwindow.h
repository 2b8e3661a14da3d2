#pragma once

#include "definitiontables.h"
#include "flatnumbering.h"
#include "mythread.h"
#include "roadgate.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QString>
#include <QStringList>

class ComPort;
class MyProgressDialog;
class OperationBin;
class Page;
class QAction;
class QComboBox;
class QLineEdit;
class QSettings;
class QTabWidget;
class Ui_MainWindowClass;
class XmlDefinition;
namespace Platform { class HelpView; }

// The current directory followed directly by name; name begins with "/".
QString getWorkingDirPath(const QString &name);

// TKV-05's only window. The constructor runs the whole start-up: settings, placement, the language
// table, the form, the port and image objects, the connections, the pollers' first runs, the
// language choice (which shows the window, or ends the program when no language is chosen) and the
// refill of the port box. It returns with the window shown.
//
// Settings: "Tkv.ini" in the working directory, keys AppWinPos, SelectedPort, ComPorts, Language.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const QRect &desktop);
    ~MainWindow() override;

    // Size of the window's client area; it cannot be resized.
    static constexpr int ClientWidth = 800;
    static constexpr int ClientHeight = 600;

signals:
    void sendTMkeySerialNumber(QString TMKeySerialNumber);
    void stateMenu(bool state);
    void helpActionState(bool state);
    void currentAction(QAction *action);
    void saveTMTable();

public slots:
    void saveWinPos();
    void setInterface(int lng);

    // Menu commands, their shortcuts and the action states.
    void subMenuActionSlot(QAction *action);
    void showInstruction();
    void deleteSystem();
    void backTo();
    void aboutProgram();
    void appExit();
    void editComboBox();
    void clearStatus();
    void setState(bool state);
    void enableHelpAction(bool state);
    void enableDeleteAction(bool state);

    // Ports and memory buttons.
    void availableComPorts();
    void recongnizeDevice(QString com);
    void connectDisconnectPort();
    void deviceUnplugged();
    void setSlaveAddressA0();
    void setSlaveAddressA2();
    void setSlaveAddressA4();
    void updateButtonsPosition();
    void showUnpDevWar();
    void penUnplugged();
    void currentTabWidget(int index);

    // Model recognition.
    QString getXMLFileName(int switch_Device_File);
    void getActualXmlFile();
    void updateButtonsConnectionState();

    // Receive and Send.
    void getDataFromEEprom();
    void writeDataToEEprom();
    void setProgress(int progress);

    // Image files.
    void getDataFromBinFile();
    void saveBinaryFile();
    void saveBinFileAs();
    // The write-error box of an image save: FILE_WRITE_ERROR, or FILE_WRITE_INCOMPLETE where the file
    // was written in place and may be incomplete, then the file's path and the system's reason (as
    // the image tells them) on lines of their own.
    void errorWriteFile();

    // Page set.
    void creatPages();
    void updatePagesQuestion(int number);
    void updateTables();

private slots:
    // Relay of the key poll's text: from its first key record on.
    void relayKeyText(QString text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    friend class MainWindowProbe;

    // Start-up and lifetime.
    void openSettings();
    void placeWindow(const QRect &desktop);
    void buildLanguageLists();
    void setInitialWidgetStates();
    void setFocusOrder();
    void refillPortBox();
    void checkWindowsVersion();

    // Language step.
    void chooseLanguage(const QStringList &names, const QStringList &flagPaths);
    void applyInterfaceTexts(int language);
    void addMenuAction(const QString &objectName, const QString &text, bool enabled, bool separator);
    void makeShortcuts(const QString &value);
    QString guiValue(int block, int row) const;
    QString guiKey(int block, int row) const;

    // Help views, menu commands and window events.
    void createHelpBrowser(const QString &page);
    void showHelpPage(const QString &page);
    QAction *menuAction(const QString &objectName) const;
    void emitEnabledAction(const QString &objectName);
    bool askDoNotSave();
    void showAboutBox();
    void playSound();

    // Ports: connects the port of the box, or disconnects the connected one.
    void switchPort();

    // Model recognition, transfers, image files and the page set.
    void showModelChoiceDialog(const QStringList &fileNames, const QString &title);
    QString modelFilePath(const QString &fileName) const;
    // Whether a model's memory size is one a transfer can take (ComPort::transferSize); any other
    // shows the error box. Recognition, the model choice's Ok and Load ask it before any command.
    bool acceptModelMemorySize(const QString &size);
    // The memory-size warning; true on Ok.
    bool confirmMemorySize();
    // One block transfer of memorySize / 16 blocks behind the transfer dialog: kind 1 reads into
    // receiveBuffer, kind 2 writes the image. The transfer keeps its own copies of the memory size
    // and the slave text, so a memory button pressed meanwhile does not redirect it; its end then
    // releases whichever memory button is down and clears the slave text, so the next transfer
    // waits for a memory button to be pressed anew.
    void transferWithProgress(const QString &label, int kind, QString memorySize);
    // Whether the last read brought the whole memory of that size, unstopped.
    bool receiveComplete(const QString &memorySize) const;
    void pagesAfterReceive();
    void pagesAfterLoad(const QString &fileName);
    QString proposedImageName() const;
    // Before a file is replaced: the ASK_OVERWRITE_FILE question where path is an existing file;
    // true on Yes and where there is nothing to replace.
    bool mayReplaceFile(const QString &path);
    // Every page of the set gives the image what an open editor holds, as leaving the editor would,
    // and a flat-numbering edit so finished asks the page-update question: the first step of every
    // command that reads the image or the unsaved-data flag, or takes the focus from the pages.
    void commitPageEdits();
    void askUpdatePages(int number);
    void buildPages();
    Page *newPage();
    void buildTablePage(Page *page, int index);
    void deletePages();
    void releasePageSet();
    void linkPageItems();
    void deletePagesToUpdate();
    void rebuildPages();

    // Start-up and lifetime.
    QSettings *settings = nullptr;
    QString selectedPortText;
    Ui_MainWindowClass *ui = nullptr;
    ComPort *port = nullptr;
    OperationBin *memoryImage = nullptr;
    XmlDefinition *guiReader = nullptr;
    const GuiValues *guiValues = nullptr;
    const GuiKeys *guiKeys = nullptr;
    QStringList languageNames;
    QStringList languageFlags;
    QStringList languageEnabled;
    QStringList languageNoAskTexts;
    QStringList portList;
    MyThread bankPoller;
    MyThread1 keyPoller;

    // Interface texts of the applied language, by the key of their row.
    int languageIndex = 0;
    QString connectText;
    QString disconnectText;
    QString BUTTON_CANCEL_S_R_D;
    QString WARNING_MEM_SIZE;
    QString WARNING_UNPLUGGED_DEV;
    QString WARNING_UNPLUGGED_PEN;
    QString ERROR_MESSAGE;
    QString FILE_WRITE_ERROR;
    QString FILE_WRITE_INCOMPLETE;   // empty where the language has none: the box gives built-in English
    QString ASK_OVERWRITE_FILE;
    QString ASK_DATA_NOT_SAVED;
    QString SEND_DATA_MESSAGE;
    QString RECEIVE_DATA_MESSAGE;
    QString ID_NOTFOUND_MESSAGE;
    QString UPADTE_PAGES_MESSAGE;
    QString CREATE_PAGES_MESSAGE;
    QString COPYING_DATA_MESSAGE;
    // Why an import takes nothing from its file.
    QString IMPORT_CR_LINE_ENDS;
    QString IMPORT_BROKEN_TITLE;
    QString IMPORT_NO_ROWS;
    QString IMPORT_NO_FIELDS;
    QString IMPORT_NO_COLUMN;
    QString APP_HELP;
    QString ABOUT_MESSAGE;
    QString SUFFIX;

    // Help views.
    Platform::HelpView *startHelpView = nullptr;
    Platform::HelpView *helpView = nullptr;

    // The road that runs; see RoadGate.
    RoadGate roadGate;

    // Ports and memory buttons.
    QString probeAddress;
    QString transferAddress;

    // Model recognition and transfers.
    int identifierSource = 0;
    QString memSize;
    QString definitionFilePath;
    QComboBox *modelChoiceBox = nullptr;
    QString chosenFileName;
    QString imageFileName;
    QByteArray receiveBuffer;
    MyProgressDialog *transferDialog = nullptr;
    // The model of the Receive or Load in progress; memSize and definitionFilePath take them only
    // when its page set is built, so that a Receive or Load that ends earlier changes nothing.
    QString newMemSize;
    QString newDefinitionFilePath;
    // The file and image of the Load in progress; the edited image takes its bytes with the page set.
    QString loadingFileName;
    OperationBin *loadingImage = nullptr;

    // Page set.
    XmlDefinition *pageDefinition = nullptr;
    // Exists exactly while a page set does.
    QTabWidget *pageTabWidget = nullptr;
    QLineEdit *statusLine = nullptr;
    QList<Page *> pages;
    QList<int> treePageIndexes;
    QList<int> tablePageIndexes;
    Page *firstTreePage = nullptr;
    FlatNumbering flatNumbering;
    QString modelHelpPage;
    int pageToShow = 0;
    bool deletingPages = false;
    // While commitPageEdits runs; the tree page whose finished edit asks the update question at its
    // end (-1: none).
    bool committingEdits = false;
    int questionPage = -1;
};
