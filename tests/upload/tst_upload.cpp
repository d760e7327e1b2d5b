#include "mainwindow.h"

#include "debuglog.h"
#include "dialogwatcher.h"
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

QByteArrayList head(const QByteArray &mask)
{
    return {"MPU maxRange 16",
            "MPU orientation 0",
            "ALGO enableEventLog 1",
            "ALGO nbAliveFrameBeforeLog 120",
            "ALGO nbSecondBeforeStart 0",
            "ALGO buttonDelay 0",
            "ALGO " + mask,
            "ALIVE modeRefresh 1",
            "ALIVE period 7200000",
            "ALIVE nbSavedValue 1"};
}

const QByteArrayList kLoraDefault = {"LORA SET OTAA 1",       "LORA SET ACK 0",           "LORA SET ADR 0",
                                     "LORA SET DEFAULT_DR 0", "LORA SET PUBLICNETWORK 1", "LORA SET JRERROR 12",
                                     "SAVEPARAM LORA 0"};

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
        lines << (raw.endsWith("\r\n") ? "> " + QString::fromUtf8(raw.chopped(2)) : "> " + QString::fromUtf8(raw) + " (no CR LF)");
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
    void defaultFormGoesOutAndIsSavedAsShown();
    void firmwareReleasesGateTheirParameters_data();
    void firmwareReleasesGateTheirParameters();
    void eachChosenAlgorithmSendsItsBlock_data();
    void eachChosenAlgorithmSendsItsBlock();
    void aliveAloneWithoutFramesWarnsAndSendsOnlyLora();
    void noAlgorithmAtAllSendsAnEmptyMaskWithoutWarning();
    void refusalAtAnOpeningStepEndsTheUpload_data();
    void refusalAtAnOpeningStepEndsTheUpload();
    void refusedKeyInABlockSkipsBothSaves();
    void failedLoraSaveIsTheOutcome_data();
    void failedLoraSaveIsTheOutcome();
    void commonAlertPeriodStaysPendingOnceTiltAskedForIt();
    void failureBeforeTiltAlertsLeavesNoAlertPeriodPending();
    void joinModeDecidesWhichLoraKeysGoOut_data();
    void joinModeDecidesWhichLoraKeysGoOut();
    void deviceOwnedOrMaskedKeysAreNotSentBack_data();
    void deviceOwnedOrMaskedKeysAreNotSentBack();
    void textWithALineBreakNeverReachesTheDevice();
    void disabledOptionBoxesSendNothing();
    void longestAlivePeriodGoesOutWhole();
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
    };
    const Case cases[] = {
        {"default form, 2.2", "2.2", 2.2f, -1, nullptr},
        {"every field, boxes on, 2.2", "2.2", 2.2f, 1, nullptr},
        {"every field, boxes on, 2.1.1", "2.1.1", 2.11f, 1, nullptr},
        {"every field, boxes on, 1.9.1", "1.9.1", 1.91f, 1, nullptr},
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
        if (c.fill == 1 && !c.refused) {
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
    const QString path = QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("upload_transcripts.txt"));
    QFile file(path);
    if (qEnvironmentVariableIsSet("PELKO_WRITE_GOLDEN")) {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((all.join('\n') + '\n').toUtf8());
        QSKIP("golden transcripts written");
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QStringList golden = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    for (int i = 0; i < qMax(golden.size(), all.size()); ++i)
        QCOMPARE(all.value(i), golden.value(i));
}

void UploadTest::defaultFormGoesOutAndIsSavedAsShown()
{
    DialogWatcher dialogs;
    DebugLog log;
    Bench bench("2.2", 2.2f);

    QCOMPARE(bench.window.sendParameters(), 0);

    const QByteArrayList expected = head("0x1") + QByteArrayList{"SAVEPARAM ALGO 0"} + kLoraDefault;
    QCOMPARE(show(bench.sent()), show(expected));
    QCOMPARE(bench.progress, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 82, 84, 90, 92, 94, 96, 98, 99}));
    QVERIFY2(dialogs.seen().isEmpty(), qPrintable(dialogs.summary()));
    QVERIFY(log.contains("*----- Sending parameters to Pelko -----*"));
    QVERIFY(log.contains("Set MPU maxRange"));
    QVERIFY(log.contains("Algo Alive Actif"));
    QVERIFY(!log.contains("Algo Choc Actif"));
    QVERIFY(log.contains("*--------------- SUCCESS ---------------*"));

    // Everything sent is now in the device's flash, as sent.
    const QMap<QByteArray, QByteArray> saved = bench.device.savedParameters();
    QVERIFY(bench.device.pendingParameters().isEmpty());
    for (const QByteArray &line : expected) {
        if (line.startsWith("SAVEPARAM"))
            continue;
        const int cut = line.lastIndexOf(' ');
        QCOMPARE(saved.value(line.left(cut)), line.mid(cut + 1));
    }
}

void UploadTest::firmwareReleasesGateTheirParameters_data()
{
    QTest::addColumn<QString>("release");
    QTest::addColumn<float>("version");
    QTest::addColumn<QByteArrayList>("gated"); // the gated lines this release gets

    const QByteArray orientation = "MPU orientation 0", early = "ALGO enableEventLog 1",
                     shockLog = "CHOC enableShockLog 1", tracking = "MVT tracking 1", burst = "MVT burstMode 2",
                     dataRate = "LORA SET DEFAULT_DR 0";
    QTest::newRow("1.8") << "1.8" << 1.8f << QByteArrayList{};
    QTest::newRow("1.9") << "1.9" << 1.9f << QByteArrayList{};
    QTest::newRow("1.9.1") << "1.9.1" << 1.91f << QByteArrayList{orientation, dataRate};
    QTest::newRow("2.1") << "2.1" << 2.1f << QByteArrayList{orientation, dataRate};
    QTest::newRow("2.1.1") << "2.1.1" << 2.11f << QByteArrayList{orientation, tracking, burst, dataRate};
    QTest::newRow("2.1.2") << "2.1.2" << 2.12f << QByteArrayList{orientation, tracking, burst, dataRate};
    QTest::newRow("2.2") << "2.2" << 2.2f << QByteArrayList{orientation, early, shockLog, tracking, burst, dataRate};
}

void UploadTest::firmwareReleasesGateTheirParameters()
{
    QFETCH(QString, release);
    QFETCH(float, version);
    QFETCH(QByteArrayList, gated);
    DialogWatcher dialogs;
    Bench bench(release, version);
    bench.choose("cbChoc");
    bench.choose("cbMvt");
    bench.box("cbMvtTracking")->setChecked(true);

    QCOMPARE(bench.window.sendParameters(), 0);

    const QByteArrayList sent = bench.sent();
    for (const QByteArray line : {"MPU orientation 0", "ALGO enableEventLog 1", "CHOC enableShockLog 1",
                                  "MVT tracking 1", "MVT burstMode 2", "LORA SET DEFAULT_DR 0"})
        QVERIFY2(sent.contains(line) == gated.contains(line), line);
    // Whatever the release, the rest is the same.
    QVERIFY(sent.contains("ALGO 0x25"));
    QVERIFY(sent.contains("CHOC removeGravity 0"));
    QVERIFY(sent.contains("SAVEPARAM LORA 0"));
}

void UploadTest::eachChosenAlgorithmSendsItsBlock_data()
{
    QTest::addColumn<QString>("checkBox");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<QString>("trace");
    QTest::addColumn<QByteArrayList>("block");
    QTest::addColumn<QList<int>>("progress");

    const QList<int> plain{10, 20, 30, 40, 50, 60, 70, 80, 82, 84, 90, 92, 94, 96, 98, 99};
    QTest::newRow("shock") << "cbChoc" << true << QByteArray("0x5") << "Algo Choc Actif"
                           << QByteArrayList{"CHOC freq 16",
                                             "CHOC gxSup 5000",
                                             "CHOC gxInf 5000",
                                             "CHOC gySup 5000",
                                             "CHOC gyInf 5000",
                                             "CHOC gzSup 5000",
                                             "CHOC gzInf 5000",
                                             "CHOC inhibition 150",
                                             "CHOC removeGravity 0",
                                             "CHOC enableShockLog 1",
                                             "CHOC nbAliveFrameBeforeShockLog 36"}
                           << plain;
    QTest::newRow("motion") << "cbMvt" << true << QByteArray("0x21") << "Algo Mouvement Actif"
                            << QByteArrayList{"MVT freq 16",        "MVT gxSup 300",   "MVT gxInf 300",
                                              "MVT gySup 300",      "MVT gyInf 300",   "MVT gzSup 300",
                                              "MVT gzInf 300",      "MVT timerX 2000", "MVT timerY 3000",
                                              "MVT sensitivity 10", "MVT activity 0",  "MVT tracking 0"}
                            << QList<int>{10, 20, 25, 30, 40, 50, 60, 70, 80, 82, 84, 90, 92, 94, 96, 98, 99};
    QTest::newRow("temperature") << "cbTemp" << true << QByteArray("0x3") << "Algo Température Actif"
                                 << QByteArrayList{"TEMP nbSavedValue 12", "TEMP modeThreshold 1",
                                                   "TEMP max 2500",        "TEMP min 2000",
                                                   "TEMP delta 100",       "TEMP period 30000",
                                                   "TEMP fastPeriod 5000", "TEMP ultraFastPeriod 2000",
                                                   "TEMP inhibition 5"}
                                 << plain;
    QTest::newRow("tilt") << "cbTilt" << true << QByteArray("0x9") << "Algo Inclinaison Actif"
                          << QByteArrayList{"TILT modeRefresh 1", "TILT modeOnMove 1", "TILT period 2000",
                                            "TILT threshold 200", "TILT inhibition 5", "TILT pitch 45",
                                            "TILT roll 90"}
                          << plain;
    QTest::newRow("rotation") << "cbRotation" << true << QByteArray("0x81") << "Algo Rotation Actif"
                              << QByteArrayList{"ROTATION modeRefresh 1", "ROTATION modeOnMove 1",
                                                "ROTATION period 5000",   "ROTATION threshold 200",
                                                "ROTATION lap 5",         "ROTATION resetLap 1"}
                              << plain;
    QTest::newRow("orientation") << "cbOrient" << true << QByteArray("0x11") << "Algo Orientation Actif"
                                 << QByteArrayList{"ORIENT modeRefresh 1", "ORIENT modeOnMove 1",   "ORIENT period 30",
                                                   "ORIENT threshold 800", "ORIENT mesureLength 5", "ORIENT pitch 90",
                                                   "ORIENT roll -45",      "ORIENT yaw 90"}
                                 << plain;
    const QByteArrayList vibe{
        "ALIVE modeRefresh 0",  "VIBE onX 1",           "VIBE onY 1",           "VIBE onZ 1",     "VIBE period 60",
        "VIBE amplitudeX 1000", "VIBE amplitudeY 1000", "VIBE amplitudeZ 1000", "VIBE freqMin 0", "VIBE freqMax 500"};
    QTest::newRow("vibration") << "cbVibe" << true << QByteArray("0x101") << "Algo Vibration Actif" << vibe << plain;
    // A checked vibration box goes out even while disabled, outside the mask.
    QTest::newRow("vibration, box disabled")
        << "cbVibe" << false << QByteArray("0x1") << "Algo Vibration Actif" << vibe << plain;
    // Every other algorithm needs its box enabled too.
    QTest::newRow("shock, box disabled") << "cbChoc" << false << QByteArray("0x1") << "" << QByteArrayList{} << plain;
}

void UploadTest::eachChosenAlgorithmSendsItsBlock()
{
    QFETCH(QString, checkBox);
    QFETCH(bool, enabled);
    QFETCH(QByteArray, mask);
    QFETCH(QString, trace);
    QFETCH(QByteArrayList, block);
    QFETCH(QList<int>, progress);
    DialogWatcher dialogs;
    DebugLog log;
    Bench bench("2.2", 2.2f);
    QAbstractButton *box = bench.box(checkBox.toLatin1().constData());
    box->setChecked(true);
    box->setEnabled(enabled);

    QCOMPARE(bench.window.sendParameters(), 0);

    const QByteArrayList expected = head(mask) + block + QByteArrayList{"SAVEPARAM ALGO 0"} + kLoraDefault;
    QCOMPARE(show(bench.sent()), show(expected));
    QCOMPARE(bench.progress, progress);
    if (!trace.isEmpty())
        QCOMPARE(log.count(trace), 1);
    QVERIFY(bench.device.pendingParameters().isEmpty());
}

void UploadTest::aliveAloneWithoutFramesWarnsAndSendsOnlyLora()
{
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    bench.box("cbAliveRefreshMode")->setChecked(false);

    QCOMPARE(bench.window.sendParameters(), 0);

    QCOMPARE(dialogs.seen().size(), 1);
    QCOMPARE(dialogs.seen().first().kind, QStringLiteral("warning"));
    QCOMPARE(dialogs.seen().first().title, QStringLiteral("Warning"));
    QCOMPARE(dialogs.seen().first().text, QStringLiteral("Be carreful! No algorithm is enabled!"));
    QCOMPARE(show(bench.sent()), show(kLoraDefault));
    QCOMPARE(bench.progress, (QList<int>{80, 82, 84, 90, 92, 94, 96, 98, 99}));
}

void UploadTest::noAlgorithmAtAllSendsAnEmptyMaskWithoutWarning()
{
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    bench.box("cbAlive")->setChecked(false);
    bench.box("cbAliveRefreshMode")->setChecked(false);

    QCOMPARE(bench.window.sendParameters(), 0);

    QVERIFY2(dialogs.seen().isEmpty(), qPrintable(dialogs.summary()));
    const QByteArrayList expected = QByteArrayList{"MPU orientation 0",
                                                   "ALGO enableEventLog 1",
                                                   "ALGO nbAliveFrameBeforeLog 120",
                                                   "ALGO nbSecondBeforeStart 0",
                                                   "ALGO buttonDelay 0",
                                                   "ALGO 0x0",
                                                   "SAVEPARAM ALGO 0"} +
                                    kLoraDefault;
    QCOMPARE(show(bench.sent()), show(expected));
}

void UploadTest::refusalAtAnOpeningStepEndsTheUpload_data()
{
    QTest::addColumn<QByteArray>("refused");
    QTest::addColumn<QString>("note");
    QTest::newRow("acceleration range") << QByteArray("MPU maxRange") << " : Command 'MPU maxRange' failed";
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

void UploadTest::refusedKeyInABlockSkipsBothSaves()
{
    DialogWatcher dialogs;
    DebugLog log;
    Bench bench("2.2", 2.2f);
    bench.choose("cbChoc");
    bench.choose("cbTilt");
    bench.device.setFault("CHOC gxSup", SimFault::Refuses);

    QCOMPARE(bench.window.sendParameters(), -1);

    const QByteArrayList sent = bench.sent();
    QCOMPARE(having(sent, "CHOC ").size(), 11);
    QCOMPARE(having(sent, "TILT ").size(), 7);
    QCOMPARE(having(sent, "LORA SET ").size(), 6);
    QCOMPARE(having(sent, "SAVEPARAM").size(), 0);
    QVERIFY(bench.console().contains(" : Command 'CHOC gxSup' failed"));
    QVERIFY(log.contains("*--------------- ERROR ( -1 ) ---------------*"));
    QCOMPARE(bench.bar()->value(), 99);
    // The values stay in the device's RAM, not in its flash.
    QCOMPARE(bench.device.pendingParameters().value("CHOC gxInf"), QByteArray("5000"));
    QCOMPARE(bench.device.pendingParameters().value("LORA SET OTAA"), QByteArray("1"));
}

void UploadTest::failedLoraSaveIsTheOutcome_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("outcome");
    QTest::newRow("refused") << int(SimFault::Refuses) << -1;
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

void UploadTest::commonAlertPeriodStaysPendingOnceTiltAskedForIt()
{
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    bench.choose("cbTilt");
    bench.field("cbTiltModeAlertMultiple")->setEnabled(true); // unchecked: asks for it all the same

    QCOMPARE(bench.window.sendParameters(), 0);
    const QByteArrayList first = bench.sent();
    QVERIFY(first.contains("TILT alertMultiple 0"));
    QCOMPARE(having(first, "ALGO alertPeriod").size(), 1);
    QVERIFY(first.indexOf("ALGO alertPeriod 600") > first.indexOf("TILT roll 90"));
    QVERIFY(first.indexOf("ALGO alertPeriod 600") < first.indexOf("SAVEPARAM ALGO 0"));

    // Later uploads from the same window keep sending it, TILT or not.
    bench.box("cbTilt")->setChecked(false);
    bench.field<QSpinBox>("xAlgoPeriod")->setValue(900);
    bench.device.clearReceived();
    QCOMPARE(bench.window.sendParameters(), 0);
    const QByteArrayList second = bench.sent();
    QCOMPARE(having(second, "TILT").size(), 0);
    QVERIFY(second.contains("ALGO alertPeriod 900"));

    // A new window starts without it.
    Bench fresh("2.2", 2.2f);
    QCOMPARE(fresh.window.sendParameters(), 0);
    QCOMPARE(having(fresh.sent(), "alertPeriod").size(), 0);
}

void UploadTest::failureBeforeTiltAlertsLeavesNoAlertPeriodPending()
{
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    bench.choose("cbTilt");
    bench.choose("cbTiltModeAlertMultiple");
    bench.device.setFault("TILT modeRefresh", SimFault::Refuses, 1);

    QCOMPARE(bench.window.sendParameters(), -1);
    QVERIFY(bench.sent().contains("TILT alertMultiple 1"));
    QCOMPARE(having(bench.sent(), "alertPeriod").size(), 0);
    QVERIFY(!bench.window.alertPeriodPending);
}

void UploadTest::joinModeDecidesWhichLoraKeysGoOut_data()
{
    QTest::addColumn<bool>("otaa");
    QTest::addColumn<bool>("abp");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QList<int>>("progress");

    const QByteArrayList keys{"LORA SET DEVEUI 0004A30B001C0530", "LORA SET APPEUI 70B3D57ED0000001",
                              "LORA SET APPKEY 2B7E151628AED2A6ABF7158809CF4F3C"};
    const QByteArrayList abpKeys{"LORA SET APPSKEY 000102030405060708090A0B0C0D0E0F",
                                 "LORA SET NWKSKEY 0F0E0D0C0B0A09080706050403020100", "LORA SET NWKID 00000013",
                                 "LORA SET DEVADDR 26011BDA"};
    const QList<int> plain{10, 20, 30, 40, 50, 60, 70, 80, 82, 84, 90, 92, 94, 96, 98, 99};
    const QList<int> withAbp{10, 20, 30, 40, 50, 60, 70, 80, 82, 84, 85, 86, 88, 90, 92, 94, 96, 98, 99};
    QTest::newRow("OTAA") << true << false << QByteArrayList{"LORA SET OTAA 1"} + keys << plain;
    QTest::newRow("ABP") << false << true << QByteArrayList{"LORA SET OTAA 0"} + keys + abpKeys << withAbp;
    QTest::newRow("both") << true << true << QByteArrayList{"LORA SET OTAA 1", "LORA SET OTAA 0"} + keys + abpKeys
                          << withAbp;
    QTest::newRow("neither") << false << false << keys << plain;
}

void UploadTest::joinModeDecidesWhichLoraKeysGoOut()
{
    QFETCH(bool, otaa);
    QFETCH(bool, abp);
    QFETCH(QByteArrayList, lines);
    QFETCH(QList<int>, progress);
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    bench.box("rbOTAA")->setChecked(otaa);
    bench.box("rbABP")->setChecked(abp);
    bench.field<QLineEdit>("leDevEUI")->setText("0004A30B001C0530");
    bench.field<QLineEdit>("leAppEUI")->setText("70B3D57ED0000001");
    bench.field<QLineEdit>("leAppKEY")->setText("2B7E151628AED2A6ABF7158809CF4F3C");
    bench.field<QLineEdit>("leAppSKEY")->setText("000102030405060708090A0B0C0D0E0F");
    bench.field<QLineEdit>("leNwkSKEY")->setText("0F0E0D0C0B0A09080706050403020100");
    bench.field<QLineEdit>("leNwkID")->setText("00000013");
    bench.field<QLineEdit>("leDevADDR")->setText("26011BDA");

    QCOMPARE(bench.window.sendParameters(), 0);

    const QByteArrayList expected =
        lines + QByteArrayList{"LORA SET ACK 0",           "LORA SET ADR 0",      "LORA SET DEFAULT_DR 0",
                               "LORA SET PUBLICNETWORK 1", "LORA SET JRERROR 12", "SAVEPARAM LORA 0"};
    QCOMPARE(show(bench.sent().mid(bench.sent().indexOf("SAVEPARAM ALGO 0") + 1)), show(expected));
    QCOMPARE(bench.progress, progress);
    // The network id and the device address go out without a line ending.
    for (const QByteArray &raw : bench.device.receivedLines())
        QCOMPARE(raw.endsWith("\r\n"), !(raw.startsWith("LORA SET NWKID") || raw.startsWith("LORA SET DEVADDR")));
    if (abp)
        QCOMPARE(bench.device.savedParameters().value("LORA SET DEVADDR"), QByteArray("26011BDA"));
}

void UploadTest::deviceOwnedOrMaskedKeysAreNotSentBack_data()
{
    QTest::addColumn<bool>("devEuiLocked");
    QTest::addColumn<bool>("appKeyLocked");
    QTest::addColumn<QString>("appKey");
    QTest::addColumn<QByteArrayList>("keys");

    const QByteArray devEui = "LORA SET DEVEUI 0004A30B001C0530", appEui = "LORA SET APPEUI 70B3D57ED0000001";
    QTest::newRow("DevEUI held by the device")
        << true << false << "2B7E151628AED2A6ABF7158809CF4F3C"
        << QByteArrayList{appEui, "LORA SET APPKEY 2B7E151628AED2A6ABF7158809CF4F3C"};
    QTest::newRow("AppKEY held by the device")
        << false << true << "2B7E151628AED2A6ABF7158809CF4F3C" << QByteArrayList{devEui, appEui};
    QTest::newRow("AppKEY shows the readback mask")
        << false << false << "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX" << QByteArrayList{devEui, appEui};
    QTest::newRow("mask inside the text") << false << false << "ab XXXXXXXXXXXXXX cd" << QByteArrayList{devEui, appEui};
    QTest::newRow("thirteen X is a key") << false << false << "XXXXXXXXXXXXX"
                                         << QByteArrayList{devEui, appEui, "LORA SET APPKEY XXXXXXXXXXXXX"};
    QTest::newRow("empty AppKEY") << false << false << "" << QByteArrayList{devEui, appEui};
}

void UploadTest::deviceOwnedOrMaskedKeysAreNotSentBack()
{
    QFETCH(bool, devEuiLocked);
    QFETCH(bool, appKeyLocked);
    QFETCH(QString, appKey);
    QFETCH(QByteArrayList, keys);
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    bench.window.devEuiLocked = devEuiLocked;
    bench.window.appKeyLocked = appKeyLocked;
    bench.field<QLineEdit>("leDevEUI")->setText("0004A30B001C0530");
    bench.field<QLineEdit>("leAppEUI")->setText("70B3D57ED0000001");
    bench.field<QLineEdit>("leAppKEY")->setText(appKey);

    QCOMPARE(bench.window.sendParameters(), 0);

    const QByteArrayList sent = bench.sent();
    QCOMPARE(show(having(sent, "EUI") + having(sent, "APPKEY")), show(keys));
}

void UploadTest::textWithALineBreakNeverReachesTheDevice()
{
    // Sent as it is, the break would turn the rest of the text into a
    // command of its own.
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    bench.field<QLineEdit>("leAppEUI")->setText(QStringLiteral("70B3\r\nRESETPARAM 1"));
    QVERIFY(bench.field<QLineEdit>("leAppEUI")->text().contains(QLatin1Char('\n')));

    QCOMPARE(bench.window.sendParameters(), -1);

    const QByteArrayList sent = bench.sent();
    QCOMPARE(having(sent, "APPEUI").size(), 0);
    QCOMPARE(having(sent, "RESETPARAM").size(), 0);
    QVERIFY(!sent.contains("SAVEPARAM LORA 0"));
    QVERIFY(sent.contains("LORA SET JRERROR 12"));
    QVERIFY(bench.window.findChild<QTextEdit *>("consoleOutput")
                ->toPlainText()
                .contains("Command 'LORA SET APPEUI' not sent: the field leAppEUI holds a control character\n"));
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

    for (const char *name : boxes)
        bench.box(name)->setEnabled(true);
    bench.box("cbMvtLoraAtStopMvt")->setEnabled(false);
    bench.device.clearReceived();
    QCOMPARE(bench.window.sendParameters(), 0);
    const QByteArrayList sent = bench.sent();
    for (const QByteArray line :
         {"TILT zoneDetection 1", "TILT signedMeasure 1", "TILT alertMultiple 1", "MVT loraAtStartMvt 1",
          "MVT loraAtStopMvt 1", "ALGO poweroff 1", "ALGO alertPeriod 600"})
        QVERIFY2(sent.contains(line), line);
}

void UploadTest::longestAlivePeriodGoesOutWhole()
{
    DialogWatcher dialogs;
    Bench bench("2.2", 2.2f);
    auto *period = bench.field<QSpinBox>("xAlivePeriod");
    period->setValue(3600000); // the field refuses what the device could not hold in milliseconds
    QCOMPARE(period->value(), 2147483);

    QCOMPARE(bench.window.sendParameters(), 0);
    QVERIFY(bench.sent().contains("ALIVE period 2147483000"));
    QCOMPARE(bench.device.savedParameters().value("ALIVE period"), QByteArray("2147483000"));
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
