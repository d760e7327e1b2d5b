#include "faultrig.h"

#include <QMap>
#include <QProgressBar>

#include <cstdio>

// Every command the window sends, met with every way a device can fail to
// answer it: the user must get the right error (or none, where the answer is
// still good), the window must never hang, nothing may be saved after a
// failure, and the buttons must afterwards do what they say.

namespace {

enum class Operation { Connect, Read, Upload, Debug, LedDebug, Battery, FactoryReset, Restart, PowerOff };

struct Target
{
    Operation operation;
    const char *name;   // row of the printed matrix
    const char *prefix; // the line the device misbehaves on
};

const Target kTargets[] = {
    {Operation::Connect, "connect READY", "READY"},
    {Operation::Connect, "connect DEBUG 1", "DEBUG 1"},
    {Operation::Connect, "connect VERSION", "VERSION"},
    {Operation::Connect, "connect LORA GET", "LORA GET"},
    {Operation::Connect, "connect DEBUG 0", "DEBUG 0"},
    {Operation::Read, "read DEBUG 1", "DEBUG 1"},
    {Operation::Read, "read DUMP RAM PARAM", "DUMP RAM PARAM"},
    {Operation::Read, "read DEBUG 0", "DEBUG 0"},
    {Operation::Upload, "upload MPU maxRange", "MPU maxRange"},
    {Operation::Upload, "upload MPU orientation", "MPU orientation"},
    {Operation::Upload, "upload ALGO mask", "ALGO 0x"},
    {Operation::Upload, "upload ALIVE period", "ALIVE period"},
    {Operation::Upload, "upload SAVEPARAM ALGO", "SAVEPARAM ALGO"},
    {Operation::Upload, "upload LORA SET ACK", "LORA SET ACK"},
    {Operation::Upload, "upload SAVEPARAM LORA", "SAVEPARAM LORA"},
    {Operation::Debug, "tool DEBUG 1", "DEBUG 1"},
    {Operation::LedDebug, "tool DEBUG LEDON", "DEBUG LEDON"},
    {Operation::Battery, "tool BATTERY GET LIFE", "BATTERY GET LIFE"},
    {Operation::FactoryReset, "tool RESETPARAM LORA", "RESETPARAM LORA"},
    {Operation::FactoryReset, "tool RESETPARAM ALGO", "RESETPARAM ALGO"},
    {Operation::Restart, "tool reset", "reset"},
    {Operation::PowerOff, "tool poweroff", "poweroff"},
};

struct FaultName
{
    SimFault fault;
    const char *name;
};

const FaultName kFaults[] = {
    {SimFault::Refuses, "Refuses"},       {SimFault::NeverAnswers, "NeverAnswers"},
    {SimFault::AnswersWithoutOk, "NoOk"}, {SimFault::AnswersInChunks, "InChunks"},
    {SimFault::Babbles, "Babbles"},       {SimFault::SendsGarbage, "Garbage"},
    {SimFault::GoesAway, "GoesAway"},
};

using Errors = QList<Error>;

// What each operation's button is, the error it ends in when it fails, the
// boxes it shows when it succeeds, the pauses it makes on purpose on top of
// its exchanges, and the line it sends whatever failed before it (so that
// the device is not left verbose or half reset).
struct Behaviour
{
    const char *button;
    Error failure;
    const char *successBoxes;
    int fixedWaitsMs;
    const char *closingLine;
};

const Behaviour &behaviourOf(Operation operation)
{
    static const Behaviour behaviours[] = {
        {"startButton", Error::HandshakeFailed, "Information", 20, nullptr},
        {"readAlgoButton", Error::ReadConfigFailed, "", 20, "DEBUG 0"},
        {"startButton", Error::UploadFailed, "Success", 20, nullptr},
        {"pbEnableDebug", Error::VerboseFailed, "Information", 20, nullptr},
        {"pbEnableDebugLed", Error::VerboseLedFailed, "Information", 20, nullptr},
        {"pbGetBatteryStatus", Error::BatteryFailed, "Information", 20, "DEBUG 0"},
        {"pbResetParam", Error::FactoryResetFailed, "Information", FaultTimes::kToolsWaitMs + 20, "RESETPARAM ALGO"},
        {"pbRestartProduct", Error::RebootFailed, "Information+Information",
         FaultTimes::kToolsWaitMs + FaultTimes::kRebootFloorMs + 20, nullptr},
        {"pbTurnOffProduct", Error::PoweroffFailed, "Information", 20, nullptr},
    };
    return behaviours[int(operation)];
}

// What the user is told when the operation fails: only an unanswered READY
// has a box of its own before the link's.
Errors failureOf(const Target &target)
{
    if (target.operation == Operation::Connect && qstrcmp(target.prefix, "READY") == 0)
        return {Error::NoAnswerToReady, Error::HandshakeFailed};
    return {behaviourOf(target.operation).failure};
}

// The cells where a fault still ends well (no error) or elsewhere, and why.
Errors expectedErrors(const Target &target, SimFault fault)
{
    const QByteArray prefix(target.prefix);
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
        if (prefix == "DEBUG 0" || prefix == "SAVEPARAM LORA" || target.operation == Operation::Debug ||
            target.operation == Operation::LedDebug || prefix == "RESETPARAM ALGO")
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
    return failureOf(target);
}

// The titles of the error boxes, as the printed matrix shows them.
QString titlesOf(const Errors &errors)
{
    QStringList titles;
    for (const Error error : errors)
        titles << errorReport(error).title;
    return titles.isEmpty() ? QStringLiteral("ok") : titles.join(QLatin1Char('+'));
}

// The box that tells the user the device went.
const QString kLossTitle = errorReport(Error::DeviceLost).title;

// What each case between clicks came to, printed after the matrix.
QStringList &betweenOutcomes()
{
    static QStringList lines;
    return lines;
}

// command -> fault -> outcome, printed once every row has run.
QMap<QString, QMap<QString, QString>> &matrix()
{
    static QMap<QString, QMap<QString, QString>> cells;
    return cells;
}

} // namespace

class FaultMatrixTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void everyFaultOnEveryCommandEndsInTheRightReport_data();
    void everyFaultOnEveryCommandEndsInTheRightReport();
    void faultsBetweenClicksEndInTheRightReport_data();
    void faultsBetweenClicksEndInTheRightReport();

private:
    void nextClickDoesWhatTheButtonsSay(FaultRig &rig);
};

void FaultMatrixTest::initTestCase()
{
    if (hostListsADevice())
        QSKIP("this host lists a port of the device's USB bridge");
}

void FaultMatrixTest::cleanupTestCase()
{
    if (matrix().isEmpty() && betweenOutcomes().isEmpty())
        return;
    std::printf("\n%-24s", "command \\ fault");
    for (const FaultName &fault : kFaults)
        std::printf(" %-16s", fault.name);
    std::printf("\n");
    for (const Target &target : kTargets) {
        const QString row = QString::fromLatin1(target.name);
        if (!matrix().contains(row))
            continue;
        std::printf("%-24s", target.name);
        for (const FaultName &fault : kFaults)
            std::printf(" %-16s", qPrintable(matrix().value(row).value(QString::fromLatin1(fault.name), "-")));
        std::printf("\n");
    }
    for (const QString &line : betweenOutcomes())
        std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void FaultMatrixTest::everyFaultOnEveryCommandEndsInTheRightReport_data()
{
    QTest::addColumn<int>("targetIndex");
    QTest::addColumn<int>("faultIndex");
    for (int t = 0; t < int(std::size(kTargets)); ++t)
        for (int f = 0; f < int(std::size(kFaults)); ++f)
            QTest::addRow("%s / %s", kTargets[t].name, kFaults[f].name) << t << f;
}

// What a user does next is whatever the buttons offer; each must keep its word.
void FaultMatrixTest::nextClickDoesWhatTheButtonsSay(FaultRig &rig)
{
    QPushButton *start = rig.startButton();
    QPushButton *stop = rig.stopButton();
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

void FaultMatrixTest::everyFaultOnEveryCommandEndsInTheRightReport()
{
    QFETCH(int, targetIndex);
    QFETCH(int, faultIndex);
    const Target &target = kTargets[targetIndex];
    const SimFault fault = kFaults[faultIndex].fault;
    const Errors expectedBoxes = expectedErrors(target, fault);
    const QString expected = titlesOf(expectedBoxes);

    FaultTimes times;
    FaultRig rig;
    QVERIFY(rig.isReady());
    if (target.operation != Operation::Connect)
        QVERIFY2(rig.connect(), qPrintable(rig.dialogs.summary()));
    rig.device().clearReceived();
    rig.dialogs.clear();

    rig.device().setFault(target.prefix, fault);
    DebugLog log;
    const qint64 heldMs = rig.timedClick(rig.button(behaviourOf(target.operation).button));
    const QByteArrayList sent = linesSent(log);

    // A device that goes away does so once it has seen its half answer taken,
    // which on a busy machine may be just after the click; the window then
    // notices the hang-up while idle. Unless the click took the link down
    // itself, the loss is told once and leaves the window disconnected.
    const bool tookLinkDown = (target.operation == Operation::FactoryReset || target.operation == Operation::Restart ||
                               target.operation == Operation::PowerOff) &&
                              (expected == QLatin1String("ok") || expected == QLatin1String("Error 1"));
    if (fault == SimFault::GoesAway) {
        QVERIFY(rig.sim.waitForPresence(false));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window.serial.isOpen() || tookLinkDown, 3000);
        // A failed upload closes the port itself; when the device is slow to
        // leave, that comes first and the user has the upload's error alone.
        const int told = rig.dialogs.titles().count(kLossTitle);
        if (target.operation == Operation::Upload && !expectedBoxes.isEmpty())
            QVERIFY(told <= 1);
        else
            QCOMPARE(told, tookLinkDown ? 0 : 1);
    }

    const QString outcome = rig.outcome();
    // A configuration announced as done must be stored in the device.
    const bool unsaved = target.operation == Operation::Upload && outcome == QLatin1String("ok") &&
                         !rig.device().pendingParameters().isEmpty();
    matrix()[QString::fromLatin1(target.name)][QString::fromLatin1(kFaults[faultIndex].name)] =
        unsaved ? outcome + QStringLiteral(" UNSAVED") : outcome;
    QCOMPARE(outcome, expected);
    QCOMPARE(rig.errorBoxes(), boxesOf(expectedBoxes));
    if (expected == QLatin1String("ok")) {
        QStringList titles = rig.dialogs.titles();
        titles.removeAll(kLossTitle);
        QCOMPARE(titles.join(QLatin1Char('+')), QString::fromLatin1(behaviourOf(target.operation).successBoxes));
    }
    if (target.operation == Operation::Upload && expected == QLatin1String("ok")) {
        QVERIFY2(!unsaved, qPrintable(QStringLiteral("reported as configured, yet not stored: ") +
                                      QString::fromLatin1(rig.device().pendingParameters().keys().join(", "))));
    }

    // The status box shows the last error on red (an upload's
    // failure or the device's loss takes the link down, which clears the box).
    if (!expectedBoxes.isEmpty() && target.operation != Operation::Upload && fault != SimFault::GoesAway)
        QCOMPARE(rig.form.statusShown(), statusOf(expectedBoxes.last()));
    // A failed handshake that got past READY leaves the link open for a read.
    if (target.operation == Operation::Connect)
        QCOMPARE(rig.form.enabled("readAlgoButton"), rig.window.portReady);
    // A failed upload takes the link down without a goodbye.
    if (target.operation == Operation::Upload && !expectedBoxes.isEmpty())
        QVERIFY(!sent.contains("DISCONNECTE") && rig.form.find<QProgressBar>("progressBar")->value() == 0);
    const char *closing = behaviourOf(target.operation).closingLine;
    if (closing && !expectedBoxes.isEmpty() && fault != SimFault::Babbles && fault != SimFault::GoesAway)
        QVERIFY2(sent.last().startsWith(closing), sent.join(", ").constData());

    // Nothing is stored once something went wrong: no save, nor the factory
    // reset's closing power-off, goes out after the faulty line.
    if (expected != QLatin1String("ok")) {
        int faulty = 0;
        while (faulty < sent.size() && !sent.at(faulty).startsWith(target.prefix))
            ++faulty;
        QVERIFY2(faulty < sent.size(), target.prefix);
        for (int i = faulty + 1; i < sent.size(); ++i) {
            QVERIFY2(!sent.at(i).startsWith("SAVEPARAM"), sent.at(i).constData());
            if (target.operation == Operation::FactoryReset)
                QVERIFY2(!sent.at(i).startsWith("poweroff"), sent.at(i).constData());
        }
    }

    // Never held longer than its exchanges allow: a babbling device holds a
    // click for one read cap, after which nothing more of it is sent.
    const qint64 boundMs = times.clickBoundMs(sent.size(), 1, behaviourOf(target.operation).fixedWaitsMs);
    QVERIFY2(heldMs <= boundMs, qPrintable(QStringLiteral("held %1 ms, bound %2 ms").arg(heldMs).arg(boundMs)));
    if (fault == SimFault::Babbles)
        QVERIFY2(log.contains(QStringLiteral("Answer cut off")) && sent.last().startsWith(target.prefix),
                 "a babbling answer is cut by the read cap, and the rest of the click is not sent");

    // Let a babbling device fall silent, as a user would wait for the window.
    // What it said meanwhile waits in the port: the next click shows it but
    // must not take it for an answer.
    if (fault == SimFault::Babbles)
        QTest::qWait(FaultRig::deviceOptions().babbleMs + 100);
    nextClickDoesWhatTheButtonsSay(rig);
}

// Faults that lie between clicks rather than on one line: a device that goes
// while the window waits for the user (or while it works, when the window
// must also stay calm afterwards), and a late "OK" waiting in the port when
// the next line meets a silent device.
enum class Between { GoneWhileIdle, GoneDuring, StaleOkBeforeSilence };

void FaultMatrixTest::faultsBetweenClicksEndInTheRightReport_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("targetIndex");
    const auto row = [](Between kind, const char *name, const char *prefix) {
        for (int t = 0; t < int(std::size(kTargets)); ++t)
            if (QByteArray(kTargets[t].name).contains(name) && qstrcmp(kTargets[t].prefix, prefix) == 0)
                QTest::addRow("%s: %s",
                              kind == Between::StaleOkBeforeSilence ? "stale OK before a silent answer" : "device gone",
                              kTargets[t].name)
                    << int(kind) << t;
    };
    QTest::addRow("device gone while idle") << int(Between::GoneWhileIdle) << 5;
    row(Between::GoneDuring, "connect", "LORA GET");
    row(Between::GoneDuring, "read", "DUMP RAM PARAM");
    row(Between::GoneDuring, "upload", "ALIVE period");
    row(Between::GoneDuring, "tool", "BATTERY GET LIFE");
    row(Between::StaleOkBeforeSilence, "connect", "READY");
    row(Between::StaleOkBeforeSilence, "read", "DEBUG 1");
    row(Between::StaleOkBeforeSilence, "upload", "MPU maxRange");
    row(Between::StaleOkBeforeSilence, "tool", "DEBUG 1");
    row(Between::StaleOkBeforeSilence, "tool", "poweroff");
}

void FaultMatrixTest::faultsBetweenClicksEndInTheRightReport()
{
    QFETCH(int, kind);
    QFETCH(int, targetIndex);
    const Target &target = kTargets[targetIndex];
    FaultTimes times;
    FaultRig rig;
    QVERIFY(rig.isReady());
    if (target.operation != Operation::Connect)
        QVERIFY2(rig.connect(), qPrintable(rig.dialogs.summary()));
    DebugLog log;

    switch (Between(kind)) {
    case Between::GoneWhileIdle:
        rig.device().goAway();
        break;
    case Between::GoneDuring:
        rig.device().setFault(target.prefix, SimFault::GoesAway);
        rig.button(behaviourOf(target.operation).button)->click();
        break;
    case Between::StaleOkBeforeSilence:
        rig.device().sendUnasked("OK\r\n>");
        QTest::qWait(20);
        rig.device().setFault(target.prefix, SimFault::NeverAnswers);
        rig.button(behaviourOf(target.operation).button)->click();
        // Shown to the user, never taken for the silent line's answer.
        QVERIFY2(log.contains(QStringLiteral("Before the line went out, the device had sent : \"OK\\r\\n>\"")),
                 qPrintable(log.lines().join(QLatin1Char('\n')).left(2000)));
        QCOMPARE(rig.errorBoxes(), boxesOf(failureOf(target)));
        betweenOutcomes() << QStringLiteral("%1: %2").arg(QString::fromLatin1(QTest::currentDataTag()), rig.outcome());
        nextClickDoesWhatTheButtonsSay(rig);
        return;
    }

    // Told once, in its own box, and the window is left disconnected.
    QVERIFY(rig.sim.waitForPresence(false));
    QTRY_VERIFY_WITH_TIMEOUT(rig.dialogs.titles().contains(kLossTitle) && !QApplication::activeModalWidget(), 3000);
    QCOMPARE(rig.errorBoxes(), Between(kind) == Between::GoneWhileIdle ? QString() : boxesOf(failureOf(target)));
    QCOMPARE(rig.dialogs.titles().count(kLossTitle), 1);
    QCOMPARE(rig.dialogs.summary().section(QStringLiteral(" | "), -1), boxesOf({Error::DeviceLost}));
    QVERIFY(!rig.window.serial.isOpen());
    QVERIFY(!rig.window.portReady && !rig.window.productConnected);
    QCOMPARE(rig.startButton()->text(), QStringLiteral("Connection"));
    QVERIFY(rig.startButton()->isEnabled() && !rig.stopButton()->isEnabled());
    QVERIFY(!rig.button("readAlgoButton")->isEnabled());

    // The dead port must not keep the window busy.
    const double cpuBefore = threadCpuSeconds();
    QTest::qWait(1000);
    const double cpu = threadCpuSeconds() - cpuBefore;
    QVERIFY2(cpu < 0.1, qPrintable(QStringLiteral("%1 s of CPU in 1 s").arg(cpu)));
    betweenOutcomes() << QStringLiteral("%1: %2 + %3, window CPU %4 s in the next 1 s")
                             .arg(QString::fromLatin1(QTest::currentDataTag()), rig.outcome(), kLossTitle)
                             .arg(cpu, 0, 'f', 3);
    QCOMPARE(rig.dialogs.titles().count(kLossTitle), 1);
    nextClickDoesWhatTheButtonsSay(rig);
}

QTEST_MAIN(FaultMatrixTest)
#include "tst_faultmatrix.moc"
