#include "link/devicesession.h"
#include "link/timing.h"
#include "sim/simdevice.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The device session alone, without a window, against simulated devices
// listed in a ports file of the test's own.

namespace {

using State = DeviceSession::State;

const QByteArrayList kConnectionAndRead = {"READY\r\n",   "DEBUG 1\r\n", "VERSION\r\n",           "LORA GET  0\r\n",
                                           "DEBUG 0\r\n", "DEBUG 1\r\n", "DUMP RAM PARAM  0\r\n", "DEBUG 0\r\n"};

struct Rig
{
    // A device listed in `ports`, or in a ports file of its own.
    explicit Rig(const QString &release = QStringLiteral("2.2"), const QString &ports = QString(), int number = 0)
    {
        SimDevice::Options options;
        options.release = release;
        options.portName = QStringLiteral("ttyPELKO%1").arg(number);
        options.portsFile = ports.isEmpty() ? dir.filePath(QStringLiteral("ports")) : ports;
        options.lineIdleMs = 2;
        device = std::make_unique<SimDevice>(options);
        qputenv("PELKO_EXTRA_PORTS", QFile::encodeName(options.portsFile));
        started = device->start();
    }
    QTemporaryDir dir;
    std::unique_ptr<SimDevice> device;
    bool started = false;
};

// Runs `step` as one operation of the session.
template<typename Step>
auto operation(DeviceSession &link, Step step)
{
    link.beginOperation();
    const auto result = step();
    link.endOperation();
    return result;
}

// Short, yet long enough for a simulated device on a busy machine.
void shorten(DeviceSession &link)
{
    LinkLimits &limits = link.limits();
    limits.quietMs = limits.fastReadTimeoutMs = 40;
    limits.saveReadTimeoutMs = 80;
    limits.disconnectWaitMs = 5;
}

} // namespace

class DeviceSessionTest : public QObject
{
    Q_OBJECT

private slots:
    void theLinkMovesAsItsStateTableSays();
    void aStopAtEveryLineSendsNothingButTheLineInFlight();
    void twoSessionsSideBySideKeepTheirOwnDeviceQuietTimeAndStop();
};

void DeviceSessionTest::theLinkMovesAsItsStateTableSays()
{
    // (state, event) -> state: each row's events from a fresh session, its
    // last the one under test; the state after each event is checked.
    enum Event { Connect, ConnectSilent, ConnectNothingListed, Operate, Stop, Configure, Goodbye, Unplug, Close };
    const QVector<QVector<QPair<Event, State>>> rows = {
        {{Connect, State::Connected}, {Goodbye, State::Idle}},
        {{ConnectSilent, State::Stalled}, {Close, State::Idle}}, // READY unanswered: the port stays open
        {{ConnectNothingListed, State::NotFound}, {Close, State::Idle}},
        {{Connect, State::Connected}, {Operate, State::Busy}, {Stop, State::Stopping}},
        {{Connect, State::Connected}, {Configure, State::Configured}, {Goodbye, State::Idle}},
        {{Connect, State::Connected}, {Unplug, State::Idle}},
    };
    qRegisterMetaType<DeviceSession::State>(); // for the spy, under Qt 5 too
    for (const auto &row : rows) {
        Rig rig;
        QVERIFY(rig.started);
        DeviceSession link;
        shorten(link);
        QSignalSpy changes(&link, &DeviceSession::stateChanged);
        QString what;
        for (const auto &[event, to] : row) {
            what += QStringLiteral(" %1 -> %2").arg(int(event)).arg(int(to));
            rig.device->setFault("READY", event == ConnectSilent ? SimFault::NeverAnswers : SimFault::None);
            link.setOnlyPort(event == ConnectNothingListed ? QStringLiteral("ttyNOTHERE") : QString());
            if (event == Connect || event == ConnectSilent || event == ConnectNothingListed)
                operation(link, [&link] { return link.connectDevice(); });
            else if (event == Operate)
                link.beginOperation();
            else if (event == Stop)
                link.requestStop(), link.haltAsked();
            else if (event == Configure)
                link.setConnected(true, true);
            else if (event == Goodbye)
                operation(link, [&link] { return link.sayGoodbye(), true; });
            else if (event == Close)
                link.close();
            else if (event == Unplug) {
                rig.device->goAway();
                link.sendOneCommand("VERSION", QByteArray(), 0, QString());
                QTRY_VERIFY2(!link.isOpen(), qPrintable(what));
            }
            QVERIFY2(link.state() == to, qPrintable(what + QStringLiteral(": %1").arg(int(link.state()))));
            QVERIFY2(changes.last().at(0).value<State>() == to, qPrintable(what));
        }
    }
}

void DeviceSessionTest::aStopAtEveryLineSendsNothingButTheLineInFlight()
{
    for (int atLine = 0; atLine <= kConnectionAndRead.size(); ++atLine) {
        Rig rig;
        QVERIFY(rig.started);
        DeviceSession link;
        shorten(link);
        QTimer moment;
        connect(&moment, &QTimer::timeout, &link, [&] {
            if (rig.device->receivedLines().size() >= atLine) {
                moment.stop();
                link.requestStop();
            }
        });
        link.beginOperation();
        moment.start(1);
        const bool connected = link.connectDevice() == DeviceSession::Handshake::Done;
        const bool read = connected && link.readDump();
        const bool stopped = link.stopping();
        moment.stop();
        link.endOperation();
        const QByteArrayList sent = rig.device->receivedLines();
        const QString what = QStringLiteral("stop once %1 lines are sent: %2").arg(atLine).arg(QString(sent.join('|')));
        QVERIFY2(sent == kConnectionAndRead.mid(0, sent.size()) && sent.size() <= atLine + 1, qPrintable(what));
        QVERIFY2(stopped || (read && atLine == kConnectionAndRead.size()), qPrintable(what));
        // Over, the session is no longer stopping: the goodbye goes out.
        rig.device->clearReceived();
        operation(link, [&link] { return link.sayGoodbye(), true; });
        QVERIFY2(rig.device->receivedLines() == QByteArrayList{"DISCONNECTE\r\n"} || sent.isEmpty(), qPrintable(what));
        QCOMPARE(link.state(), State::Idle);
    }
}

void DeviceSessionTest::twoSessionsSideBySideKeepTheirOwnDeviceQuietTimeAndStop()
{
    Rig newer;
    Rig older(QStringLiteral("1.9.2"), newer.dir.filePath(QStringLiteral("ports")), 1);
    QVERIFY(newer.started && older.started);
    older.device->setSavedParameter("CHOC gxSup", "4000");

    DeviceSession a, b;
    shorten(a);
    shorten(b);
    a.limits().fastReadTimeoutMs = b.limits().fastReadTimeoutMs = 30;
    a.setOnlyPort(QStringLiteral("ttyPELKO0"));
    b.setOnlyPort(QStringLiteral("ttyPELKO1"));
    QVERIFY(operation(a, [&a] { return a.connectDevice() == DeviceSession::Handshake::Done; }));
    QVERIFY(operation(b, [&b] { return b.connectDevice() == DeviceSession::Handshake::Done; }));
    // Each device's release sets its own session's quiet time.
    QVERIFY(a.quietMs() == 30 && b.quietMs() == 40);
    QVERIFY(qAbs(a.release() - 2.2f) < 0.001f && qAbs(b.release() - 1.92f) < 0.001f);

    // A stop asked of one session's operation leaves the other's going.
    a.beginOperation();
    b.beginOperation();
    a.requestStop();
    QVERIFY(!a.readDump() && b.readDump());
    a.endOperation();
    b.endOperation();
    QVERIFY(a.dump().isEmpty() && b.dump().contains("gxSup : 4000"));
    QVERIFY(!a.loraAnswer().isEmpty() && !b.loraAnswer().isEmpty());
}

QTEST_GUILESS_MAIN(DeviceSessionTest)
#include "tst_devicesession.moc"
