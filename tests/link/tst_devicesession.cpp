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
    explicit Rig(const QString &release = QStringLiteral("2.2"), const QString &name = QStringLiteral("ttyPELKO0"))
    {
        SimDevice::Options options;
        options.release = release;
        options.portName = name;
        options.portsFile = dir.filePath(QStringLiteral("ports"));
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

} // namespace

class DeviceSessionTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        LinkLimits::quietMs = LinkLimits::fastReadTimeoutMs = 10;
        LinkLimits::saveReadTimeoutMs = 30;
        LinkLimits::disconnectWaitMs = 5;
    }
    void theLinkMovesAsItsStateTableSays();
    void aStopAtEveryLineSendsNothingButTheLineInFlight();
    void twoSessionsSideBySideKeepTheirOwnDeviceQuietTimeAndStop();
};

void DeviceSessionTest::theLinkMovesAsItsStateTableSays()
{
    // (state before, event) -> state after; every row starts from a fresh
    // session brought to its state by the events of the rows above it.
    enum class Event { Connect, ConnectSilent, ConnectNothingListed, Operate, Stop, Configure, Goodbye, Unplug, Close };
    const struct
    {
        State from;
        Event event;
        State to;
    } rows[] = {
        {State::Idle, Event::Connect, State::Connected},
        {State::Idle, Event::ConnectSilent, State::Stalled}, // READY unanswered: the port stays open
        {State::Stalled, Event::Close, State::Idle},
        {State::Idle, Event::ConnectNothingListed, State::NotFound},
        {State::NotFound, Event::Close, State::Idle},
        {State::Connected, Event::Operate, State::Busy},
        {State::Busy, Event::Stop, State::Stopping},
        {State::Connected, Event::Configure, State::Configured},
        {State::Configured, Event::Goodbye, State::Idle},
        {State::Connected, Event::Unplug, State::Idle},
    };
    for (const auto &row : rows) {
        const QString what = QStringLiteral("from %1, event %2").arg(int(row.from)).arg(int(row.event));
        Rig rig;
        QVERIFY(rig.started);
        DeviceSession link;
        QSignalSpy changes(&link, &DeviceSession::stateChanged);
        const auto connect = [&link] {
            return operation(link, [&link] { return link.connectDevice() == DeviceSession::Handshake::Done; });
        };
        if (row.from == State::NotFound) {
            link.setOnlyPort(QStringLiteral("ttyNOTHERE"));
            connect();
        }
        if (row.from == State::Stalled) {
            rig.device->setFault("READY", SimFault::NeverAnswers);
            connect();
        }
        if (row.from != State::Idle && row.from != State::NotFound && row.from != State::Stalled)
            QVERIFY2(connect(), qPrintable(what));
        if (row.from == State::Configured)
            link.setConnected(true, true);
        if (row.from == State::Busy)
            link.beginOperation();
        QCOMPARE(link.state(), row.from);
        switch (row.event) {
        case Event::Connect:
            connect();
            break;
        case Event::ConnectSilent:
            rig.device->setFault("READY", SimFault::NeverAnswers);
            connect();
            break;
        case Event::ConnectNothingListed:
            link.setOnlyPort(QStringLiteral("ttyNOTHERE"));
            connect();
            break;
        case Event::Operate:
            link.beginOperation();
            break;
        case Event::Stop:
            link.requestStop();
            link.haltAsked();
            break;
        case Event::Configure:
            link.setConnected(true, true);
            break;
        case Event::Goodbye:
            operation(link, [&link] { return link.sayGoodbye(), true; });
            break;
        case Event::Unplug:
            rig.device->goAway();
            link.sendOneCommand("VERSION", QByteArray(), 0, QString());
            QTRY_VERIFY2(!link.isOpen(), qPrintable(what));
            break;
        case Event::Close:
            link.close();
            break;
        }
        QVERIFY2(link.state() == row.to, qPrintable(what + QStringLiteral(": %1").arg(int(link.state()))));
        QVERIFY2(!changes.isEmpty() && changes.last().at(0).value<State>() == row.to, qPrintable(what));
    }
}

void DeviceSessionTest::aStopAtEveryLineSendsNothingButTheLineInFlight()
{
    for (int atLine = 0; atLine <= kConnectionAndRead.size(); ++atLine) {
        Rig rig;
        QVERIFY(rig.started);
        DeviceSession link;
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
        QVERIFY2(sent == kConnectionAndRead.mid(0, sent.size()), qPrintable(what));
        QVERIFY2(sent.size() <= atLine + 1, qPrintable(what));
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
    LinkLimits::fastReadTimeoutMs = 5;
    Rig newer(QStringLiteral("2.2"), QStringLiteral("ttyPELKO0"));
    SimDevice::Options options;
    options.release = QStringLiteral("1.9.2");
    options.portName = QStringLiteral("ttyPELKO1");
    options.portsFile = newer.dir.filePath(QStringLiteral("ports"));
    options.lineIdleMs = 2;
    SimDevice older(options);
    QVERIFY(newer.started && older.start());
    older.setSavedParameter("CHOC gxSup", "4000");

    DeviceSession a;
    DeviceSession b;
    a.setOnlyPort(QStringLiteral("ttyPELKO0"));
    b.setOnlyPort(QStringLiteral("ttyPELKO1"));
    QVERIFY(operation(a, [&a] { return a.connectDevice() == DeviceSession::Handshake::Done; }));
    QVERIFY(operation(b, [&b] { return b.connectDevice() == DeviceSession::Handshake::Done; }));
    // Each device's release sets its own session's quiet time.
    QCOMPARE(a.quietMs(), 5);
    QCOMPARE(b.quietMs(), 10);
    QVERIFY(qAbs(a.release() - 2.2f) < 0.001f && qAbs(b.release() - 1.92f) < 0.001f);

    // A stop asked of one session's operation leaves the other's going.
    a.beginOperation();
    b.beginOperation();
    a.requestStop();
    QVERIFY(!a.readDump());
    QVERIFY(b.readDump());
    a.endOperation();
    b.endOperation();
    QVERIFY(a.dump().isEmpty());
    QVERIFY(b.dump().contains("gxSup : 4000"));
    QVERIFY(!newer.device->receivedLines().contains("DUMP RAM PARAM  0\r\n"));
    QVERIFY(!a.loraAnswer().isEmpty() && !b.loraAnswer().isEmpty());
}

QTEST_GUILESS_MAIN(DeviceSessionTest)
#include "tst_devicesession.moc"
