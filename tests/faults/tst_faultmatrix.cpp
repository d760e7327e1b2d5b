#include "faultrig.h"

#include <QMap>

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

// What the user is told when the operation fails.
QString failureOf(const Target &target)
{
    switch (target.operation) {
    case Operation::Connect:
        // Only an unanswered READY has a box of its own before the link's.
        return qstrcmp(target.prefix, "READY") == 0 ? QStringLiteral("Error 3+Error 4") : QStringLiteral("Error 4");
    case Operation::Read:
        return QStringLiteral("Error 12");
    case Operation::Upload:
        return QStringLiteral("Error 5");
    case Operation::Debug:
    case Operation::LedDebug:
        return QStringLiteral("Error 9");
    case Operation::Battery:
        return QStringLiteral("Error 13");
    case Operation::FactoryReset:
        return QStringLiteral("Error 8");
    case Operation::Restart:
        return QStringLiteral("Error 10");
    case Operation::PowerOff:
        return QStringLiteral("Error 11");
    }
    return QString();
}

// The cells where a fault still ends well (or elsewhere), and why.
QString expectedOutcome(const Target &target, SimFault fault)
{
    const QByteArray prefix(target.prefix);
    // A slow answer is still a whole answer.
    if (fault == SimFault::AnswersInChunks)
        return QStringLiteral("ok");
    // The firmware's release answer is taken even when it holds "NOK".
    if (prefix == "VERSION" && fault == SimFault::Refuses)
        return QStringLiteral("ok");
    // A device that vanishes half-way through a bare "OK\r\n>" has still
    // said "OK" (an answer too short for a trailer is judged whole), so that
    // exchange passes and only a later one can fail: after READY the rest of
    // the handshake does; the last exchange of an operation has none after it.
    if (fault == SimFault::GoesAway) {
        if (prefix == "READY")
            return QStringLiteral("Error 4");
        if (prefix == "DEBUG 0" || prefix == "SAVEPARAM LORA" || target.operation == Operation::Debug ||
            target.operation == Operation::LedDebug || prefix == "RESETPARAM ALGO")
            return QStringLiteral("ok");
    }
    // A restart or power-off the device carried out without confirming it
    // takes its port off the bus: that counts as done.
    if ((prefix == "reset" || prefix == "poweroff") && fault == SimFault::AnswersWithoutOk)
        return QStringLiteral("ok");
    if (prefix == "poweroff" && fault == SimFault::GoesAway)
        return QStringLiteral("ok");
    // A device that vanishes at "reset" looks like a rebooting one; it is
    // not back when the window reconnects, so the port cannot be found.
    if (prefix == "reset" && fault == SimFault::GoesAway)
        return QStringLiteral("Error 1");
    return failureOf(target);
}

// Boxes of a successful operation.
QStringList successTitles(Operation operation)
{
    switch (operation) {
    case Operation::Read:
        return {};
    case Operation::Upload:
        return {QStringLiteral("Success")};
    case Operation::Restart:
        return {QStringLiteral("Information"), QStringLiteral("Information")};
    default:
        return {QStringLiteral("Information")};
    }
}

const char *buttonOf(Operation operation)
{
    switch (operation) {
    case Operation::Connect:
    case Operation::Upload:
        return "startButton";
    case Operation::Read:
        return "readAlgoButton";
    case Operation::Debug:
        return "pbEnableDebug";
    case Operation::LedDebug:
        return "pbEnableDebugLed";
    case Operation::Battery:
        return "pbGetBatteryStatus";
    case Operation::FactoryReset:
        return "pbResetParam";
    case Operation::Restart:
        return "pbRestartProduct";
    case Operation::PowerOff:
        return "pbTurnOffProduct";
    }
    return "";
}

// Pauses a click makes on purpose, on top of its exchanges.
int fixedWaitsOf(Operation operation)
{
    switch (operation) {
    case Operation::FactoryReset:
        return FaultTimes::kToolsWaitMs + 20;
    case Operation::Restart:
        return FaultTimes::kToolsWaitMs + FaultTimes::kRebootFloorMs + 20;
    default:
        return 20;
    }
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
    if (matrix().isEmpty())
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
    const QString expected = expectedOutcome(target, fault);

    FaultTimes times;
    FaultRig rig;
    QVERIFY(rig.isReady());
    if (target.operation != Operation::Connect)
        QVERIFY2(rig.connect(), qPrintable(rig.dialogs.summary()));
    rig.device().clearReceived();
    rig.dialogs.clear();

    rig.device().setFault(target.prefix, fault);
    DebugLog log;
    const qint64 heldMs = rig.timedClick(rig.button(buttonOf(target.operation)));
    const QByteArrayList sent = linesSent(log);

    const QString outcome = rig.outcome();
    // A configuration announced as done must be stored in the device.
    const bool unsaved = target.operation == Operation::Upload && outcome == QLatin1String("ok") &&
                         !rig.device().pendingParameters().isEmpty();
    matrix()[QString::fromLatin1(target.name)][QString::fromLatin1(kFaults[faultIndex].name)] =
        unsaved ? outcome + QStringLiteral(" UNSAVED") : outcome;
    QCOMPARE(outcome, expected);
    if (expected == QLatin1String("ok"))
        QCOMPARE(rig.dialogs.titles(), successTitles(target.operation));
    if (target.operation == Operation::Upload && expected == QLatin1String("ok")) {
        QVERIFY2(!unsaved, qPrintable(QStringLiteral("reported as configured, yet not stored: ") +
                                      QString::fromLatin1(rig.device().pendingParameters().keys().join(", "))));
    }

    // The red status box names the code of the last error box (an upload's
    // failure takes the link down, which clears the box).
    if (expected != QLatin1String("ok") && target.operation != Operation::Upload) {
        const QString code = expected.section(QLatin1Char('+'), -1).section(QLatin1Char(' '), 1);
        QVERIFY2(rig.statusBox()->toPlainText().startsWith(QStringLiteral("ERROR ") + code + QLatin1Char(':')),
                 qPrintable(rig.statusBox()->toPlainText()));
    }

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

    // Never held longer than its exchanges allow, a babbling device included.
    const int cappedReads = fault == SimFault::Babbles ? FaultRig::deviceOptions().babbleMs / times.readCapMs() + 2 : 1;
    const qint64 boundMs = times.clickBoundMs(sent.size(), cappedReads, fixedWaitsOf(target.operation));
    QVERIFY2(heldMs <= boundMs, qPrintable(QStringLiteral("held %1 ms, bound %2 ms").arg(heldMs).arg(boundMs)));
    if (fault == SimFault::Babbles)
        QVERIFY2(log.contains(QStringLiteral("Answer cut off")), "a babbling answer must be cut by the read cap");

    // A device that goes away does so once it has seen its half answer taken,
    // which on a busy machine may be just after the window gave up reading.
    // The user meets the unplugged device, not one that vanishes under the
    // next click.
    if (fault == SimFault::GoesAway)
        QVERIFY(rig.sim.waitForPresence(false));

    // Let a babbling device fall silent, as a user would wait for the window.
    // It then answers, late, the lines the window sent while it babbled (a
    // dump it refuses, with debug never switched on); those answers wait in
    // the port for whichever exchange comes next. The next click is about
    // what the buttons offer, so they are dropped.
    if (fault == SimFault::Babbles) {
        QTest::qWait(FaultRig::deviceOptions().babbleMs + 200);
        if (rig.window.serial.isOpen())
            rig.window.serial.clear(QSerialPort::Input);
    }
    nextClickDoesWhatTheButtonsSay(rig);
}

QTEST_MAIN(FaultMatrixTest)
#include "tst_faultmatrix.moc"
