#pragma once

#include <QApplication>
#include <QModelIndex>
#include <QTest>
#include <QWidget>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTableWidgetItem>
#include <QWheelEvent>

// Records the signals of several objects in one list, in the order they were emitted, as
// "name(arg,arg)" texts. (A QSignalSpy per signal cannot show the order across signals.)
class SignalLog : public QObject
{
public:
    QStringList entries;

    template<typename Sender, typename SignalClass, typename... Args>
    void watch(Sender *sender, void (SignalClass::*signal)(Args...), const QString &name)
    {
        connect(sender, signal, this, [this, name](Args... args) {
            QStringList texts{text(args)...};
            entries << name + QLatin1Char('(') + texts.join(QLatin1Char(',')) + QLatin1Char(')');
        });
    }

    // Entries since the last take(), emptying the list.
    QStringList take()
    {
        QStringList all = entries;
        entries.clear();
        return all;
    }

private:
    static QString text(bool v) { return v ? QStringLiteral("true") : QStringLiteral("false"); }
    static QString text(int v) { return QString::number(v); }
    static QString text(const QString &v) { return QLatin1Char('"') + v + QLatin1Char('"'); }
    static QString text(const QModelIndex &v)
    {
        return v.isValid() ? QStringLiteral("%1:%2").arg(v.row()).arg(v.column()) : QStringLiteral("invalid");
    }
    static QString text(QTableWidgetItem *v)
    {
        return v ? QLatin1Char('[') + v->text() + QLatin1Char(']') : QStringLiteral("null");
    }
    template<typename T>
    static QString text(T *v)
    {
        return v ? QStringLiteral("ptr") : QStringLiteral("null");
    }
};

// A parent widget that records the mouse presses that reach it.
class PressRecorder : public QWidget
{
public:
    QStringList events;

protected:
    void mousePressEvent(QMouseEvent *) override { events << QStringLiteral("press"); }
};

// Shows a window and makes it the active one, so that its widgets can take the keyboard focus.
inline bool showActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

inline void sendEnterLeave(QWidget *widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(widget, &event);
}

// Sends a wheel event; true when the widget left it to its parent. (The application does not hand
// a wheel event that was sent, not spontaneous, on to the parent itself.)
inline bool wheelPassedOn(QWidget *widget, int delta = -120)
{
    QWheelEvent wheel(QPointF(5, 5), QPointF(widget->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
    return !wheel.isAccepted();
}
