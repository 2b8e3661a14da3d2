// A plugin that plays the user of the built program in tests: loaded into tkv05 through
// QT_QPA_GENERIC_PLUGINS=tkvdriver:ACTION, it waits for the language dialog and then
//   exit     clicks its Exit button,
//   esc      presses Esc in it,
//   close    closes it as the window's close button does,
//   choose   clicks the second flag, and closes the main window once that is shown,
//   report   prints the application's display name, style and font ("program: name|style|font"),
//            then clicks Exit.

#include <QAbstractButton>
#include <QApplication>
#include <QStyle>
#include <QCloseEvent>
#include <QGenericPlugin>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

class Driver : public QObject
{
public:
    explicit Driver(const QString &action) : m_action(action)
    {
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, &Driver::poll);
        m_timer.start();
    }

private:
    void poll()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (!window->isVisible())
                continue;
            if (!m_answered && window->inherits("LanguageDialog")) {
                m_answered = true;
                answer(window);
                return;
            }
            if (m_answered && window->inherits("QMainWindow")) {
                window->close();
                return;
            }
        }
    }

    void answer(QWidget *dialog)
    {
        if (m_action == QLatin1String("exit")) {
            dialog->findChild<QAbstractButton *>(QStringLiteral("btnExit"))->click();
        } else if (m_action == QLatin1String("esc")) {
            QWidget *target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
        } else if (m_action == QLatin1String("close")) {
            QCloseEvent close;
            QApplication::sendEvent(dialog->windowHandle(), &close);
        } else if (m_action == QLatin1String("report")) {
            const QString report = QGuiApplication::applicationDisplayName() + QLatin1Char('|')
                                   + QApplication::style()->objectName() + QLatin1Char('|') + QApplication::font().toString();
            fprintf(stderr, "program: %s\n", qPrintable(report));
            dialog->findChild<QAbstractButton *>(QStringLiteral("btnExit"))->click();
        } else if (m_action == QLatin1String("choose")) {
            dialog->findChild<QAbstractButton *>(QStringLiteral("btnLng2"))->click();
        }
    }

    QString m_action;
    QTimer m_timer;
    bool m_answered = false;
};

}

class DriverPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "tkvdriver.json")
public:
    QObject *create(const QString &, const QString &parameters) override { return new Driver(parameters); }
};

#include "tkvdriver.moc"
