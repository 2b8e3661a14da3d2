// The language step: the start-up choice, the texts of the applied language, the menu actions and
// the keyboard shortcuts.

#include "mainwindow.h"

#include "languagedialog.h"
#include "ui_mainwindowclass.h"

#include <QAction>
#include <QKeySequence>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>

#include <cstdlib>

namespace {

// The rows whose text the window keeps, by key.
struct StoredText {
    const char *key;
    QString MainWindow::*text;
};

// The shortcuts of a language table without a SHORTCUT text: those every shipped table gives.
const char *const BuiltInShortcuts =
    "COMBO_SCAN-Ctrl+Alt+A/BUTTON_SCAN-Alt+P/BUTTON_CONNECT-Alt+L/BUTTONA0-Alt+C/BUTTONA2-Alt+G/BUTTONA4-Alt+D/"
    "BUTTON_SEND-Alt+M/BUTTON_RECEIVE-Alt+R/BUTTON_LOAD-Alt+O/BUTTON_SAVE-Alt+S/BUTTON_SAVE_AS-Alt+A/"
    "MENU_INSTRUCTION_Alt+I/MENU_DELETE_Alt+F/MENU_BACK_Alt+B/MENU_ABOUT_Alt+V/MENU_EXIT_Alt+X/";

bool isKeySequence(const QString &text)
{
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.isEmpty())
        return false;
    for (int i = 0; i < sequence.count(); ++i) {
        if ((sequence[i] & ~Qt::KeyboardModifierMask) == Qt::Key_unknown)
            return false;
    }
    return true;
}

}

void MainWindow::chooseLanguage(const QStringList &names, const QStringList &flagPaths)
{
    const int stored = settings->value(QStringLiteral("Language"), 0).toInt();
    if (stored >= 1 && stored <= names.size()) {
        setInterface(stored);
        return;
    }
    auto *dialog = new LanguageDialog(settings);
    dialog->setLanguages(names, flagPaths, languageEnabled, languageNoAskTexts);
    connect(dialog, SIGNAL(signal_Selected(int)), this, SLOT(setInterface(int)));
    dialog->exec();
    delete dialog;
}

void MainWindow::setInterface(int lng)
{
    if (lng == 0)
        std::exit(0);
    applyInterfaceTexts(lng - 1);
    setVisible(true);
    createHelpBrowser(APP_HELP);
}

void MainWindow::applyInterfaceTexts(int language)
{
    static const StoredText storedTexts[] = {
        {"BUTTON_CANCEL_S_R_D", &MainWindow::BUTTON_CANCEL_S_R_D},
        {"WARNING_MEM_SIZE", &MainWindow::WARNING_MEM_SIZE},
        {"WARNING_UNPLUGGED_DEV", &MainWindow::WARNING_UNPLUGGED_DEV},
        {"WARNING_UNPLUGGED_PEN", &MainWindow::WARNING_UNPLUGGED_PEN},
        {"ERROR_MESSAGE", &MainWindow::ERROR_MESSAGE},
        {"FILE_WRITE_ERROR", &MainWindow::FILE_WRITE_ERROR},
        {"FILE_WRITE_INCOMPLETE", &MainWindow::FILE_WRITE_INCOMPLETE},
        {"ASK_OVERWRITE_FILE", &MainWindow::ASK_OVERWRITE_FILE},
        {"ASK_DATA_NOT_SAVED", &MainWindow::ASK_DATA_NOT_SAVED},
        {"SEND_DATA_MESSAGE", &MainWindow::SEND_DATA_MESSAGE},
        {"RECEIVE_DATA_MESSAGE", &MainWindow::RECEIVE_DATA_MESSAGE},
        {"ID_NOTFOUND_MESSAGE", &MainWindow::ID_NOTFOUND_MESSAGE},
        {"UPADTE_PAGES_MESSAGE", &MainWindow::UPADTE_PAGES_MESSAGE},
        {"CREATE_PAGES_MESSAGE", &MainWindow::CREATE_PAGES_MESSAGE},
        {"COPYING_DATA_MESSAGE", &MainWindow::COPYING_DATA_MESSAGE},
        {"IMPORT_CR_LINE_ENDS", &MainWindow::IMPORT_CR_LINE_ENDS},
        {"IMPORT_BROKEN_TITLE", &MainWindow::IMPORT_BROKEN_TITLE},
        {"IMPORT_NO_ROWS", &MainWindow::IMPORT_NO_ROWS},
        {"IMPORT_NO_FIELDS", &MainWindow::IMPORT_NO_FIELDS},
        {"IMPORT_NO_COLUMN", &MainWindow::IMPORT_NO_COLUMN},
        {"APP_HELP", &MainWindow::APP_HELP},
        {"ABOUT_MESSAGE", &MainWindow::ABOUT_MESSAGE},
        {"SUFFIX", &MainWindow::SUFFIX},
    };
    const struct {
        const char *key;
        QAbstractButton *button;
    } buttonTexts[] = {
        {"BUTTON_SCAN", ui->buttonScan},     {"BUTTONA0", ui->buttonConnectA0},     {"BUTTONA2", ui->buttonConnectA2},
        {"BUTTONA4", ui->buttonConnectA4},   {"BUTTON_SEND", ui->buttonSend},       {"BUTTON_RECEIVE", ui->buttonReceive},
        {"BUTTON_LOAD", ui->buttonLoad},     {"BUTTON_SAVE", ui->buttonSave},       {"BUTTON_SAVE_AS", ui->buttonSaveAs},
    };
    const struct {
        const char *key;
        QGroupBox *box;
    } sectionTitles[] = {
        {"SECTION1", ui->comSection}, {"SECTION2", ui->deviceSection}, {"SECTION3", ui->pcSection},
    };
    // Menu entries: object name, enabled when made, separator after it, the built-in English text of
    // a language table without the entry's text.
    const bool pageSet = pageTabWidget != nullptr;
    const struct {
        const char *key;
        const char *objectName;
        bool enabled;
        bool separator;
        const char *english;
    } menuEntries[] = {
        {"VIEW_HELP", "helpAction", false, true, "Manual    Left Alt+I"},
        {"DELETE_MENU", "deleteMenu", pageSet, true, "End of edition    Left Alt+F"},
        {"BACK_TO", "backTo", pageSet, true, "Back to edition    Left Alt+B"},
        {"ABOUT", "aboutAction", true, true, "About    Left Alt+V"},
        {"EXIT", "exitAction", true, false, "Exit    Left Alt+X"},
    };
    constexpr int MenuEntryCount = int(sizeof(menuEntries) / sizeof(menuEntries[0]));
    // The menu's entries in the order of their rows: entry and text.
    QVector<QPair<int, QString>> menuRows;
    bool shortcutsMade = false;

    languageIndex = language;
    ui->menu_1->clear();
    for (int row = 0; row < GuiShape::Rows; ++row) {
        const QString key = guiKey(language, row);
        if (key.isEmpty())
            continue;
        const QString value = guiValue(language, row);
        if (key == QLatin1String("BUTTON_CONNECT_DISCONNECT")) {
            // Without "/" the whole value connects and the value less its last character disconnects.
            const int slash = value.indexOf(QLatin1Char('/'));
            connectText = value.left(slash);
            disconnectText = value.mid(slash + 1);
            if (slash < 0)
                disconnectText.chop(1);
            ui->buttonConnectDisconnect->setText(connectText);
        } else if (key == QLatin1String("MENU_1")) {
            ui->menu_1->setTitle(value);
        } else if (key == QLatin1String("SHORTCUT") && !value.isEmpty()) {
            makeShortcuts(value);
            shortcutsMade = true;
        }
        for (const auto &entry : buttonTexts) {
            if (key == QLatin1String(entry.key))
                entry.button->setText(value);
        }
        for (const auto &entry : sectionTitles) {
            if (key == QLatin1String(entry.key))
                entry.box->setTitle(value);
        }
        for (const auto &entry : storedTexts) {
            if (key == QLatin1String(entry.key))
                this->*entry.text = value;
        }
        for (int entry = 0; entry < MenuEntryCount; ++entry) {
            if (key == QLatin1String(menuEntries[entry].key) && !value.isEmpty())
                menuRows.append({entry, value});
        }
    }
    // The keys and menu entries do not depend on the texts a language table holds: where it has no
    // shortcuts, the shipped ones; an entry without its text gets the built-in English one, after
    // the entry that comes before it in the shipped menus (the first one at the top).
    if (!shortcutsMade)
        makeShortcuts(QLatin1String(BuiltInShortcuts));
    for (int entry = 0; entry < MenuEntryCount; ++entry) {
        int place = 0;
        bool present = false;
        for (int i = 0; i < menuRows.size(); ++i) {
            present = present || menuRows[i].first == entry;
            if (entry > 0 && menuRows[i].first == entry - 1)
                place = i + 1;
        }
        if (!present)
            menuRows.insert(place, {entry, QLatin1String(menuEntries[entry].english)});
    }
    for (const auto &row : menuRows) {
        const auto &entry = menuEntries[row.first];
        addMenuAction(QLatin1String(entry.objectName), row.second, entry.enabled, entry.separator);
    }
}

void MainWindow::addMenuAction(const QString &objectName, const QString &text, bool enabled, bool separator)
{
    auto *action = new QAction(ui->menu_1);
    action->setText(text);
    action->setObjectName(objectName);
    action->setEnabled(enabled);
    ui->menu_1->addAction(action);
    if (separator)
        ui->menu_1->addSeparator();
}

// The SHORTCUT value: entries such as "BUTTON_SCAN-Alt+P" or "MENU_EXIT_Alt+X", each ended by "/";
// what follows the last "/" is dropped. An entry binds the first target whose name it contains
// (letter case ignored) to the key written after that name and one separator ("-" or "_"), blanks
// and line breaks dropped. Where that is no key sequence, the entry's last five characters are
// tried instead.
void MainWindow::makeShortcuts(const QString &value)
{
    // Target name, the shortcut's parent, the window's slot it calls (none: the parent button's
    // animated click).
    const struct {
        const char *name;
        QWidget *parent;
        const char *slot;
    } targets[] = {
        {"COMBO_SCAN", ui->comboScan, SLOT(editComboBox())},
        {"BUTTON_SCAN", ui->buttonScan, nullptr},
        {"BUTTON_CONNECT", ui->buttonConnectDisconnect, nullptr},
        {"BUTTONA0", ui->buttonConnectA0, nullptr},
        {"BUTTONA2", ui->buttonConnectA2, nullptr},
        {"BUTTONA4", ui->buttonConnectA4, nullptr},
        {"BUTTON_SEND", ui->buttonSend, nullptr},
        {"BUTTON_RECEIVE", ui->buttonReceive, nullptr},
        {"BUTTON_LOAD", ui->buttonLoad, nullptr},
        {"BUTTON_SAVE", ui->buttonSave, nullptr},
        {"BUTTON_SAVE_AS", ui->buttonSaveAs, nullptr},
        {"MENU_INSTRUCTION", this, SLOT(showInstruction())},
        {"MENU_DELETE", this, SLOT(deleteSystem())},
        {"MENU_BACK", this, SLOT(backTo())},
        {"MENU_ABOUT", this, SLOT(aboutProgram())},
        {"MENU_EXIT", this, SLOT(appExit())},
    };

    QStringList entries = value.split(QLatin1Char('/'));
    entries.removeLast();
    for (const QString &entry : entries) {
        for (const auto &target : targets) {
            const QString name = QLatin1String(target.name);
            const int at = entry.indexOf(name, 0, Qt::CaseInsensitive);
            if (at < 0)
                continue;
            if (name == QLatin1String("BUTTON_SAVE") && entry.contains(QLatin1String("_AS"), Qt::CaseInsensitive))
                continue;
            QString keyText = entry.mid(at + name.size()).remove(QRegularExpression(QStringLiteral("\\s")));
            if (keyText.startsWith(QLatin1Char('-')) || keyText.startsWith(QLatin1Char('_')))
                keyText.remove(0, 1);
            if (!isKeySequence(keyText))
                keyText = entry.right(5);
            const QKeySequence key = QKeySequence::fromString(keyText, QKeySequence::PortableText);
            auto *shortcut = new QShortcut(key, target.parent, nullptr, nullptr, Qt::WindowShortcut);
            if (!target.slot)
                connect(shortcut, SIGNAL(activated()), target.parent, SLOT(animateClick()));
            else
                connect(shortcut, SIGNAL(activated()), this, target.slot);
            break;
        }
    }
}
