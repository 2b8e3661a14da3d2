#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// Drops a key code that the key reader repeats while the fob is still held to it: a code equal to
// the last accepted one counts again only once more than Window milliseconds have passed since that
// acceptance (a dropped repeat does not extend the window). Time comes from a monotonic clock, so
// setting the computer's clock changes nothing; tests hand in a clock of their own.
class KeyRepeatFilter
{
public:
    using Clock = std::function<qint64()>; // milliseconds, never going back
    static constexpr qint64 Window = 450;

    KeyRepeatFilter();
    void setClock(Clock clock);

    // False for a repeat of the last accepted code inside the window.
    bool accepts(const QString &code) const;
    // Records code as accepted now.
    void record(const QString &code);

    // The system's monotonic clock.
    static qint64 steadyMilliseconds();

private:
    Clock m_clock;
    QString m_lastCode;
    qint64 m_lastTime = 0;
    bool m_recorded = false;
};
