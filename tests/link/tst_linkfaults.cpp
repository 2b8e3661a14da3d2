// The transfers against an interface that fails at random: many seeded fault schedules, each a
// Receive or a Send of a small memory on the simulator's clock, for an interface that echoes its
// write commands and for one that answers them with "ok" alone. Every schedule is held to one rule:
// a transfer that ends normally leaves the image (Receive) or the memory (Send) byte-exact, and
// every progress report is true to it; one that does not end normally has told (the break set, and
// the unplug warning where the link stopped by itself); none runs on for ever.
//
// A wrong block that the try which counted it took from a look-alike (bytes no reader can tell from
// the block's good reply, see DevSimCore::lookAlikes) leaves its schedule out: it is counted, by the
// kind of look-alike, not judged.
//
// TKV_LINK_SCHEDULES sets the schedules a row runs (the fixed set by default), TKV_LINK_FIRST_SEED
// the first seed, TKV_LINK_VERBOSE prints every schedule with its outcome; a failing schedule
// prints itself and the line that runs it alone.

#include "simrig.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLoggingCategory>
#include <QtTest>

#include <memory>
#include <random>
#include <vector>

using Fault = DevSimCore::Fault;

namespace {

constexpr int FixedSchedules = 500;   // a row, in CI

using FaultAt = DevSimCore::FaultRange;

struct Schedule {
    quint32 seed = 0;
    bool send = false;
    bool writeEcho = true;
    int blocks = 1;
    int delayMs = 25;
    int answerDelayMs = 0;
    bool inTurn = false;
    bool a2 = false;
    bool a4 = false;
    int reconnectAt = 0;   // the progress report at which the port is closed and opened again; 0: none
    QList<FaultAt> faults;

    QString describe() const;
    // Simulated time within which a sound link ends, however the faults fall.
    qint64 budgetMs() const;
};

QString faultName(Fault fault)
{
    switch (fault) {
    case Fault::None: return QStringLiteral("none");
    case Fault::Silence: return QStringLiteral("silence");
    case Fault::Late: return QStringLiteral("late");
    case Fault::Split: return QStringLiteral("split");
    case Fault::Cut: return QStringLiteral("cut");
    case Fault::Garbage: return QStringLiteral("garbage");
    case Fault::WrongMark: return QStringLiteral("wrong mark");
    case Fault::BadDigit: return QStringLiteral("bad digit");
    case Fault::ReadError: return QStringLiteral("*errd");
    case Fault::WriteError: return QStringLiteral("*erwr");
    case Fault::DropOut: return QStringLiteral("memory drops out");
    case Fault::HangUp: return QStringLiteral("hang-up");
    case Fault::Repeat: return QStringLiteral("repeated");
    case Fault::Garble: return QStringLiteral("garbled");
    case Fault::NulByte: return QStringLiteral("NUL byte");
    case Fault::BareOk: return QStringLiteral("bare ok");
    case Fault::BareOkLost: return QStringLiteral("bare ok, not stored");
    case Fault::OtherBlock: return QStringLiteral("other block's reply");
    case Fault::OtherMemory: return QStringLiteral("other memory's reply");
    case Fault::UpperCase: return QStringLiteral("capitals");
    case Fault::Chatter: return QStringLiteral("line keeps talking");
    case Fault::OkHeldUp: return QStringLiteral("ok held up");
    case Fault::OkHeldUpFirst: return QStringLiteral("ok held up, going first");
    }
    return QString();
}

QString describeFault(const FaultAt &f)
{
    QString where = QString::number(f.first);
    if (f.count > 1)
        where += QLatin1Char('-') + QString::number(f.first + f.count - 1);
    QString text = where + QLatin1Char(' ') + faultName(f.fault);
    switch (f.fault) {
    case Fault::Late:
        return text + QStringLiteral(" %1 ms").arg(f.lateMs);
    case Fault::Split:
        return text + QStringLiteral(" after %1 bytes, rest %2 ms later").arg(f.at).arg(f.lateMs);
    case Fault::Cut:
        return text + QStringLiteral(" after %1 bytes").arg(f.at);
    case Fault::Repeat:
        return text + QStringLiteral(", again %1 ms later").arg(f.lateMs);
    case Fault::Garble:
    case Fault::NulByte:
        return text + QStringLiteral(" at %1").arg(f.at);
    case Fault::OtherBlock:
    case Fault::OtherMemory:
        return text + QStringLiteral(" (%1 on)").arg(f.at);
    case Fault::Chatter:
        return text + QStringLiteral(" every %1 ms for %2 ms").arg(f.at).arg(f.lateMs);
    case Fault::OkHeldUp:
    case Fault::OkHeldUpFirst:
        return text + QStringLiteral(" until block command %1").arg(f.first + f.at);
    default:
        return text;
    }
}

QString Schedule::describe() const
{
    QStringList parts{send ? QStringLiteral("send") : QStringLiteral("receive"),
                      writeEcho ? QStringLiteral("writes echoed") : QStringLiteral("writes answered \"ok\" alone"),
                      QStringLiteral("%1 blocks").arg(blocks), QStringLiteral("delays %1 ms").arg(delayMs)};
    if (answerDelayMs > 0)
        parts << QStringLiteral("every answer %1 ms late").arg(answerDelayMs);
    if (inTurn)
        parts << QStringLiteral("answers in turn");
    if (a2 || a4)
        parts << QStringLiteral("also %1").arg(QLatin1String(a2 && a4 ? "A2 and A4" : a2 ? "A2" : "A4"));
    if (reconnectAt > 0)
        parts << QStringLiteral("port closed and opened again at progress report %1").arg(reconnectAt);
    QStringList faultTexts;
    for (const FaultAt &f : faults)
        faultTexts << describeFault(f);
    return QStringLiteral("seed %1: %2; block commands: %3")
        .arg(seed)
        .arg(parts.join(QLatin1String(", ")), faultTexts.isEmpty() ? QStringLiteral("no fault") : faultTexts.join(QLatin1String("; ")));
}

qint64 Schedule::budgetMs() const
{
    qint64 ms = 10000 + qint64(blocks) * (6 * delayMs + answerDelayMs + 10);
    for (const FaultAt &f : faults)
        ms += qint64(f.count) * (2 * ComPort::ReplyRestTimeoutMs + 20 * delayMs + answerDelayMs + 200 + qMax(0, f.lateMs));
    return ms;
}

// Draws the schedules: a memory of one block to a few dozen, the port's delays, faults on the
// block commands in order of arrival, now sparse, now dense, with the delays of held-up replies
// spread from a few ms to past the settling bound and gathered about the waits and that bound.
class ScheduleMaker
{
public:
    ScheduleMaker(quint32 seed, bool send, bool writeEcho)
        : m_random(4 * seed + (send ? 2 : 0) + (writeEcho ? 1 : 0))
    {
        m_schedule.seed = seed;
        m_schedule.send = send;
        m_schedule.writeEcho = writeEcho;
    }

    Schedule make()
    {
        Schedule &s = m_schedule;
        s.blocks = chance(60) ? range(1, 12) : range(13, 48);
        const int delays[] = {8, 15, 25, 30};
        s.delayMs = delays[range(0, 3)];
        s.answerDelayMs = chance(25) ? range(1, s.delayMs / 2) : 0;
        s.inTurn = chance(25);
        s.a2 = chance(50);
        s.a4 = chance(30);

        const int horizon = s.blocks + 6;
        const int density[] = {8, 20, 40};
        const int percent = density[range(0, 2)];
        for (int i = 0; i < horizon; ++i) {
            if (!chance(percent))
                continue;
            if (s.send && chance(15)) {
                i = seam(i);
                continue;
            }
            const int count = chance(80) ? 1 : range(2, 3);
            s.faults << fault(i, count);
            i += count - 1;
        }
        if (chance(10))
            s.reconnectAt = range(1, s.blocks + 2);
        if (chance(12))   // first in the list: it wins over any other fault on its command
            s.faults.prepend(FaultAt{Fault::DropOut, range(0, horizon), 1, -1, 0});
        else if (chance(3))
            s.faults.prepend(FaultAt{Fault::HangUp, range(0, horizon), 1, -1, 0});
        return s;
    }

private:
    int range(int low, int high) { return std::uniform_int_distribution<int>(low, qMax(low, high))(m_random); }
    bool chance(int percent) { return range(0, 99) < percent; }

    int lateMs()
    {
        const int delay = m_schedule.delayMs;
        const int bound = ComPort::ReplyRestTimeoutMs;
        const int pick = range(0, 9);
        if (pick < 4)
            return range(1, 3 * delay);
        if (pick < 7)
            return range(bound - 4 * delay, bound + 6 * delay);
        return int(std::exp(std::uniform_real_distribution<double>(0, std::log(2.5 * bound))(m_random)));
    }

    FaultAt fault(int first, int count)
    {
        // Kinds, with a weight each; an "ok" from the interface always means the write was stored,
        // so a bare "ok" for a lost write, or another block's "ok", has no place where writes are
        // not echoed.
        QList<QPair<Fault, int>> kinds{{Fault::Silence, 2}, {Fault::Late, 3},   {Fault::Split, 4},   {Fault::Cut, 2},
                                       {Fault::Garbage, 1}, {Fault::Repeat, 2}, {Fault::Garble, 1},  {Fault::NulByte, 1},
                                       {Fault::BareOk, 1},  {Fault::UpperCase, 1}, {Fault::Chatter, 1}};
        if (!m_schedule.send)
            kinds << qMakePair(Fault::WrongMark, 1) << qMakePair(Fault::BadDigit, 1) << qMakePair(Fault::ReadError, 1);
        else
            kinds << qMakePair(Fault::WriteError, 1);
        if (!m_schedule.send || m_schedule.writeEcho)
            kinds << qMakePair(Fault::BareOkLost, 1) << qMakePair(Fault::OtherBlock, 2) << qMakePair(Fault::OtherMemory, 2);
        int total = 0;
        for (const auto &k : kinds)
            total += k.second;
        int pick = range(0, total - 1);
        Fault kind = Fault::None;
        for (const auto &k : kinds) {
            if (pick < k.second) {
                kind = k.first;
                break;
            }
            pick -= k.second;
        }
        FaultAt f{kind, first, count, -1, 0};
        switch (kind) {
        case Fault::Late:
        case Fault::Repeat:
            f.lateMs = lateMs();
            break;
        case Fault::Split:
            f.lateMs = lateMs();
            f.at = range(1, 52);
            break;
        case Fault::Cut:   // now and then right after a write's echo, or its line end
            f.at = m_schedule.send && chance(30) ? range(WriteEcho, WriteEcho + 2) : range(1, 52);
            break;
        case Fault::Garble:
        case Fault::NulByte:
            f.at = range(0, 52);
            break;
        case Fault::OtherBlock:
            f.at = range(1, m_schedule.blocks + 2);
            break;
        case Fault::OtherMemory:
            f.at = range(1, 2);
            break;
        case Fault::Chatter:
            f.at = range(3, 40);
            f.lateMs = range(10, 2500);
            break;
        default:
            break;
        }
        return f;
    }

    // A write stored and answered without its "ok", which is held up until the answer of a later
    // block command, before or after it; that command's write is lost, answered "*erwr" or, where
    // writes are echoed, with its echo cut right after the last digit. Gives the last command it takes.
    int seam(int first)
    {
        const int later = range(1, 3);
        m_schedule.faults << FaultAt{chance(50) ? Fault::OkHeldUp : Fault::OkHeldUpFirst, first, 1, -1, later};
        if (m_schedule.writeEcho && chance(50))
            m_schedule.faults << FaultAt{Fault::Cut, first + later, 1, -1, WriteEcho};
        else
            m_schedule.faults << FaultAt{Fault::WriteError, first + later, 1, -1, 0};
        return first + later;
    }

    static constexpr int WriteEcho = 43;   // a whole block's write command without its carriage return

    std::mt19937 m_random;
    Schedule m_schedule;
};

using LookAlike = DevSimCore::LookAlike;
constexpr int LookAlikeKinds = 3;
const char *const lookAlikeNames[LookAlikeKinds] = {"read data", "echo and ok", "bare ok"};

struct Outcome {
    enum Kind { Normal, Warned, LeftOut, Failed } kind = Normal;
    QString why;
    bool excused[LookAlikeKinds] = {false, false, false};   // left out for a look-alike of this kind
};

// Runs one schedule and judges it.
Outcome run(const Schedule &s)
{
    const int size = 16 * s.blocks;
    // A terminal whose port does not open (its lock still held by another process that had the same
    // terminal number) is kept while the next is tried, so that the next gets another number.
    std::vector<std::unique_ptr<SimRig>> rigs;
    while (rigs.size() < 3 && (rigs.empty() || !rigs.back()->port.isConnected())) {
        rigs.push_back(std::make_unique<SimRig>(size, s.a2 ? size : 0, s.a4 ? size : 0));
        rigs.back()->connect();
    }
    SimRig &rig = *rigs.back();
    if (!rig.port.isConnected())
        return {Outcome::Failed, QStringLiteral("the simulated interface does not open")};
    DevSimCore &core = rig.sim.core();
    core.setWriteEcho(s.writeEcho);
    core.setAnswerDelayMs(s.answerDelayMs);
    core.setAnswersInTurn(s.inTurn);
    for (const FaultAt &f : s.faults)
        core.addFault(f.fault, f.first, f.count, f.lateMs, f.at);
    rig.port.setDelays(s.delayMs, s.delayMs);

    qint64 simulatedMs = 0;
    bool cancelled = false;
    const qint64 budget = s.budgetMs();
    setWaitFunction([&](int ms) {
        simulatedMs += qMax(0, ms);
        rig.sim.advance(ms);
        if (simulatedMs > budget && !cancelled) {   // as the user's Cancel
            cancelled = true;
            rig.port.breakSendReceive();
        }
    });

    const QByteArray before = core.memory(0);
    const QByteArray image = SimRig::pattern(size, 5);   // differs from the memory in every byte
    QStringList faults;
    QList<int> reportedWrong;   // blocks a report counted as written that the memory does not hold
    QHash<int, int> countedBy;  // block -> the command of the try that counted it
    int last = 0;
    int reports = 0;
    int warnings = 0;
    QObject::connect(&rig.port, &ComPort::progressRead, [&](int done) {
        if (!rig.port.isReading() && !rig.port.isWriting())
            faults << QStringLiteral("a progress report while no transfer runs");
        if (done < last || done > last + 1 || done > s.blocks) {
            faults << QStringLiteral("progress %1 after %2").arg(done).arg(last);
        } else if (done == last + 1) {
            countedBy[done - 1] = core.commandsHandled() - 1;
            if (s.send && core.memory(0).mid(16 * (done - 1), 16) != image.mid(16 * (done - 1), 16))
                reportedWrong << done - 1;
        }
        last = done;
        if (++reports == s.reconnectAt) {   // the record of echoes heard goes on both sides
            core.reconnected();
            rig.port.connectDisconnectPort();
            rig.port.connectDisconnectPort();
        }
    });
    QObject::connect(&rig.port, &ComPort::unplugWarning, [&]() { ++warnings; });

    QByteArray received;
    if (s.send)
        rig.port.writePort1(image, QStringLiteral("a0"), QString::number(size));
    else
        received = rig.port.readMemory(QStringLiteral("a0"), QString::number(size));
    const bool stopped = rig.port.isBreakRequested();

    if (rig.port.isReading() || rig.port.isWriting())
        faults << QStringLiteral("the transfer still counts as running");
    if (cancelled)
        faults << QStringLiteral("no end within %1 s of simulated time").arg(budget / 1000);
    else if (stopped && warnings == 0)
        faults << QStringLiteral("stopped without a warning");
    if (!stopped && warnings > 0)
        faults << QStringLiteral("a warning, and the transfer went on to its end");
    if (!stopped && last != s.blocks)
        faults << QStringLiteral("ended normally at progress %1 of %2").arg(last).arg(s.blocks);

    // Wrong blocks, and whether the try that counted each took a look-alike of the block.
    const QList<LookAlike> lookAlikes = core.lookAlikes();
    Outcome outcome;
    QStringList wrong;
    int excused = 0;
    auto judge = [&](int block, const QByteArray &data, const QString &what) {
        for (const LookAlike &l : lookAlikes) {
            if (l.command == countedBy.value(block, -1) && l.slave == 0 && l.address == 16 * block
                && (l.kind == LookAlike::ReadData) == !s.send && (data.isEmpty() || l.data == data)) {
                ++excused;
                outcome.excused[l.kind] = true;
                return;
            }
        }
        wrong << what;
    };
    if (s.send) {
        const QByteArray after = core.memory(0);
        for (int block : qAsConst(reportedWrong))
            judge(block, QByteArray(), QStringLiteral("block %1 counted as written, not in the memory").arg(block));
        for (int block = 0; block < s.blocks && !stopped; ++block) {
            if (after.mid(16 * block, 16) != image.mid(16 * block, 16) && !reportedWrong.contains(block))
                judge(block, QByteArray(), QStringLiteral("block %1 not in the memory at the end").arg(block));
        }
    } else {
        if (received.size() != 32 * last)
            faults << QStringLiteral("%1 digits received for progress %2").arg(received.size()).arg(last);
        const QByteArray memory = before.toHex();
        for (int block = 0; 32 * block < received.size(); ++block) {
            const QByteArray digits = received.mid(32 * block, 32).toLower();
            if (digits != memory.mid(32 * block, 32))
                judge(block, digits, QStringLiteral("block %1 received as %2").arg(block).arg(QString::fromLatin1(digits)));
        }
    }
    faults += wrong;
    outcome.kind = stopped ? Outcome::Warned : Outcome::Normal;
    if (!faults.isEmpty())
        outcome = Outcome{Outcome::Failed, faults.join(QLatin1String("; "))};
    else if (excused > 0)
        outcome.kind = Outcome::LeftOut;
    return outcome;
}

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

}

class TestLinkFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void schedules_data();
    void schedules();
};

void TestLinkFaults::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));   // the write replies' traces
}

void TestLinkFaults::schedules_data()
{
    QTest::addColumn<bool>("send");
    QTest::addColumn<bool>("writeEcho");

    QTest::newRow("receive/echo") << false << true;
    QTest::newRow("receive/no-echo") << false << false;
    QTest::newRow("send/echo") << true << true;
    QTest::newRow("send/no-echo") << true << false;
}

void TestLinkFaults::schedules()
{
    QFETCH(bool, send);
    QFETCH(bool, writeEcho);

    const int count = environmentNumber("TKV_LINK_SCHEDULES", FixedSchedules);
    const int first = environmentNumber("TKV_LINK_FIRST_SEED", 1);
    const bool verbose = qEnvironmentVariableIsSet("TKV_LINK_VERBOSE");
    const char *const outcomeNames[] = {"ended normally", "stopped with a warning", "left out", "failed:"};
    int tally[4] = {0, 0, 0, 0};
    int excusedBy[LookAlikeKinds] = {0, 0, 0};
    QStringList failures;
    QList<int> failingSeeds;
    QElapsedTimer clock;
    clock.start();
    for (int seed = first; seed < first + count; ++seed) {
        const Schedule schedule = ScheduleMaker(quint32(seed), send, writeEcho).make();
        const Outcome outcome = run(schedule);
        ++tally[outcome.kind];
        for (int kind = 0; kind < LookAlikeKinds; ++kind)
            excusedBy[kind] += outcome.excused[kind] ? 1 : 0;
        if (verbose)
            qInfo("%s -> %s %s", qPrintable(schedule.describe()), outcomeNames[outcome.kind], qPrintable(outcome.why));
        if (outcome.kind != Outcome::Failed)
            continue;
        failingSeeds << seed;
        if (failures.size() < 5) {
            failures << QStringLiteral("%1\n    %2\n    run alone: TKV_LINK_FIRST_SEED=%3 TKV_LINK_SCHEDULES=1 tst_linkfaults schedules:%4")
                            .arg(schedule.describe(), outcome.why)
                            .arg(seed)
                            .arg(QLatin1String(QTest::currentDataTag()));
        }
    }
    QStringList byKind;
    for (int kind = 0; kind < LookAlikeKinds; ++kind)
        byKind << QStringLiteral("%1 %2").arg(excusedBy[kind]).arg(QLatin1String(lookAlikeNames[kind]));
    qInfo("%s: %d schedules from seed %d in %.1f s: %d ended normally, %d stopped with a warning, %d left out (%s), "
          "%d failed",
          QTest::currentDataTag(), count, first, clock.elapsed() / 1000.0, tally[Outcome::Normal], tally[Outcome::Warned],
          tally[Outcome::LeftOut], qPrintable(byKind.join(QLatin1String(", "))), tally[Outcome::Failed]);
    if (!failingSeeds.isEmpty()) {
        QStringList seeds;
        for (int seed : qAsConst(failingSeeds))
            seeds << QString::number(seed);
        QFAIL(qPrintable(QStringLiteral("%1 schedules failed (seeds %2):\n%3")
                             .arg(failingSeeds.size())
                             .arg(seeds.join(QLatin1String(" ")), failures.join(QLatin1String("\n")))));
    }
}

QTEST_MAIN(TestLinkFaults)
#include "tst_linkfaults.moc"
