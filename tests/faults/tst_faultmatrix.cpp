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
// still good), the window must never hang, nothing may be saved after a
// failure, and the buttons must afterwards do what they say.

namespace {

// Quiet times and waits short enough for a few hundred faulty exchanges in
// one run; what is checked here is where a fault leads, not how long the
// device may take. The read cap is far below the device's babble, so only
// the cap can end a babbling answer. The quiet time still leaves the
// device's thread some 40 ms to answer or to send its next chunk on a busy
// machine. Everything is put back afterwards.
constexpr int kQuietMs = 50, kSaveQuietMs = 100, kReadCapMs = 120, kToolsWaitMs = 100, kRebootFloorMs = 700;

SimDevice::Options deviceOptions()
{
    SimDevice::Options options;
    options.chunkPauseMs = 8;    // well inside the quiet time
    options.babbleMs = 360;      // three times the read cap
    options.rebootDelayMs = 400; // back before the restart's reconnection
    options.lineIdleMs = 5;
    return options;
}

// A simulated device, the real window and a watcher that answers its boxes.
struct FaultRig
{
    ShortLinkTimes times{kQuietMs, kSaveQuietMs}; // puts every limit back
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
        LinkLimits::maxReadDurationMs = kReadCapMs;
        LinkLimits::toolsWaitMs = kToolsWaitMs;
        LinkLimits::rebootFloorMs = kRebootFloorMs;
        if (!connect || !sim.isReady())
            return;
        button("startButton")->click();
        connected = window.productConnected && dialogs.titles() == QStringList{"Information"};
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
// of its exchanges, and the line it sends whatever failed before it (so that
// the device is not left verbose or half reset).
struct Behaviour
{
    const char *name;
    const char *button;
    const char *lines;
    Error failure;
    const char *successBoxes;
    int fixedWaitsMs;
    const char *closingLine;
};

const Behaviour kBehaviours[] = {
    {"connect", "startButton", "READY|DEBUG 1|VERSION|LORA GET|DEBUG 0", Error::HandshakeFailed, "Information", 20,
     nullptr},
    {"read", "readAlgoButton", "DEBUG 1|DUMP RAM PARAM|DEBUG 0", Error::ReadConfigFailed, "", 20, "DEBUG 0"},
    {"upload", "startButton",
     "MPU maxRange|MPU orientation|ALGO 0x|ALIVE period|SAVEPARAM ALGO|LORA SET ACK|SAVEPARAM LORA",
     Error::UploadFailed, "Success", 20, nullptr},
    {"tool", "pbEnableDebug", "DEBUG 1", Error::VerboseFailed, "Information", 20, nullptr},
    {"tool", "pbEnableDebugLed", "DEBUG LEDON", Error::VerboseLedFailed, "Information", 20, nullptr},
    {"tool", "pbGetBatteryStatus", "BATTERY GET LIFE", Error::BatteryFailed, "Information", 20, "DEBUG 0"},
    {"tool", "pbResetParam", "RESETPARAM LORA|RESETPARAM ALGO", Error::FactoryResetFailed, "Information",
     kToolsWaitMs + 20, "RESETPARAM ALGO"},
    {"tool", "pbRestartProduct", "reset", Error::RebootFailed, "Information+Information",
     kToolsWaitMs + kRebootFloorMs + 20, nullptr},
    {"tool", "pbTurnOffProduct", "poweroff", Error::PoweroffFailed, "Information", 20, nullptr},
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
void lossLeavesTheWindowIdle(FaultRig &rig)
{
    QTRY_VERIFY_WITH_TIMEOUT(rig.dialogs.titles().contains(kLossTitle) && !QApplication::activeModalWidget(), 3000);
    QCOMPARE(rig.dialogs.summary().section(QStringLiteral(" | "), -1), boxesOf({Error::DeviceLost}));
    QVERIFY(!rig.window.serial.isOpen() && !rig.window.portReady && !rig.window.productConnected);
    QCOMPARE(rig.button("startButton")->text(), QStringLiteral("Connection"));
    QVERIFY(rig.form.enabled("startButton") && !rig.form.enabled("stopButton") && !rig.form.enabled("readAlgoButton"));
    const double cpuBefore = threadCpuSeconds();
    QTest::qWait(500);
    const double cpu = threadCpuSeconds() - cpuBefore;
    QVERIFY2(cpu < 0.05, qPrintable(QStringLiteral("%1 s of CPU in 0.5 s").arg(cpu)));
    QCOMPARE(rig.dialogs.titles().count(kLossTitle), 1);
}

// What a user does next is whatever the buttons offer; each must keep its word.
void nextClickDoesWhatTheButtonsSay(FaultRig &rig)
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
        QVERIFY(rig.sim.waitForPresence(true));
    }
    rig.dialogs.clear();
    rig.device().clearReceived();

    if (stop->isEnabled() && stop->text() == QLatin1String("Disconnect")) {
        if (!wasGone) {
            // The link claims to be up: it must carry a whole read.
            rig.button("readAlgoButton")->click();
            QVERIFY2(rig.dialogs.titles().isEmpty(), qPrintable(before + ": " + rig.dialogs.summary()));
            QVERIFY(rig.device().receivedLines().contains("DUMP RAM PARAM  0\r\n"));
            return;
        }
        stop->click();
        QCOMPARE(start->text(), QStringLiteral("Connection"));
    } else if (stop->isEnabled()) {
        QCOMPARE(stop->text(), QStringLiteral("Stop"));
        QVERIFY2(!start->isEnabled(), qPrintable(before));
        stop->click();
        QVERIFY(!rig.window.serial.isOpen());
        // A link that never came up is not said goodbye to.
        QVERIFY(rig.device().receivedLines().isEmpty());
    }

    // Idle: the start button opens the link whatever it reads.
    QVERIFY2(start->isEnabled(), qPrintable(before));
    QVERIFY2(start->text() == QLatin1String("Connection") || start->text() == QLatin1String("Start"),
             qPrintable(before));
    start->click();
    QVERIFY2(rig.dialogs.titles() == QStringList{"Information"}, qPrintable(before + ": " + rig.dialogs.summary()));
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QCOMPARE(stop->text(), QStringLiteral("Disconnect"));
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

void FaultMatrixTest::everyFaultOnEveryCommandEndsInTheRightReport()
{
    QFETCH(int, operationIndex);
    QFETCH(QByteArray, prefix);
    QFETCH(int, faultIndex);
    const Operation operation = Operation(operationIndex);
    const Behaviour &behaviour = kBehaviours[operationIndex];
    const SimFault fault = kFaults[faultIndex].first;
    const Errors expected = expectedErrors(operation, prefix, fault);

    FaultRig rig(operation != Operation::Connect);
    QVERIFY2(rig.sim.isReady() && rig.connected == (operation != Operation::Connect),
             qPrintable(rig.dialogs.summary()));
    if (fault == SimFault::NeverAnswers) {
        rig.device().sendUnasked("OK\r\n>");
        QTest::qWait(20);
    }
    rig.device().setFault(prefix, fault);
    DebugLog log;
    QElapsedTimer clock;
    clock.start();
    rig.button(behaviour.button)->click();
    const qint64 heldMs = clock.elapsed();
    const QByteArrayList sent = linesSent(log);

    // A device that goes away does so once it has seen its half answer taken,
    // which on a busy machine may be just after the click; the window then
    // notices the hang-up while idle. Unless the click took the link down
    // itself, the loss is told once and leaves the window disconnected.
    const bool tookLinkDown =
        (operation == Operation::FactoryReset || operation == Operation::Restart || operation == Operation::PowerOff) &&
        (expected.isEmpty() || expected == Errors{Error::PortNotFound});
    if (fault == SimFault::GoesAway) {
        QVERIFY(rig.sim.waitForPresence(false));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window.serial.isOpen() || tookLinkDown, 3000);
        // A failed upload closes the port itself; when the device is slow to
        // leave, that comes first and the user has the upload's error alone.
        if (operation == Operation::Upload && !expected.isEmpty())
            QVERIFY(rig.dialogs.titles().count(kLossTitle) <= 1);
        else if (tookLinkDown)
            QVERIFY(!rig.dialogs.titles().contains(kLossTitle));
        else
            lossLeavesTheWindowIdle(rig);
    }
    if (fault == SimFault::NeverAnswers)
        QVERIFY2(log.contains(QStringLiteral("Before the line went out, the device had sent : \"OK\\r\\n>\"")),
                 qPrintable(log.lines().join(QLatin1Char('\n')).left(2000)));

    QCOMPARE(rig.errorBoxes(), boxesOf(expected));
    if (expected.isEmpty()) {
        QStringList titles = rig.dialogs.titles();
        titles.removeAll(kLossTitle);
        QCOMPARE(titles.join(QLatin1Char('+')), QString::fromLatin1(behaviour.successBoxes));
        // A configuration announced as done must be stored in the device.
        if (operation == Operation::Upload)
            QVERIFY2(rig.device().pendingParameters().isEmpty(),
                     rig.device().pendingParameters().keys().join(", ").constData());
        if (operation == Operation::Upload && fault != SimFault::GoesAway) {
            QCOMPARE(rig.dialogs.summary(),
                     QStringLiteral("information Success: The product has been successfully configured."));
            QVERIFY(rig.form.find<QProgressBar>("progressBar")->value() == 100 && !rig.form.enabled("startButton"));
        }
    }

    // The status box shows the last error on red (an upload's
    // failure or the device's loss takes the link down, which clears the box).
    if (!expected.isEmpty() && operation != Operation::Upload && fault != SimFault::GoesAway)
        QCOMPARE(rig.form.statusShown(), statusOf(expected.last()));
    // A failed handshake that got past READY leaves the link open for a read.
    if (operation == Operation::Connect)
        QCOMPARE(rig.form.enabled("readAlgoButton"), rig.window.portReady);
    // A failed upload takes the link down without a goodbye.
    if (operation == Operation::Upload && !expected.isEmpty())
        QVERIFY(!sent.contains("DISCONNECTE") && rig.form.find<QProgressBar>("progressBar")->value() == 0);
    if (behaviour.closingLine && !expected.isEmpty() && fault != SimFault::Babbles && fault != SimFault::GoesAway)
        QVERIFY2(sent.last().startsWith(behaviour.closingLine), sent.join(", ").constData());

    // Nothing is stored once something went wrong: no save, nor the factory
    // reset's closing power-off, goes out after the faulty line.
    if (!expected.isEmpty()) {
        int faulty = 0;
        while (faulty < sent.size() && !sent.at(faulty).startsWith(prefix))
            ++faulty;
        QVERIFY2(faulty < sent.size(), prefix);
        for (int i = faulty + 1; i < sent.size(); ++i) {
            QVERIFY2(!sent.at(i).startsWith("SAVEPARAM"), sent.at(i).constData());
            if (operation == Operation::FactoryReset)
                QVERIFY2(!sent.at(i).startsWith("poweroff"), sent.at(i).constData());
        }
    }

    // Never held longer than its exchanges allow: every exchange at most its
    // quiet time plus the device's own answering time, one faulty read at
    // most the read cap plus a quiet time, and the click's fixed pauses. A
    // babbling device holds a click for one read cap, after which nothing
    // more of it is sent.
    const qint64 boundMs =
        qint64(sent.size()) * (kSaveQuietMs + 60) + kReadCapMs + kSaveQuietMs + behaviour.fixedWaitsMs + 1500;
    QVERIFY2(heldMs <= boundMs, qPrintable(QStringLiteral("held %1 ms, bound %2 ms").arg(heldMs).arg(boundMs)));
    if (fault == SimFault::Babbles) {
        QVERIFY(log.contains(QStringLiteral("Answer cut off")) && sent.last().startsWith(prefix));
        // Let it fall silent, as a user would wait for the window. What it
        // said meanwhile waits in the port: the next click shows it but must
        // not take it for an answer.
        QTest::qWait(deviceOptions().babbleMs + 100);
    }
    nextClickDoesWhatTheButtonsSay(rig);
}

void FaultMatrixTest::deviceGoneWhileIdleIsToldOnce()
{
    FaultRig rig(true);
    QVERIFY2(rig.sim.isReady() && rig.connected, qPrintable(rig.dialogs.summary()));
    rig.device().goAway();
    QVERIFY(rig.sim.waitForPresence(false));
    lossLeavesTheWindowIdle(rig);
    QCOMPARE(rig.errorBoxes(), QString());
    nextClickDoesWhatTheButtonsSay(rig);
}

QTEST_MAIN(FaultMatrixTest)
#include "tst_faultmatrix.moc"
