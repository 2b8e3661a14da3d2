#pragma once

// A working directory for one main window: a temporary folder that links the checkout's data tree
// (pictures, sounds, help pages, images) and holds its own "GUI.xlx" and "Tkv.ini".

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPair>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QVector>
#include <QtTest>

#include <functional>

using GuiRow = QPair<QString, QString>;   // key, value (VALUE attribute or text)
using GuiBlock = QVector<GuiRow>;

class AppFixture
{
public:
    AppFixture()
    {
        const QString data = QStringLiteral(TKV_DATA_ROOT);
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("application/xml"));
        for (const char *linked : {"application/png", "application/media", "HELP", "DATA"})
            QFile::link(data + QLatin1Char('/') + QLatin1String(linked), root.filePath(QLatin1String(linked)));
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    ~AppFixture() { QDir::setCurrent(m_previous); }

    QString path() const { return m_dir.path(); }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("Tkv.ini")); }
    QString guiPath() const { return m_dir.filePath(QStringLiteral("application/xml/GUI.xlx")); }

    // The shipped language table.
    void useShippedGui() const
    {
        QFile::remove(guiPath());
        QFile::copy(QStringLiteral(TKV_DATA_ROOT "/application/xml/GUI.xlx"), guiPath());
    }

    // A language table of the given blocks, UTF-8.
    void writeGui(const QVector<GuiBlock> &blocks) const
    {
        QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SYSTEM>\n");
        for (const GuiBlock &block : blocks) {
            text += QStringLiteral("<GUI>\n");
            for (const GuiRow &row : block) {
                if (row.first == QLatin1String("LNG_NAME") || row.first == QLatin1String("EEPROM_ADDRESS"))
                    text += QStringLiteral("<%1 VALUE=\"%2\"/>\n").arg(row.first, row.second.toHtmlEscaped());
                else
                    text += QStringLiteral("<%1>%2</%1>\n").arg(row.first, row.second.toHtmlEscaped());
            }
            text += QStringLiteral("</GUI>\n");
        }
        text += QStringLiteral("</SYSTEM>\n");
        QFile file(guiPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
            qFatal("cannot write %s", qPrintable(guiPath()));
    }

    // A language block with its name, flag, enable text and check-box text, then more rows.
    static GuiBlock language(const QString &name, const QString &flag = QStringLiteral("/APPLICATION/png/Flags/Flags_UK.png"),
                             const QString &enabled = QStringLiteral("YES"), const GuiBlock &more = {})
    {
        GuiBlock block{{QStringLiteral("LNG_NAME"), name}};
        if (!flag.isNull())
            block.append({QStringLiteral("LNG_FLAG"), flag});
        block.append({QStringLiteral("LNG_ENABLE"), enabled});
        block.append({QStringLiteral("LNG_TEXT_NOASK"), QStringLiteral("Remember %1").arg(name.trimmed())});
        block += more;
        return block;
    }

    void writeSettings(const QVariantMap &values) const
    {
        QSettings settings(settingsPath(), QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            settings.setValue(it.key(), it.value());
    }

    QVariant setting(const QString &key) const
    {
        return QSettings(settingsPath(), QSettings::IniFormat).value(key);
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// While it lives, hands every modal widget that shows up to action, once: answers questions the
// way a user at the screen would.
class ModalAnswerer
{
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> action) : m_action(std::move(action))
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || modal->property("answered").toBool())
                return;
            modal->setProperty("answered", true);
            ++m_count;
            m_action(modal);
        });
        m_timer.start();
    }
    int count() const { return m_count; }

private:
    std::function<void(QWidget *)> m_action;
    QTimer m_timer;
    int m_count = 0;
};

// The texts of a box that are not shown whole, one line each: a label whose needed size (for a
// wrapping label, its height at its width) is larger than its geometry, or that leaves the box.
inline QStringList cutTexts(const QWidget *box)
{
    QStringList cut;
    for (const QLabel *label : box->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(box))
            continue;
        const QRect shown(label->mapTo(box, QPoint(0, 0)), label->size());
        const QSize needed = label->wordWrap() ? QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()))
                                               : label->sizeHint();
        if (needed.width() > shown.width() || needed.height() > shown.height() || !box->rect().contains(shown))
            cut << QStringLiteral("\"%1\" needs %2 x %3, has %4 x %5 at %6, %7 in a box of %8 x %9")
                       .arg(label->text())
                       .arg(needed.width()).arg(needed.height()).arg(shown.width()).arg(shown.height())
                       .arg(shown.x()).arg(shown.y()).arg(box->width()).arg(box->height());
    }
    return cut;
}
