#include "faultrig.h"

#include <atomic>
#include <chrono>
#include <thread>

// The cable pulled while the window talks to the device: one clear report,
// no hang, and a working connection again once the cable is back.

namespace {

// How the cable goes in one case.
enum class Pull {
    HalfAnswered, // the device sends half its answer, then its port vanishes
    MidAnswer,    // pulled by hand while a slow answer is still coming in
    WhileSilent,  // pulled by hand while the device is still busy with the line
};

// Pulls the cable from another thread a moment after the device received a
// line, while the window is blocked waiting for the answer.
class CablePuller
{
public:
    CablePuller(SimDevice &device, const QByteArray &prefix, int delayMs) :
        m_thread([this, &device, prefix, delayMs] {
            QElapsedTimer clock;
            clock.start();
            while (!m_stop && clock.elapsed() < 20000) {
                const QList<QByteArray> lines = device.receivedLines();
                for (const QByteArray &line : lines) {
                    if (line.startsWith(prefix)) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                        device.goAway();
                        m_pulled = true;
                        return;
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        })
    {}
    ~CablePuller()
    {
        m_stop = true;
        m_thread.join();
    }
    CablePuller(const CablePuller &) = delete;
    CablePuller &operator=(const CablePuller &) = delete;

    bool pulled() const { return m_pulled; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_pulled{false};
    std::thread m_thread;
};

SimDevice::Options slowChunks()
{
    SimDevice::Options options = FaultRig::deviceOptions();
    // A slow answer, well inside the quiet time, so the pull lands in it.
    options.chunkPauseMs = 70;
    return options;
}

} // namespace

class DeviceGoneTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void cablePulledDuringTheHandshake_data();
    void cablePulledDuringTheHandshake();
    void cablePulledDuringARead_data();
    void cablePulledDuringARead();
    void cablePulledDuringAnUpload_data();
    void cablePulledDuringAnUpload();
    void cablePulledBetweenTwoClicksIsReportedByTheNextOne();

private:
    void addCases(const QList<QPair<QByteArray, Pull>> &cases);
    // Runs one click with the cable going as the row says; tells how long
    // the window was held.
    qint64 clickWhileTheCableGoes(QPushButton *button, const QByteArray &prefix, Pull pull);
    void expectOneReport(const QString &title);
    void expectWindowConnectsOnceTheCableIsBack();

    std::unique_ptr<FaultTimes> m_times;
    std::unique_ptr<FaultRig> m_rig;
};

void DeviceGoneTest::initTestCase()
{
    if (hostListsADevice())
        QSKIP("this host lists a port of the device's USB bridge");
}

void DeviceGoneTest::init()
{
    // The quiet time is long enough for a pull by hand to land inside a read.
    m_times.reset(new FaultTimes(100, 150, 1000));
    m_rig.reset(new FaultRig(slowChunks()));
    QVERIFY(m_rig->isReady());
}

void DeviceGoneTest::cleanup()
{
    m_rig.reset();
    m_times.reset();
}

void DeviceGoneTest::addCases(const QList<QPair<QByteArray, Pull>> &cases)
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<int>("pull");
    static const char *const names[] = {"half answered, then gone", "pulled mid-answer", "pulled while it works"};
    for (const auto &c : cases)
        QTest::addRow("%s %s", c.first.constData(), names[int(c.second)]) << c.first << int(c.second);
}

qint64 DeviceGoneTest::clickWhileTheCableGoes(QPushButton *button, const QByteArray &prefix, Pull pull)
{
    SimDevice &device = m_rig->device();
    device.clearReceived();
    m_rig->dialogs.clear();
    switch (pull) {
    case Pull::HalfAnswered: {
        device.setFault(prefix, SimFault::GoesAway);
        return m_rig->timedClick(button);
    }
    case Pull::MidAnswer:
    case Pull::WhileSilent: {
        device.setFault(prefix, pull == Pull::MidAnswer ? SimFault::AnswersInChunks : SimFault::NeverAnswers);
        CablePuller puller(device, prefix, 20);
        const qint64 held = m_rig->timedClick(button);
        if (!puller.pulled())
            qWarning("the cable was not pulled during the click");
        return held;
    }
    }
    return 0;
}

void DeviceGoneTest::expectOneReport(const QString &title)
{
    QCOMPARE(m_rig->dialogs.titles(), QStringList{title});
    QCOMPARE(m_rig->dialogs.seen().first().kind, QStringLiteral("critical"));
    // A device that goes after its half answer may still be on its way out.
    QVERIFY(m_rig->sim.waitForPresence(false));
}

void DeviceGoneTest::expectWindowConnectsOnceTheCableIsBack()
{
    QPushButton *start = m_rig->startButton();
    QPushButton *stop = m_rig->stopButton();
    // Whatever the stop button offers ("Stop" after a stalled handshake,
    // "Disconnect" when the window still believes in the link) takes the
    // dead link down.
    if (stop->isEnabled())
        stop->click();
    QVERIFY(!m_rig->window.serial.isOpen());
    QVERIFY(start->isEnabled());

    m_rig->device().clearFaults();
    m_rig->device().comeBack();
    QVERIFY(m_rig->sim.waitForPresence(true));
    m_rig->dialogs.clear();
    start->click();
    QCOMPARE(m_rig->dialogs.summary(),
             QStringLiteral("information Information: Successfully connected to the pelko !"));
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QCOMPARE(stop->text(), QStringLiteral("Disconnect"));
}

void DeviceGoneTest::cablePulledDuringTheHandshake_data()
{
    addCases({{"VERSION", Pull::MidAnswer}, {"LORA GET", Pull::HalfAnswered}, {"DEBUG 1", Pull::WhileSilent}});
}

void DeviceGoneTest::cablePulledDuringTheHandshake()
{
    QFETCH(QByteArray, prefix);
    QFETCH(int, pull);
    const qint64 held = clickWhileTheCableGoes(m_rig->startButton(), prefix, Pull(pull));

    expectOneReport(QStringLiteral("Error 4"));
    QCOMPARE(m_rig->statusBox()->toPlainText(), QStringLiteral("ERROR 4: please try again"));
    QVERIFY(!m_rig->window.productConnected);
    QCOMPARE(m_rig->stopButton()->text(), QStringLiteral("Stop"));
    const qint64 bound = m_times->clickBoundMs(5, 1, 0);
    QVERIFY2(held <= bound, qPrintable(QStringLiteral("held %1 ms, bound %2 ms").arg(held).arg(bound)));
    expectWindowConnectsOnceTheCableIsBack();
}

void DeviceGoneTest::cablePulledDuringARead_data()
{
    addCases({{"DUMP RAM PARAM", Pull::MidAnswer}, {"DEBUG 1", Pull::HalfAnswered}, {"DEBUG 0", Pull::WhileSilent}});
}

void DeviceGoneTest::cablePulledDuringARead()
{
    QFETCH(QByteArray, prefix);
    QFETCH(int, pull);
    QVERIFY(m_rig->connect());
    QPushButton *read = m_rig->button("readAlgoButton");
    const qint64 held = clickWhileTheCableGoes(read, prefix, Pull(pull));

    expectOneReport(QStringLiteral("Error 12"));
    QCOMPARE(m_rig->statusBox()->toPlainText(), QStringLiteral("ERROR 12: Read Pelko config failed"));
    const qint64 bound = m_times->clickBoundMs(3, 1, 0);
    QVERIFY2(held <= bound, qPrintable(QStringLiteral("held %1 ms, bound %2 ms").arg(held).arg(bound)));

    // Asking again with the cable still out: the same single report, as quickly.
    m_rig->dialogs.clear();
    const qint64 again = m_rig->timedClick(read);
    QCOMPARE(m_rig->dialogs.titles(), QStringList{"Error 12"});
    QVERIFY2(again <= bound, qPrintable(QStringLiteral("held %1 ms, bound %2 ms").arg(again).arg(bound)));

    expectWindowConnectsOnceTheCableIsBack();
}

void DeviceGoneTest::cablePulledDuringAnUpload_data()
{
    addCases({{"ALIVE period", Pull::HalfAnswered},
              {"SAVEPARAM ALGO", Pull::WhileSilent},
              {"LORA SET OTAA", Pull::HalfAnswered}});
}

void DeviceGoneTest::cablePulledDuringAnUpload()
{
    QFETCH(QByteArray, prefix);
    QFETCH(int, pull);
    QVERIFY(m_rig->connect());
    const auto storedBefore = m_rig->device().savedParameters();
    DebugLog log;
    const qint64 held = clickWhileTheCableGoes(m_rig->startButton(), prefix, Pull(pull));

    expectOneReport(QStringLiteral("Error 5"));
    QCOMPARE(m_rig->dialogs.seen().first().text, QStringLiteral("The configuration failed. Please try again."));
    // Nothing half-written was stored, nor was a save even tried after the loss.
    QCOMPARE(m_rig->device().savedParameters(), storedBefore);
    const QByteArrayList sent = linesSent(log);
    int lost = 0;
    while (lost < sent.size() && !sent.at(lost).startsWith(prefix))
        ++lost;
    QVERIFY(lost < sent.size());
    for (int i = lost + 1; i < sent.size(); ++i)
        QVERIFY2(!sent.at(i).startsWith("SAVEPARAM"), sent.at(i).constData());
    const int exchanges = 25; // more than the whole upload of the form as it starts
    const qint64 bound = m_times->clickBoundMs(exchanges, 1, 0);
    QVERIFY2(held <= bound, qPrintable(QStringLiteral("held %1 ms, bound %2 ms").arg(held).arg(bound)));

    // The failed upload took the link down; the start button, still reading
    // "Start", opens it again.
    QVERIFY(!m_rig->window.serial.isOpen());
    QCOMPARE(m_rig->startButton()->text(), QStringLiteral("Start"));
    QVERIFY(!m_rig->stopButton()->isEnabled());
    expectWindowConnectsOnceTheCableIsBack();
}

void DeviceGoneTest::cablePulledBetweenTwoClicksIsReportedByTheNextOne()
{
    QVERIFY(m_rig->connect());
    m_rig->device().goAway();
    QVERIFY(m_rig->sim.waitForPresence(false));

    const qint64 held = m_rig->timedClick(m_rig->button("pbGetBatteryStatus"));
    QCOMPARE(m_rig->dialogs.summary(), QStringLiteral("warning Error 13: Could not get battery status !"));
    QCOMPARE(m_rig->statusBox()->toPlainText(), QStringLiteral("ERROR 13: Could not get battery status."));
    const qint64 bound = m_times->clickBoundMs(3, 1, 0);
    QVERIFY2(held <= bound, qPrintable(QStringLiteral("held %1 ms, bound %2 ms").arg(held).arg(bound)));
    expectWindowConnectsOnceTheCableIsBack();
}

QTEST_MAIN(DeviceGoneTest)
#include "tst_devicegone.moc"
