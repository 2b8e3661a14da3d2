#pragma once

// The main window in a working directory of its own, with a simulated programming interface on a
// pseudo-terminal that the port scan finds, pollers and port delays shortened; and a script that
// answers the window's dialogs one after the other as a user would.

#include "appfixture.h"
#include "comport.h"
#include "devsimpty.h"
#include "globals.h"
#include "mainwindowprobe.h"
#include "myprogressdialog.h"
#include "operationbin.h"
#include "serialports.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextStream>
#include <QTabWidget>

#include <deque>
#include <functional>
#include <memory>

// The sample images of the data folder and the tabs of their page sets.
inline const QString U65 = QStringLiteral("RK4820_U65_sample.bin");
inline const QString H65 = QStringLiteral("RK4820_H65_sample.bin");
inline const QStringList U65Tabs{"System parameters", "Operation", " Coded lock codes/Flats options", "Key fobs",
                                 "Name directory", "Manual"};
inline const QStringList H65Tabs{"System parameters", "Key fobs", "Manual"};

// Answers each modal dialog that shows up, in order, with the next of its steps, and records what
// it saw ("question: text", "warning: text", "critical: text", "file dialog", "model choice"; a
// box's informative text follows its text on a line of its own).
// The transfer dialog is handed to onTransfer instead (when set), every time it shows.
class DialogScript : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;

    DialogScript()
    {
        m_timer.setInterval(15);
        connect(&m_timer, &QTimer::timeout, this, [this] { look(); });
        m_timer.start();
    }

    DialogScript &then(Step step)
    {
        m_steps.push_back(std::move(step));
        return *this;
    }
    // A message box answered with a button.
    DialogScript &answer(QMessageBox::StandardButton button)
    {
        return then([this, button](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box || !box->button(button))
                return mismatch(w);
            box->button(button)->click();
        });
    }
    // A file dialog given a path (accepted), or rejected for an empty path.
    DialogScript &chooseFile(const QString &path)
    {
        return then([this, path](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            if (!dialog)
                return mismatch(w);
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            typeFileName(dialog, path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

    // Types a name into a file dialog as a user would (selectFile() does not reach the name box
    // while the dialog is still reading its folder).
    static void typeFileName(QFileDialog *dialog, const QString &name)
    {
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(name);
    }

    // A step met a dialog of another kind: the dialog is closed, so that nothing waits for ever.
    void mismatch(QWidget *w)
    {
        ++unexpected;
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
    }

    std::function<void(MyProgressDialog *)> onTransfer;

    QStringList seen;
    // Dialogs that came when no step was left; each was rejected.
    int unexpected = 0;
    int transferDialogsShown = 0;
    bool done() const { return m_steps.empty(); }

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *transfer = qobject_cast<MyProgressDialog *>(modal)) {
            if (!transfer->property("seen").toBool()) {
                transfer->setProperty("seen", true);
                ++transferDialogsShown;
            }
            if (onTransfer)
                onTransfer(transfer);
            return;
        }
        // A page build shows its progress only when it takes long (on a loaded machine): that is
        // no question to answer, and it goes by itself.
        if (qobject_cast<QProgressDialog *>(modal))
            return;
        if (modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        seen << describe(modal);
        if (m_steps.empty()) {
            ++unexpected;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            return;
        }
        // Run outside this timer's slot: a dialog the step opens must be answered too, and a timer
        // does not fire again while its own slot runs.
        QPointer<QWidget> target(modal);
        QTimer::singleShot(0, this, [step = std::move(m_steps.front()), target] {
            if (target)
                step(target);
        });
        m_steps.pop_front();
    }

    static QString describe(QWidget *modal)
    {
        if (qobject_cast<QFileDialog *>(modal))
            return QStringLiteral("file dialog");
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return QStringLiteral("dialog");
        if (box->findChild<QComboBox *>())
            return QStringLiteral("model choice");
        const QString text = box->informativeText().isEmpty() ? box->text()
                                                              : box->text() + QLatin1Char('\n') + box->informativeText();
        switch (box->icon()) {
        case QMessageBox::Question: return QStringLiteral("question: ") + text;
        case QMessageBox::Warning: return QStringLiteral("warning: ") + text;
        case QMessageBox::Critical: return QStringLiteral("critical: ") + text;
        default: return QStringLiteral("box: ") + text;
        }
    }

    std::deque<Step> m_steps;
    QTimer m_timer;
};

class RoadRig
{
public:
    // Block delays of the port under test: short (the interface answers on the port's own waits,
    // so a loaded machine turns no reply into silence).
    static constexpr int PortDelayMs = 8;

    // The window in English, the interface simulated with A0 holding a0 (nothing: no A0).
    explicit RoadRig(const QByteArray &a0 = QByteArray())
    {
        QDir root(files.path());
        // Images are written here: a folder of copies, not the checkout's.
        QFile::remove(root.filePath(QStringLiteral("DATA")));
        root.mkpath(QStringLiteral("DATA"));
        for (const QString &name : QDir(QStringLiteral(TKV_DATA_ROOT "/DATA")).entryList(QDir::Files))
            QFile::copy(QStringLiteral(TKV_DATA_ROOT "/DATA/") + name, root.filePath(QStringLiteral("DATA/") + name));
        for (const QString &name : QDir(QStringLiteral(TKV_DATA_ROOT "/application/xml")).entryList({"*.xlx"}, QDir::Files)) {
            if (name != QLatin1String("GUI.xlx"))
                QFile::link(QStringLiteral(TKV_DATA_ROOT "/application/xml/") + name, root.filePath(QStringLiteral("application/xml/") + name));
        }
        files.useShippedGui();
        files.writeSettings({{QStringLiteral("Language"), 2}});
        if (!a0.isNull())
            sim.core().setMemory(0, a0);
        sim.core().setLateMs(40);
        sim.setStepped(true);
        setWaitFunction([this](int ms) { sim.step(ms); });
        dataModified = false;
    }

    ~RoadRig()
    {
        window.reset();   // the port closes before the terminal goes
        setWaitFunction(nullptr);
        Platform::clearSerialPortOverride();
        dataModified = false;
    }

    // The U65 definition with its PAGE elements changed (before start()): pages[0] is what stands
    // before the first PAGE, pages[n] the n-th PAGE's contents.
    bool rewriteU65(const std::function<void(QStringList &pages)> &change)
    {
        const QString path = files.path() + QStringLiteral("/application/xml/RK4820_U65_EN.xlx");
        QFile in(QStringLiteral(TKV_DATA_ROOT "/application/xml/RK4820_U65_EN.xlx"));
        if (!in.open(QIODevice::ReadOnly))
            return false;
        QStringList pages = QString::fromUtf8(in.readAll()).split(QStringLiteral("<PAGE>"));
        change(pages);
        QFile::remove(path);
        QFile out(path);
        return out.open(QIODevice::WriteOnly) && out.write(pages.join(QStringLiteral("<PAGE>")).toUtf8()) > 0;
    }

    // The U65 definition with one text replaced on its second page.
    bool rewriteSecondPage(const QString &from, const QString &to)
    {
        bool found = false;
        return rewriteU65([&](QStringList &pages) {
                   found = pages.size() > 2 && pages[2].contains(from);
                   if (found)
                       pages[2].replace(pages[2].indexOf(from), from.size(), to);
               })
               && found;
    }

    // The shipped language table with its text changed (before start()), written as UTF-8.
    void rewriteGui(const std::function<void(QString &text)> &change)
    {
        QFile in(QStringLiteral(TKV_DATA_ROOT "/application/xml/GUI.xlx"));
        in.open(QIODevice::ReadOnly);
        QTextStream stream(&in);
        stream.setAutoDetectUnicode(true);
        QString text = stream.readAll();
        change(text);
        QFile::remove(files.guiPath());
        QFile out(files.guiPath());
        out.open(QIODevice::WriteOnly);
        out.write(text.replace(QStringLiteral("UTF-16"), QStringLiteral("UTF-8")).toUtf8());
    }

    // The shipped language table without the rows whose key is given.
    void withoutGuiRows(const QString &key)
    {
        rewriteGui([&](QString &text) { text.remove(QRegularExpression(QStringLiteral("<%1\\b[^>]*/>").arg(key))); });
    }

    // Starts the interface (listed by the port scan) and the window.
    void start(bool listInterface = true)
    {
        if (listInterface) {
            QVERIFY(sim.start());
            Platform::overrideSerialPortNames({sim.shortName()});
        } else {
            Platform::overrideSerialPortNames({QStringLiteral("ttyTKVNONE")});
        }
        window = std::make_unique<MainWindow>(QRect(0, 0, 1024, 768));
        probe = std::make_unique<MainWindowProbe>(window.get());
        probe->setPollIntervals(60, 20);
        probe->port()->setDelays(PortDelayMs, PortDelayMs);
    }

    template <typename T = QPushButton>
    T *widget(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QPushButton *button(const char *name) const { return widget<QPushButton>(name); }

    // Scan, connect, wait for the memory poll to enable A0.
    bool connectInterface()
    {
        button("buttonScan")->click();
        if (widget<QComboBox>("comboScan")->count() != 1)
            return failed("the scan found no interface");
        button("buttonConnectDisconnect")->click();
        if (!probe->port()->isConnected())
            return failed("not connected");
        if (!waitFor([this] { return button("buttonConnectA0")->isEnabled(); }))
            return failed("A0 not enabled by the memory poll");
        return true;
    }

    // No more memory polls (the one due is put off too).
    void bankPollOff() { probe->setPollIntervals(24 * 3600 * 1000, 20); }

    // Connects and presses A0.
    bool selectA0()
    {
        if (!connectInterface())
            return false;
        button("buttonConnectA0")->click();
        return button("buttonReceive")->isEnabled() || failed("Receive not enabled");
    }

    // A Load of a file of the data folder that builds a page set without a question.
    bool load(const QString &name)
    {
        script.chooseFile(dataPath(name));
        QMetaObject::invokeMethod(window.get(), "getDataFromBinFile");
        if (!script.done())
            return failed("no file dialog");
        script.seen.clear();
        return probe->hasPageTabs() || failed("no page set");
    }

    static bool waitFor(const std::function<bool()> &condition, int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > timeoutMs)
                return false;
            QTest::qWait(10);
        }
        return true;
    }

    QString dataPath(const QString &name) const { return files.path() + QStringLiteral("/DATA/") + name; }

    static QByteArray sample(const QString &name)
    {
        QFile file(QStringLiteral(TKV_DATA_ROOT "/DATA/") + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The tab titles of the page set.
    QStringList tabTitles() const
    {
        QStringList titles;
        if (QTabWidget *tabs = probe->pageTabWidget()) {
            for (int i = 0; i < tabs->count(); ++i)
                titles << tabs->tabText(i);
        }
        return titles;
    }

    QStringList blockCommands()
    {
        QStringList found;
        for (const QString &c : sim.core().commands()) {
            if (c.startsWith(QLatin1String("rd:")) && c.endsWith(QLatin1String(",10")))
                found << c;
            else if (c.startsWith(QLatin1String("wr:")))
                found << c;
        }
        return found;
    }

    static bool failed(const char *what)
    {
        qWarning("%s", what);
        return false;
    }

    AppFixture files;
    DevSimPty sim;
    DialogScript script;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<MainWindowProbe> probe;
};
