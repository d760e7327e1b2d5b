#include "../link/linktesting.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "mainwindow.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QRegularExpression>

#include <sys/resource.h>

// Every command the window sends, met with every way a device can fail to
// answer it: the user must get the right error (or none, where the answer is
// still good), the window must never hang nor stop repainting, nothing may be saved after a
// failure, and the buttons must afterwards do what they say.

namespace {

// Quiet times and waits short enough for a few hundred faulty exchanges in
// one run; what is checked here is where a fault leads, not how long the
// device may take. The read cap is far below the device's babble (three
// times the cap), so only the cap can end a babbling answer; chunks come well
// inside the quiet time; a rebooting device is back before the restart's
// reconnection. A cell runs on the short times first, and again on the long
// ones when it fails, in case the device's thread missed a quiet time on a
// busy machine (the long ones leave it some 40 ms). Everything is put back
// afterwards.
struct Times
{
    int quiet, saveQuiet, readCap, toolsWait, rebootFloor, chunkPause, rebootDelay;
};
const Times kTimes[] = {{10, 30, 60, 30, 250, 2, 120}, {50, 100, 120, 100, 700, 8, 400}};
Times times = kTimes[0]; // of the attempt under way

SimDevice::Options deviceOptions()
{
    SimDevice::Options options;
    options.chunkPauseMs = times.chunkPause;
    options.babbleMs = 3 * times.readCap;
    options.rebootDelayMs = times.rebootDelay;
    options.lineIdleMs = 1;
    return options;
}

// A cell's checks end it with what went wrong instead of failing the test at
// once, so that it can run again on the long times before it counts.
QString failure(int line, const char *condition, const QString &what)
{
    return QStringLiteral("line %1: %2 (%3)").arg(line).arg(QLatin1String(condition), what);
}
// clang-format off
#define CHECK(ok, what) do { if (!(ok)) return failure(__LINE__, #ok, what); } while (false)
#define CHECK_SAME(actual, expected) CHECK((actual) == (expected), QStringLiteral("got \"%1\"").arg(actual))
#define CHECKED(call) do { const QString failed_ = (call); if (!failed_.isEmpty()) return failed_; } while (false)
// clang-format on

// Runs a cell on the short times, then if it failed on the long ones.
template<class Cell>
QString onShortTimesThenLong(const Cell &cell)
{
    QString failed;
    for (const Times &attempt : kTimes) {
        times = attempt;
        failed = cell();
        if (failed.isEmpty())
            break;
        qInfo("%s", qPrintable("on " + QString::number(attempt.quiet) + " ms quiet times: " + failed));
    }
    times = kTimes[0];
    return failed;
}

// A simulated device, the real window and a watcher that answers its boxes.
struct FaultRig
{
    SimHarness sim{deviceOptions()};
    DialogWatcher dialogs;
    MainWindow window;
    FormProbe form{window};

    SimDevice &device() { return sim.device(); }
    QPushButton *button(const char *name) { return form.find(name); }

    // Connected unless the handshake is under test; the handshake is then
    // forgotten, so that what follows stands alone.
    explicit FaultRig(bool connect)
    {
        LinkLimits &limits = window.session().limits();
        limits = shortLinkTimes(times.quiet, times.saveQuiet);
        limits.maxReadDurationMs = times.readCap;
        limits.toolsWaitMs = times.toolsWait;
        limits.rebootFloorMs = times.rebootFloor;
        if (!connect || !sim.isReady())
            return;
        button("startButton")->click();
        connected = window.session().connected() && dialogs.titles() == QStringList{"Information"};
        dialogs.clear();
        device().clearReceived();
    }
    bool connected = false;

    // The error boxes shown, in boxesOf()'s words.
    QString errorBoxes() const
    {
        static const QRegularExpression error(QStringLiteral("^\\w+ Error"));
        return dialogs.summary().split(QStringLiteral(" | ")).filter(error).join(QStringLiteral(" | "));
    }
};

// Lines the window wrote, as its exchange traces name them. Unlike the
// device's own record this still holds what went out after the cable went.
QByteArrayList linesSent(const DebugLog &log)
{
    static const QRegularExpression traced(QStringLiteral("^CMD sent : \"([^\"]*)\""));
    QByteArrayList lines;
    for (const QString &record : log.lines()) {
        const QRegularExpressionMatch match = traced.match(record);
        if (match.hasMatch())
            lines << match.captured(1).toLatin1();
    }
    return lines;
}

// CPU time the calling thread (the window's) has used, in seconds.
double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

enum class Operation { Connect, Read, Upload, Debug, LedDebug, Battery, FactoryReset, Restart, PowerOff };

// What each operation is called, its button, the lines it sends that the
// device may misbehave on, the error it ends in when it fails, the titles of
// the boxes it shows when it succeeds, the pauses it makes on purpose on top
// of its exchanges (none, the tools' wait, or that and the reboot), and the line it sends whatever failed before it (so
// that the device is not left verbose or half reset).
struct Behaviour
{
    const char *name;
    const char *button;
    const char *lines;
    Error failure;
    const char *successBoxes;
    int fixedWaits;
    const char *closingLine;
};

const Behaviour kBehaviours[] = {
    {"connect", "startButton", "READY|DEBUG 1|VERSION|LORA GET|DEBUG 0", Error::HandshakeFailed, "Information", 0,
     nullptr},
    {"read", "readAlgoButton", "DEBUG 1|DUMP RAM PARAM|DEBUG 0", Error::ReadConfigFailed, "", 0, "DEBUG 0"},
    {"upload", "startButton",
     "MPU maxRange|MPU orientation|ALGO 0x|ALIVE period|SAVEPARAM ALGO|LORA SET ACK|SAVEPARAM LORA",
     Error::UploadFailed, "Success", 0, nullptr},
    {"tool", "pbEnableDebug", "DEBUG 1", Error::VerboseFailed, "Information", 0, nullptr},
    {"tool", "pbEnableDebugLed", "DEBUG LEDON", Error::VerboseLedFailed, "Information", 0, nullptr},
    {"tool", "pbGetBatteryStatus", "BATTERY GET LIFE", Error::BatteryFailed, "Information", 0, "DEBUG 0"},
    {"tool", "pbResetParam", "RESETPARAM LORA|RESETPARAM ALGO", Error::FactoryResetFailed, "Information", 1,
     "RESETPARAM ALGO"},
    {"tool", "pbRestartProduct", "reset", Error::RebootFailed, "Information+Information", 2, nullptr},
    {"tool", "pbTurnOffProduct", "poweroff", Error::PoweroffFailed, "Information", 0, nullptr},
};

// The silent device had sent a late "OK" before the line went out: the
// window must show it, never take it for the silent line's answer.
const QPair<SimFault, const char *> kFaults[] = {
    {SimFault::Refuses, "Refuses"},       {SimFault::NeverAnswers, "NeverAnswers after a stale OK"},
    {SimFault::AnswersWithoutOk, "NoOk"}, {SimFault::AnswersInChunks, "InChunks"},
    {SimFault::Babbles, "Babbles"},       {SimFault::SendsGarbage, "Garbage"},
    {SimFault::GoesAway, "GoesAway"},
};

using Errors = QList<Error>;

// The cells where a fault still ends well (no error) or elsewhere, and why.
Errors expectedErrors(Operation operation, const QByteArray &prefix, SimFault fault)
{
    // A slow answer is still a whole answer.
    if (fault == SimFault::AnswersInChunks)
        return {};
    // The firmware's release answer is taken even when it holds "NOK".
    if (prefix == "VERSION" && fault == SimFault::Refuses)
        return {};
    // A device that vanishes half-way through a bare "OK\r\n>" has still
    // said "OK" (an answer too short for a trailer is judged whole), so that
    // exchange passes and only a later one can fail: after READY the rest of
    // the handshake does; the last exchange of an operation has none after it.
    if (fault == SimFault::GoesAway) {
        if (prefix == "READY")
            return {Error::HandshakeFailed};
        if (prefix == "DEBUG 0" || prefix == "SAVEPARAM LORA" || operation == Operation::Debug ||
            operation == Operation::LedDebug || prefix == "RESETPARAM ALGO")
            return {};
    }
    // A restart or power-off the device carried out without confirming it
    // takes its port off the bus: that counts as done.
    if ((prefix == "reset" || prefix == "poweroff") && fault == SimFault::AnswersWithoutOk)
        return {};
    if (prefix == "poweroff" && fault == SimFault::GoesAway)
        return {};
    // A device that vanishes at "reset" looks like a rebooting one; it is
    // not back when the window reconnects, so the port cannot be found.
    if (prefix == "reset" && fault == SimFault::GoesAway)
        return {Error::PortNotFound};
    // Otherwise the operation's failure; only an unanswered READY has a box
    // of its own before the link's.
    if (operation == Operation::Connect && prefix == "READY")
        return {Error::NoAnswerToReady, Error::HandshakeFailed};
    return {kBehaviours[int(operation)].failure};
}

// The box that tells the user the device went.
const QString kLossTitle = errorReport(Error::DeviceLost).title;

// Told once, in its own box, and the window is left disconnected; the dead
// port must not keep the window busy.
QString lossLeavesTheWindowIdle(FaultRig &rig)
{
    CHECK(QTest::qWaitFor(
              [&rig] { return rig.dialogs.titles().contains(kLossTitle) && !QApplication::activeModalWidget(); }, 3000),
          rig.dialogs.summary());
    CHECK_SAME(rig.dialogs.summary().section(QStringLiteral(" | "), -1), boxesOf({Error::DeviceLost}));
    CHECK(!rig.window.session().port().isOpen() && !rig.window.session().linkReady() &&
              !rig.window.session().connected(),
          QString());
    CHECK_SAME(rig.button("startButton")->text(), QStringLiteral("Connection"));
    CHECK(rig.form.enabled("startButton") && !rig.form.enabled("stopButton") && !rig.form.enabled("readAlgoButton"),
          QString());
    const double cpuBefore = threadCpuSeconds();
    QTest::qWait(300);
    const double cpu = threadCpuSeconds() - cpuBefore;
    CHECK(cpu < 0.03, QStringLiteral("%1 s of CPU in 0.3 s").arg(cpu));
    CHECK(rig.dialogs.titles().count(kLossTitle) == 1, rig.dialogs.summary());
    return QString();
}

// What a user does next is whatever the buttons offer; each must keep its word.
QString nextClickDoesWhatTheButtonsSay(FaultRig &rig)
{
    QPushButton *start = rig.button("startButton");
    QPushButton *stop = rig.button("stopButton");
    const QString before =
        QStringLiteral("start '%1' %2, stop '%3' %4")
            .arg(start->text(), start->isEnabled() ? "on" : "off", stop->text(), stop->isEnabled() ? "on" : "off");
    rig.device().clearFaults();
    const bool wasGone = !rig.device().isPresent();
    if (wasGone) {
        rig.device().comeBack();
        CHECK(rig.sim.waitForPresence(true), QString());
    }
    rig.dialogs.clear();
    rig.device().clearReceived();

    if (stop->isEnabled() && stop->text() == QLatin1String("Disconnect")) {
        if (!wasGone) {
            // The link claims to be up: it must carry a whole read.
            rig.button("readAlgoButton")->click();
            CHECK(rig.dialogs.titles().isEmpty(), before + ": " + rig.dialogs.summary());
            CHECK(rig.device().receivedLines().contains("DUMP RAM PARAM  0\r\n"), before);
            return QString();
        }
        stop->click();
        CHECK_SAME(start->text(), QStringLiteral("Connection"));
    } else if (stop->isEnabled()) {
        CHECK_SAME(stop->text(), QStringLiteral("Stop"));
        CHECK(!start->isEnabled(), before);
        stop->click();
        CHECK(!rig.window.session().port().isOpen(), before);
        // A link that never came up is not said goodbye to.
        CHECK(rig.device().receivedLines().isEmpty(), before);
    }

    // Idle: the start button opens the link whatever it reads.
    CHECK(start->isEnabled(), before);
    CHECK(start->text() == QLatin1String("Connection") || start->text() == QLatin1String("Start"), before);
    start->click();
    CHECK(rig.dialogs.titles() == QStringList{"Information"}, before + ": " + rig.dialogs.summary());
    CHECK_SAME(start->text(), QStringLiteral("Start"));
    CHECK_SAME(stop->text(), QStringLiteral("Disconnect"));
    return QString();
}

} // namespace

class FaultMatrixTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFaultOnEveryCommandEndsInTheRightReport_data();
    void everyFaultOnEveryCommandEndsInTheRightReport();
    void deviceGoneWhileIdleIsToldOnce();
};

void FaultMatrixTest::initTestCase()
{
    if (hostListsADevice())
        QSKIP("this host lists a port of the device's USB bridge");
}

void FaultMatrixTest::everyFaultOnEveryCommandEndsInTheRightReport_data()
{
    QTest::addColumn<int>("operationIndex");
    QTest::addColumn<QByteArray>("prefix"); // of the line the device misbehaves on
    QTest::addColumn<int>("faultIndex");
    for (int o = 0; o < int(std::size(kBehaviours)); ++o)
        for (const QByteArray &prefix : QByteArray(kBehaviours[o].lines).split('|'))
            for (int f = 0; f < int(std::size(kFaults)); ++f)
                QTest::addRow("%s %s / %s", kBehaviours[o].name, prefix.constData(), kFaults[f].second)
                    << o << prefix << f;
}

namespace {

// One cell: the operation, with the device misbehaving on the line, on the
// times of the attempt under way.
QString faultEndsInTheRightReport(Operation operation, const QByteArray &prefix, SimFault fault)
{
    const Behaviour &behaviour = kBehaviours[int(operation)];
    const Errors expected = expectedErrors(operation, prefix, fault);

    FaultRig rig(operation != Operation::Connect);
    CHECK(rig.sim.isReady() && rig.connected == (operation != Operation::Connect), rig.dialogs.summary());
    if (fault == SimFault::NeverAnswers) {
        rig.device().sendUnasked("OK\r\n>");
        QTest::qWait(20);
    }
    rig.device().setFault(prefix, fault);
    DebugLog log;
    // The event loop keeps turning whatever the device does: a 10 ms timer
    // stands in for the desktop.
    QTimer ticker;
    QElapsedTimer sinceTick;
    qint64 stallMs = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] { stallMs = qMax(stallMs, sinceTick.restart()); });
    ticker.start(10);
    sinceTick.start();
    QElapsedTimer clock;
    clock.start();
    rig.button(behaviour.button)->click();
    const qint64 heldMs = clock.elapsed();
    ticker.stop();
    stallMs = qMax(stallMs, sinceTick.elapsed());
    CHECK(stallMs <= 250, QStringLiteral("the event loop stood still for %1 ms").arg(stallMs));
    const QByteArrayList sent = linesSent(log);

    // A device that goes away does so once it has seen its half answer taken,
    // which on a busy machine may be just after the click; the window then
    // notices the hang-up while idle. Unless the click took the link down
    // itself, the loss is told once and leaves the window disconnected.
    const bool tookLinkDown =
        (operation == Operation::FactoryReset || operation == Operation::Restart || operation == Operation::PowerOff) &&
        (expected.isEmpty() || expected == Errors{Error::PortNotFound});
    if (fault == SimFault::GoesAway) {
        CHECK(rig.sim.waitForPresence(false), QString());
        CHECK(QTest::qWaitFor([&] { return !rig.window.session().port().isOpen() || tookLinkDown; }, 3000), QString());
        // A failed upload closes the port itself; when the device is slow to
        // leave, that comes first and the user has the upload's error alone.
        if (operation == Operation::Upload && !expected.isEmpty())
            CHECK(rig.dialogs.titles().count(kLossTitle) <= 1, rig.dialogs.summary());
        else if (tookLinkDown)
            CHECK(!rig.dialogs.titles().contains(kLossTitle), rig.dialogs.summary());
        else
            CHECKED(lossLeavesTheWindowIdle(rig));
    }
    if (fault == SimFault::NeverAnswers)
        CHECK(log.contains(QStringLiteral("Before the line went out, the device had sent : \"OK\\r\\n>\"")),
              log.lines().join(QLatin1Char('\n')).left(2000));

    CHECK_SAME(rig.errorBoxes(), boxesOf(expected));
    if (expected.isEmpty()) {
        QStringList titles = rig.dialogs.titles();
        titles.removeAll(kLossTitle);
        CHECK_SAME(titles.join(QLatin1Char('+')), QString::fromLatin1(behaviour.successBoxes));
        // A configuration announced as done must be stored in the device.
        if (operation == Operation::Upload)
            CHECK(rig.device().pendingParameters().isEmpty(),
                  QString::fromLatin1(rig.device().pendingParameters().keys().join(", ")));
        if (operation == Operation::Upload && fault != SimFault::GoesAway) {
            CHECK_SAME(rig.dialogs.summary(),
                       QStringLiteral("information Success: The product has been successfully configured."));
            CHECK(rig.form.find<QProgressBar>("progressBar")->value() == 100 && !rig.form.enabled("startButton"),
                  QString());
        }
    }

    // The status box shows the last error on red (an upload's
    // failure or the device's loss takes the link down, which clears the box).
    if (!expected.isEmpty() && operation != Operation::Upload && fault != SimFault::GoesAway)
        CHECK_SAME(rig.form.statusShown(), statusOf(expected.last()));
    // A failed handshake that got past READY leaves the link open for a read.
    if (operation == Operation::Connect)
        CHECK(rig.form.enabled("readAlgoButton") == rig.window.session().linkReady(), QString());
    // A failed upload takes the link down without a goodbye.
    if (operation == Operation::Upload && !expected.isEmpty())
        CHECK(!sent.contains("DISCONNECTE") && rig.form.find<QProgressBar>("progressBar")->value() == 0, QString());
    if (behaviour.closingLine && !expected.isEmpty() && fault != SimFault::Babbles && fault != SimFault::GoesAway)
        CHECK(sent.last().startsWith(behaviour.closingLine), QString::fromLatin1(sent.join(", ")));

    // Nothing is stored once something went wrong: no save, nor the factory
    // reset's closing power-off, goes out after the faulty line.
    if (!expected.isEmpty()) {
        int faulty = 0;
        while (faulty < sent.size() && !sent.at(faulty).startsWith(prefix))
            ++faulty;
        CHECK(faulty < sent.size(), QString::fromLatin1(prefix));
        for (int i = faulty + 1; i < sent.size(); ++i) {
            CHECK(!sent.at(i).startsWith("SAVEPARAM"), QString::fromLatin1(sent.at(i)));
            if (operation == Operation::FactoryReset)
                CHECK(!sent.at(i).startsWith("poweroff"), QString::fromLatin1(sent.at(i)));
        }
    }

    // Never held longer than its exchanges allow: every exchange at most its
    // quiet time plus the device's own answering time, one faulty read at
    // most the read cap plus a quiet time, and the click's fixed pauses. A
    // babbling device holds a click for one read cap, after which nothing
    // more of it is sent.
    const int fixedWaitsMs =
        20 + (behaviour.fixedWaits > 0 ? times.toolsWait : 0) + (behaviour.fixedWaits > 1 ? times.rebootFloor : 0);
    const qint64 boundMs =
        qint64(sent.size()) * (times.saveQuiet + 60) + times.readCap + times.saveQuiet + fixedWaitsMs + 1500;
    CHECK(heldMs <= boundMs, QStringLiteral("held %1 ms, bound %2 ms").arg(heldMs).arg(boundMs));
    if (fault == SimFault::Babbles) {
        CHECK(log.contains(QStringLiteral("Answer cut off")) && sent.last().startsWith(prefix), QString());
        // Let it fall silent, as a user would wait for the window. What it
        // said meanwhile waits in the port: the next click shows it but must
        // not take it for an answer.
        QTest::qWait(deviceOptions().babbleMs + 100);
    }
    return nextClickDoesWhatTheButtonsSay(rig);
}

} // namespace

void FaultMatrixTest::everyFaultOnEveryCommandEndsInTheRightReport()
{
    QFETCH(int, operationIndex);
    QFETCH(QByteArray, prefix);
    QFETCH(int, faultIndex);
    const QString failed = onShortTimesThenLong(
        [&] { return faultEndsInTheRightReport(Operation(operationIndex), prefix, kFaults[faultIndex].first); });
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
}

void FaultMatrixTest::deviceGoneWhileIdleIsToldOnce()
{
    const QString failed = onShortTimesThenLong([] {
        FaultRig rig(true);
        CHECK(rig.sim.isReady() && rig.connected, rig.dialogs.summary());
        rig.device().goAway();
        CHECK(rig.sim.waitForPresence(false), QString());
        CHECKED(lossLeavesTheWindowIdle(rig));
        CHECK_SAME(rig.errorBoxes(), QString());
        return nextClickDoesWhatTheButtonsSay(rig);
    });
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
}

QTEST_MAIN(FaultMatrixTest)
#include "tst_faultmatrix.moc"
