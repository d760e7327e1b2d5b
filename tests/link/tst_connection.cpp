#include "linktesting.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextEdit>

#include <chrono>
#include <thread>

namespace {
const char *const kLoRaFields[] = {"leDevEUI",  "leAppEUI",  "leAppKEY", "leNwkSKEY",
                                   "leAppSKEY", "leDevADDR", "leNwkID"};
const char *const kLoRaRadios[] = {
    "rbMessageConfirmed", "rbMessageUnconfirmed", "rbABP",          "rbOTAA", "rbADR_OFF",
    "rbADR_ON",           "rbPrivateNetwork",     "rbPublicNetwork"};

// What the user sees of the link on the window.
struct View
{
    explicit View(MainWindow &w) :
        start(w.findChild<QPushButton *>("startButton")),
        stop(w.findChild<QPushButton *>("stopButton")),
        read(w.findChild<QPushButton *>("readAlgoButton")),
        debug(w.findChild<QPushButton *>("pbEnableDebug")),
        status(w.findChild<QTextEdit *>("leVersion")),
        console(w.findChild<QTextEdit *>("consoleOutput")),
        progress(w.findChild<QProgressBar *>("progressBar"))
    {}
    QPushButton *start, *stop, *read, *debug;
    QTextEdit *status, *console;
    QProgressBar *progress;
};
} // namespace

class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void successfulConnectionIdentifiesTheDevice();
    void disconnectSendsOneGoodbyeAndReconnectingStartsAFreshConsole();
    void portThatCannotBeUsedReportsItsError_data();
    void portThatCannotBeUsedReportsItsError();
    void firstOfTwoDevicePortsIsUsedAndTheSecondNotEvenLogged();
    void versionAnswerHoldingNokIsAccepted();
    void clicksMadeWhileTheWindowWaitsAreDropped();
    void stopInAFreshWindowSendsNothing();
    void uploadOutcomeDecidesWhatTheButtonsOffer();

private:
    void connect(MainWindow &window);

    std::unique_ptr<ShortLinkTimes> m_times;
    std::unique_ptr<SimHarness> m_sim;
    std::unique_ptr<DialogWatcher> m_dialogs;
};

void ConnectionTest::init()
{
    if (hostListsADevice())
        QSKIP("this host lists a port of the device's USB bridge");
    m_times.reset(new ShortLinkTimes(100, 400));
    m_sim.reset(new SimHarness);
    QVERIFY(m_sim->isReady());
    m_dialogs.reset(new DialogWatcher);
}

void ConnectionTest::cleanup()
{
    m_dialogs.reset();
    m_sim.reset();
    m_times.reset();
}

void ConnectionTest::connect(MainWindow &window)
{
    View(window).start->click();
}

void ConnectionTest::successfulConnectionIdentifiesTheDevice()
{
    MainWindow window;
    View view(window);
    view.debug->setText(QStringLiteral("Disable debug"));
    DebugLog log;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    connect(window);

    QCOMPARE(m_sim->device().receivedLines(),
             (QList<QByteArray>{"READY\r\n", "DEBUG 1\r\n", "VERSION\r\n", "LORA GET  0\r\n", "DEBUG 0\r\n"}));
    QCOMPARE(m_dialogs->summary(), QStringLiteral("information Information: Successfully connected to the pelko !"));
    QCOMPARE(view.start->text(), QStringLiteral("Start"));
    QCOMPARE(view.stop->text(), QStringLiteral("Disconnect"));
    QVERIFY(view.start->isEnabled());
    QVERIFY(view.stop->isEnabled());
    QVERIFY(view.read->isEnabled());
    QCOMPARE(view.debug->text(), QStringLiteral("Enable debug"));
    QCOMPARE(view.status->toPlainText(), QStringLiteral("Firmware : v2.2\nOK\n>"));
    QCOMPARE(view.status->styleSheet(), QString(StatusStyle::ok));
    QVERIFY(window.portReady);
    QVERIFY(window.productConnected);
    QCOMPARE(window.firmwareVersion, 2.2f);
    QVERIFY(window.serial.isOpen());
    QVERIFY(!window.findChild<QLineEdit *>("leDevEUI")->text().isEmpty());
    QVERIFY(log.contains(QStringLiteral("Pelko detected ! (ttyPELKO0:Silicon Labs)")));

    // The console starts with the dated banner, then every answer.
    const QString console = view.console->toPlainText();
    const QRegularExpression banner(QStringLiteral("^-{22}> (.+) <-{22}\n"));
    const QRegularExpressionMatch match = banner.match(console);
    QVERIFY2(match.hasMatch(), qPrintable(console));
    QDateTime stamp = QDateTime::fromString(match.captured(1), Qt::TextDate);
    stamp.setTimeSpec(Qt::UTC);
    QVERIFY2(stamp >= before && stamp <= QDateTime::currentDateTimeUtc(), qPrintable(match.captured(1)));
    QVERIFY(console.contains(QLatin1String("Firmware : v2.2")));
    QVERIFY(console.contains(QLatin1String("AppKey : XXXXXXXXXXXXXXXXXXXXXXXXXX")));
}

void ConnectionTest::disconnectSendsOneGoodbyeAndReconnectingStartsAFreshConsole()
{
    MainWindow window;
    View view(window);
    connect(window);
    QVERIFY(window.productConnected);
    m_sim->device().clearReceived();
    DebugLog log;

    view.stop->click();

    QCOMPARE(m_sim->device().receivedLines(), QList<QByteArray>{"DISCONNECTE\r\n"});
    QVERIFY(!window.serial.isOpen());
    QVERIFY(!window.portReady);
    QVERIFY(!window.productConnected);
    QCOMPARE(view.start->text(), QStringLiteral("Connection"));
    QVERIFY(view.start->isEnabled());
    QVERIFY(!view.stop->isEnabled());
    QVERIFY(!view.read->isEnabled());
    QVERIFY(view.status->toPlainText().isEmpty());
    QVERIFY(!view.status->isEnabled());
    QCOMPARE(view.status->styleSheet(), QString(StatusStyle::cleared));
    for (const char *name : kLoRaFields)
        QVERIFY2(window.findChild<QLineEdit *>(name)->text().isEmpty(), name);
    for (const char *name : kLoRaRadios)
        QVERIFY2(!window.findChild<QRadioButton *>(name)->isChecked(), name);
    QCOMPARE(log.count(QStringLiteral("PELKO DISCONNECTED!")), 1);
    QCOMPARE(m_dialogs->seen().size(), 1); // only the connection's

    m_dialogs->clear();
    m_sim->device().clearReceived();
    connect(window);
    QCOMPARE(m_dialogs->titles(), QStringList{"Information"});
    QCOMPARE(m_sim->device().receivedLines().first(), QByteArray("READY\r\n"));
    QCOMPARE(view.status->styleSheet(), QString(StatusStyle::ok));
    QCOMPARE(view.console->toPlainText().count(QLatin1String("---------------------->")), 1);
    QVERIFY(!view.console->toPlainText().contains(QLatin1String("DISCONNECTE")));
}

// No port of the device's maker (Error 1: Stop must bring the window back to
// idle), or one that will not open (Error 2: the window is idle at once).
void ConnectionTest::portThatCannotBeUsedReportsItsError_data()
{
    QTest::addColumn<QString>("manufacturer"); // of the only port; null: no port
    QTest::addColumn<bool>("opens");
    QTest::addColumn<Error>("error");
    QTest::newRow("no port at all") << QString() << true << Error::PortNotFound;
    QTest::newRow("lower-case manufacturer") << QStringLiteral("silicon labs") << true << Error::PortNotFound;
    QTest::newRow("another maker") << QStringLiteral("FTDI") << true << Error::PortNotFound;
    QTest::newRow("port that will not open") << QStringLiteral("Silicon Labs") << false << Error::PortNotOpened;
}

void ConnectionTest::portThatCannotBeUsedReportsItsError()
{
    QFETCH(QString, manufacturer);
    QFETCH(bool, opens);
    QFETCH(Error, error);
    m_sim.reset();
    SimDevice::Options options;
    if (!manufacturer.isNull())
        options.manufacturer = manufacturer;
    m_sim.reset(new SimHarness(options, !manufacturer.isNull() && opens));
    if (!opens)
        m_sim->addPort(QStringLiteral("ttyGONE"), manufacturer, QStringLiteral("/nonexistent/ttyGONE"));
    DebugLog log;
    MainWindow window;
    View view(window);
    connect(window);

    QCOMPARE(m_dialogs->summary(), boxesOf({error}));
    QCOMPARE(FormProbe(window).statusShown(), statusOf(error));
    QVERIFY(!window.portReady && !window.serial.isOpen());
    QVERIFY(m_sim->device().receivedLines().isEmpty());
    if (error == Error::PortNotOpened) {
        QVERIFY(log.contains(QStringLiteral("Serial init error : ")));
        QVERIFY(!log.contains(QStringLiteral("Serial init error : No error")));
    } else {
        QVERIFY(!view.start->isEnabled());
        QVERIFY(view.stop->isEnabled());
        QCOMPARE(view.stop->text(), QStringLiteral("Stop"));
        view.stop->click();
    }
    QVERIFY(view.start->isEnabled());
    QVERIFY(!view.stop->isEnabled());
}

void ConnectionTest::firstOfTwoDevicePortsIsUsedAndTheSecondNotEvenLogged()
{
    m_sim->addPort(QStringLiteral("ttySECOND"), QStringLiteral("Silicon Labs"),
                   QStringLiteral("/nonexistent/ttySECOND"));
    m_sim->addPort(QStringLiteral("ttyOTHER"), QStringLiteral("Prolific"), QStringLiteral("/nonexistent/ttyOTHER"),
                   true);
    DebugLog log;
    MainWindow window;
    connect(window);
    QVERIFY2(window.productConnected, qPrintable(m_dialogs->summary()));
    QVERIFY(log.contains(QStringLiteral("Port name : ttyOTHER")));
    QVERIFY(log.contains(QStringLiteral("Port manufacturer: Prolific")));
    QVERIFY(!log.contains(QStringLiteral("ttySECOND")));
}

void ConnectionTest::versionAnswerHoldingNokIsAccepted()
{
    m_sim->device().setRawAnswer("VERSION", "\x1b[32mFirmware : v2.1.1\x1b[0m\r\nNOK\r\n>");
    MainWindow window;
    View view(window);
    connect(window);
    QCOMPARE(m_dialogs->titles(), QStringList{"Information"});
    QCOMPARE(m_sim->device().receivedLines().size(), 5);
    QCOMPARE(window.firmwareVersion, 2.11f);
    QCOMPARE(view.status->toPlainText(), QStringLiteral("Firmware : v2.1.1\nNOK\n>"));
    QVERIFY(!view.console->toPlainText().contains(QLatin1String("failed")));
}

void ConnectionTest::clicksMadeWhileTheWindowWaitsAreDropped()
{
    MainWindow window;
    View view(window);
    connect(window);
    QVERIFY(window.productConnected);
    m_dialogs->clear();
    QStringList cursors; // the cursor each time the console shows something new
    QObject::connect(view.console, &QTextEdit::textChanged, [&cursors] {
        const QCursor *cursor = QApplication::overrideCursor();
        cursors << (cursor && cursor->shape() == Qt::WaitCursor ? QStringLiteral("wait") : QStringLiteral("normal"));
    });
    // A user who clicks "Start" and presses Space on it while a slow Read runs.
    const auto clickStart = [&view] {
        const QPoint at = view.start->rect().center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(view.start, new QMouseEvent(type, at, Qt::LeftButton, Qt::LeftButton, {}));
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(view.start, new QKeyEvent(type, Qt::Key_Space, Qt::NoModifier, " "));
    };
    m_sim->device().setFault("DUMP RAM PARAM", SimFault::AnswersInChunks);
    m_sim->device().clearReceived();
    std::thread user([&clickStart] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        clickStart();
    });
    view.read->click();
    user.join();
    QCoreApplication::processEvents();

    QVERIFY(m_dialogs->seen().isEmpty());
    QCOMPARE(m_sim->device().receivedLines(),
             (QList<QByteArray>{"DEBUG 1\r\n", "DUMP RAM PARAM  0\r\n", "DEBUG 0\r\n"}));
    QVERIFY(!cursors.isEmpty());
    QCOMPARE(cursors.count(QStringLiteral("wait")), cursors.size());
    QVERIFY(!QApplication::overrideCursor());

    // The same click made once the window is free again does start the upload.
    clickStart();
    QTRY_VERIFY(m_dialogs->sawTitle(QStringLiteral("Success")));
}

void ConnectionTest::stopInAFreshWindowSendsNothing()
{
    MainWindow window;
    View view(window);
    view.stop->click();
    QVERIFY(view.start->isEnabled());
    QVERIFY(!view.stop->isEnabled());
    QCOMPARE(view.start->text(), QStringLiteral("Connection"));
    QVERIFY(m_sim->device().receivedLines().isEmpty());
    QVERIFY(m_dialogs->seen().isEmpty());
}

void ConnectionTest::uploadOutcomeDecidesWhatTheButtonsOffer()
{
    MainWindow window;
    View view(window);
    connect(window);
    QVERIFY(window.productConnected);

    m_dialogs->clear();
    view.start->click();
    QVERIFY2(m_dialogs->summary().endsWith(
                 QLatin1String("information Success: The product has been successfully configured.")),
             qPrintable(m_dialogs->summary()));
    QCOMPARE(view.progress->value(), 100);
    QCOMPARE(view.stop->text(), QStringLiteral("Disconnect"));
    QVERIFY(view.stop->isEnabled());
    QVERIFY(!view.start->isEnabled());
    QVERIFY(window.productConnected);
}

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
