#include "mainwindow.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "golden.h"
#include "link/timing.h"
#include "linktimes.h"
#include "simdevice.h"
#include "simharness.h"
#include "upload/catalogue.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

// A window whose port is open on a simulated device of the given release,
// as the connection would leave it.
struct Bench
{
    SimDevice device;
    MainWindow window;
    QList<int> progress;

    Bench(const QString &release, float version) : device(options(release))
    {
        if (!device.start())
            qFatal("the simulated device did not start");
        window.portReady = true;
        window.firmwareVersion = version;
        window.serial.setPortName(device.portPath());
        window.serial.setBaudRate(QSerialPort::Baud115200);
        if (!window.serial.open(QIODevice::ReadWrite))
            qFatal("the simulated port did not open");
        QObject::connect(bar(), &QProgressBar::valueChanged, [this](int value) { progress << value; });
    }

    static SimDevice::Options options(const QString &release)
    {
        SimDevice::Options o;
        o.release = release;
        o.lineIdleMs = 5; // lines sent without CR LF end quickly
        return o;
    }

    template<typename T = QWidget>
    T *field(const char *name)
    {
        T *widget = window.findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no field %s", name);
        return widget;
    }
    QAbstractButton *box(const char *name) { return field<QAbstractButton>(name); }
    QProgressBar *bar() { return field<QProgressBar>("progressBar"); }

    // Checked and enabled, as the form logic leaves a chosen algorithm.
    void choose(const char *name)
    {
        box(name)->setEnabled(true);
        box(name)->setChecked(true);
    }

    // Lines as the device received them, without their CR LF.
    QByteArrayList sent() const
    {
        QByteArrayList lines;
        for (QByteArray line : device.receivedLines()) {
            if (line.endsWith("\r\n"))
                line.chop(2);
            lines << line;
        }
        return lines;
    }
    QString console() { return field<QTextEdit>("consoleOutput")->toPlainText(); }
};

QByteArrayList having(const QByteArrayList &lines, const QByteArray &part)
{
    QByteArrayList found;
    for (const QByteArray &line : lines)
        if (line.contains(part))
            found << line;
    return found;
}

QString show(const QByteArrayList &lines)
{
    return QString::fromUtf8(lines.join(" | "));
}

// Every field the catalogue names moved off its default, the same way on
// every run; boxes and radio buttons enabled and set to `boxes`.
void fillEveryField(Bench &bench, bool boxes)
{
    int n = 0;
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        if (Upload::kCatalogue[i].flags & Upload::ReadBackOnly)
            continue;
        for (const char *name : {Upload::kCatalogue[i].widget, Upload::kCatalogue[i].needWidget}) {
            if (!name)
                continue;
            ++n;
            QWidget *widget = bench.field(name);
            if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
                const qint64 span = qint64(spin->maximum()) - spin->minimum() + 1;
                spin->setValue(int(spin->minimum() + (qint64(n) * 7919) % span));
            } else if (auto *spin = qobject_cast<QDoubleSpinBox *>(widget)) {
                const int span = int((spin->maximum() - spin->minimum()) * 100) + 1;
                spin->setValue(spin->minimum() + ((n * 7919) % span) / 100.0);
            } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
                combo->setCurrentIndex(n % combo->count());
            } else if (auto *slider = qobject_cast<QAbstractSlider *>(widget)) {
                slider->setValue(slider->minimum() + n % (slider->maximum() - slider->minimum() + 1));
            } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
                edit->setText(QString::number(0x10000 + n * 40503, 16).toUpper());
            } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
                button->setEnabled(true);
                button->setChecked(boxes);
            }
        }
    }
}

// What one upload came to, as lines: its outcome, every line the device
// received (and whether it ended in CR LF), the progress shown, the boxes
// the user saw, the console and the debug log.
QStringList transcript(Bench &bench, DialogWatcher &dialogs, DebugLog &log, int outcome)
{
    QStringList lines{QStringLiteral("outcome %1").arg(outcome)};
    for (const QByteArray &raw : bench.device.receivedLines())
        lines << (raw.endsWith("\r\n") ? "> " + QString::fromUtf8(raw.chopped(2))
                                       : "> " + QString::fromUtf8(raw) + " (no CR LF)");
    QStringList percents;
    for (int percent : bench.progress)
        percents << QString::number(percent);
    lines << "progress " + percents.join(' ');
    for (const SeenDialog &dialog : dialogs.seen())
        lines << QStringLiteral("dialog %1 %2: %3").arg(dialog.kind, dialog.title, dialog.text);
    for (const QString &line : bench.console().split('\n', Qt::SkipEmptyParts))
        lines << "console " + line;
    for (const QString &line : log.lines())
        lines << "log " + line;
    return lines;
}

} // namespace

class UploadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void uploadsMatchTheirGoldenTranscripts();
    void aCheckedAlgorithmGoesOutOnlyWhileItsBoxIsEnabledButVibration_data();
    void aCheckedAlgorithmGoesOutOnlyWhileItsBoxIsEnabledButVibration();
    void refusalAtAnOpeningStepEndsTheUpload_data();
    void refusalAtAnOpeningStepEndsTheUpload();
    void failedLoraSaveIsTheOutcome_data();
    void failedLoraSaveIsTheOutcome();
    void disabledOptionBoxesSendNothing();
    void everyPeriodTheFormAllowsGoesOutWhole();
    void startButtonTellsTheUserHowTheUploadWent_data();
    void startButtonTellsTheUserHowTheUploadWent();

private:
    std::unique_ptr<ShortLinkTimes> m_times;
};

void UploadTest::initTestCase()
{
    // The quiet times themselves are not under test here; 60 ms leaves the
    // simulated device room to answer on a busy machine.
    m_times.reset(new ShortLinkTimes(60, 60));
}

void UploadTest::cleanupTestCase()
{
    m_times.reset();
}

void UploadTest::uploadsMatchTheirGoldenTranscripts()
{
    struct Case
    {
        const char *name;
        const char *release;
        float version;
        int fill; // -1 default form, 0 every field with boxes off, 1 with boxes on, 2 and 3 see below
        const char *refused;
        bool again = false;
    };
    const Case cases[] = {
        {"default form, 2.2", "2.2", 2.2f, -1, nullptr},
        {"every field, boxes on, 2.2", "2.2", 2.2f, 1, nullptr, true},
        {"every field, boxes on, 2.1.1", "2.1.1", 2.11f, 1, nullptr},
        {"every field, boxes on, 1.9.1", "1.9.1", 1.91f, 1, nullptr, true},
        {"every field, boxes on, 1.8", "1.8", 1.8f, 1, nullptr},
        {"every field, boxes off, 2.2", "2.2", 2.2f, 0, nullptr},
        {"every field, boxes on, a shock key refused", "2.2", 2.2f, 1, "CHOC gxSup"},
        {"every field, boxes on, the range refused", "2.2", 2.2f, 1, "MPU maxRange"},
        {"every field, boxes on, the LoRa save refused", "2.2", 2.2f, 1, "SAVEPARAM LORA"},
        {"default form, ALIVE alone without frames", "2.2", 2.2f, 2, nullptr},
        {"default form, a line break in the AppEUI", "2.2", 2.2f, 3, nullptr},
    };
    QStringList all;
    for (const Case &c : cases) {
        DialogWatcher dialogs;
        DebugLog log;
        Bench bench(c.release, c.version);
        if (c.fill == 0 || c.fill == 1)
            fillEveryField(bench, c.fill == 1);
        if (c.fill == 2)
            bench.box("cbAliveRefreshMode")->setChecked(false);
        if (c.fill == 3)
            bench.field<QLineEdit>("leAppEUI")->setText(QStringLiteral("70B3\r\nRESETPARAM 1"));
        if (c.refused)
            bench.device.setFault(c.refused, SimFault::Refuses);
        const int outcome = bench.window.sendParameters();
        all << QStringLiteral("### %1").arg(c.name) << transcript(bench, dialogs, log, outcome);
        if (c.again) {
            // A second upload from the same window: the common alert period
            // the TILT block asked for goes out again, the keys held by the
            // device do not, nor the mask the readback shows.
            bench.window.devEuiLocked = true;
            bench.window.appKeyLocked = c.version > 2.0f;
            bench.field<QLineEdit>("leAppKEY")->setText(QString(32, QLatin1Char('X')));
            bench.box("cbTilt")->setChecked(false);
            bench.device.clearReceived();
            bench.progress.clear();
            dialogs.clear();
            log.clear();
            const int again = bench.window.sendParameters();
            all << QStringLiteral("### %1, again with keys held").arg(c.name) << transcript(bench, dialogs, log, again);
        }
    }
    PELKO_COMPARE_WITH_GOLDEN(all, "upload_transcripts.txt");
}

void UploadTest::aCheckedAlgorithmGoesOutOnlyWhileItsBoxIsEnabledButVibration_data()
{
    QTest::addColumn<QString>("checkBox");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("lines");
    QTest::newRow("vibration") << "cbVibe" << QByteArray("VIBE ") << 9;
    QTest::newRow("shock") << "cbChoc" << QByteArray("CHOC ") << 0;
}

void UploadTest::aCheckedAlgorithmGoesOutOnlyWhileItsBoxIsEnabledButVibration()
{
    QFETCH(QString, checkBox);
    QFETCH(QByteArray, command);
    QFETCH(int, lines);
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    QAbstractButton *box = bench.box(checkBox.toLatin1().constData());
    box->setChecked(true);
    box->setEnabled(false);

    QCOMPARE(bench.window.sendParameters(), 0);
    QCOMPARE(having(bench.sent(), command).size(), lines);
    QVERIFY(bench.sent().contains("ALGO 0x1")); // outside the mask either way
}

void UploadTest::refusalAtAnOpeningStepEndsTheUpload_data()
{
    QTest::addColumn<QByteArray>("refused");
    QTest::addColumn<QString>("note");
    QTest::newRow("orientation") << QByteArray("MPU orientation") << " : Command 'MPU orientation' failed";
    QTest::newRow("algorithm mask") << QByteArray("ALGO 0x") << " : Command 'ALGO ' failed";
}

void UploadTest::refusalAtAnOpeningStepEndsTheUpload()
{
    QFETCH(QByteArray, refused);
    QFETCH(QString, note);
    DialogWatcher dialogs;
    DebugLog log;
    Bench bench("2.2", 2.2f);
    bench.device.setFault(refused, SimFault::Refuses);

    QCOMPARE(bench.window.sendParameters(), -1);

    const QByteArrayList sent = bench.sent();
    QVERIFY2(sent.last().startsWith(refused), qPrintable(show(sent)));
    QCOMPARE(having(sent, "SAVEPARAM").size(), 0);
    QVERIFY(bench.progress.isEmpty());
    QCOMPARE(bench.bar()->value(), 0);
    QVERIFY(bench.console().contains(note));
    QVERIFY(!log.contains("SUCCESS"));
    QVERIFY(!log.contains("ERROR ("));
}

void UploadTest::failedLoraSaveIsTheOutcome_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("outcome");
    QTest::newRow("no answer") << int(SimFault::NeverAnswers) << -2;
}

void UploadTest::failedLoraSaveIsTheOutcome()
{
    QFETCH(int, fault);
    QFETCH(int, outcome);
    DialogWatcher dialogs;
    DebugLog log;
    Bench bench("2.2", 2.2f);
    bench.field<QLineEdit>("leAppEUI")->setText("70B3D57ED0000001");
    bench.device.setFault("SAVEPARAM LORA", static_cast<SimFault>(fault));

    QCOMPARE(bench.window.sendParameters(), outcome);

    QCOMPARE(bench.sent().last(), QByteArray("SAVEPARAM LORA 0"));
    QVERIFY(bench.sent().contains("SAVEPARAM ALGO 0"));
    QVERIFY(log.contains(QStringLiteral("*--------------- ERROR ( %1 ) ---------------*").arg(outcome)));
    // The algorithms were saved, the LoRa settings were not.
    QCOMPARE(bench.device.savedParameters().value("ALIVE period"), QByteArray("7200000"));
    QVERIFY(bench.device.savedParameters().value("LORA SET APPEUI") != "70B3D57ED0000001");
}

void UploadTest::disabledOptionBoxesSendNothing()
{
    const char *const boxes[] = {"cbTiltModeAlertZone", "cbTiltModeSignedMeasure", "cbTiltModeAlertMultiple",
                                 "cbMvtLoraAtStartMvt", "cbMvtLoraAtStopMvt",      "cbAllowPowerOFF"};
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    bench.choose("cbTilt");
    bench.choose("cbMvt");
    for (const char *name : boxes) {
        bench.box(name)->setChecked(true);
        bench.box(name)->setEnabled(false);
    }
    // The stop box follows the start box: enabled alone it still sends nothing.
    bench.box("cbMvtLoraAtStopMvt")->setEnabled(true);

    QCOMPARE(bench.window.sendParameters(), 0);
    for (const QByteArray key : {"zoneDetection", "signedMeasure", "alertMultiple", "loraAtStartMvt", "loraAtStopMvt",
                                 "poweroff", "alertPeriod"})
        QVERIFY2(having(bench.sent(), key).isEmpty(), key);
}

void UploadTest::everyPeriodTheFormAllowsGoesOutWhole()
{
    // The device takes milliseconds as a 32-bit signed integer.
    MainWindow window;
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        if (Upload::kCatalogue[i].kind != Upload::Kind::Seconds)
            continue;
        const auto *field = window.findChild<QSpinBox *>(QLatin1String(Upload::kCatalogue[i].widget));
        QVERIFY2(qint64(field->maximum()) * 1000 <= std::numeric_limits<int>::max(), Upload::kCatalogue[i].widget);
        QCOMPARE(Upload::secondsToMilliseconds(field->maximum()), field->maximum() * 1000);
    }
}

void UploadTest::startButtonTellsTheUserHowTheUploadWent_data()
{
    QTest::addColumn<QByteArray>("refused");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("accepted") << QByteArray() << "information"
                              << "Success"
                              << "The product has been successfully configured.";
    QTest::newRow("one key refused") << QByteArray("CHOC gxSup") << "critical"
                                     << "Error 5"
                                     << "The configuration failed. Please try again.";
}

void UploadTest::startButtonTellsTheUserHowTheUploadWent()
{
    QFETCH(QByteArray, refused);
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, text);
    SimHarness sim;
    QVERIFY(sim.isReady());
    DialogWatcher dialogs;
    MainWindow window;
    auto *start = window.findChild<QPushButton *>("startButton");
    auto *stop = window.findChild<QPushButton *>("stopButton");
    start->click();
    QCOMPARE(start->text(), QStringLiteral("Start"));

    window.findChild<QAbstractButton *>("cbChoc")->click();
    if (!refused.isEmpty())
        sim.device().setFault(refused, SimFault::Refuses);
    sim.device().clearReceived();
    dialogs.clear();
    start->click();

    QCOMPARE(dialogs.seen().size(), 1);
    QCOMPARE(dialogs.seen().first().kind, kind);
    QCOMPARE(dialogs.seen().first().title, title);
    QCOMPARE(dialogs.seen().first().text, text);
    QVERIFY(sim.device().receivedLines().contains("CHOC gxSup 5000\r\n"));
    auto *bar = window.findChild<QProgressBar *>("progressBar");
    if (refused.isEmpty()) {
        QCOMPARE(bar->value(), 100);
        QCOMPARE(stop->text(), QStringLiteral("Disconnect"));
        QVERIFY(!start->isEnabled());
        QCOMPARE(sim.device().savedParameters().value("ALGO"), QByteArray("0x5"));
        QCOMPARE(sim.device().savedParameters().value("CHOC gxSup"), QByteArray("5000"));
    } else {
        QVERIFY(!window.serial.isOpen());
        QVERIFY(start->isEnabled());
        QCOMPARE(bar->value(), 0);
        QVERIFY(!sim.device().receivedLines().contains("SAVEPARAM ALGO 0\r\n"));
    }
}

QTEST_MAIN(UploadTest)
#include "tst_upload.moc"
