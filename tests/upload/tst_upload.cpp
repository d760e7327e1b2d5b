#include "mainwindow.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "golden.h"
#include "linktimes.h"
#include "simdevice.h"
#include "link/commandline.h"
#include "model/uploadplan.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTextEdit>
#include <QtTest>

namespace {

// A window whose port is open on a simulated device of the given release,
// as the connection would leave it, and what the user and the debug log saw.
struct Bench
{
    DialogWatcher dialogs;
    DebugLog log;
    SimDevice device;
    MainWindow window;
    FormProbe form{window};
    QList<int> progress;

    Bench(const QString &release, float version) :
        device([&] {
            SimDevice::Options o;
            o.release = release;
            o.lineIdleMs = 1; // lines sent without CR LF end well inside the quiet time
            return o;
        }())
    {
        window.session().setLinkReady(true);
        window.firmwareVersion = version;
        const bool started = device.start();
        window.session().port().setPortName(device.portPath());
        window.session().port().setBaudRate(QSerialPort::Baud115200);
        if (!started || !window.session().port().open(QIODevice::ReadWrite))
            qFatal("the simulated device did not start");
        QObject::connect(form.find<QProgressBar>("progressBar"), &QProgressBar::valueChanged,
                         [this](int value) { progress << value; });
    }

    QAbstractButton *box(const char *name) { return form.find<QAbstractButton>(name); }
};

// Every field the catalogue names moved off its default, the same way on
// every run, or to its maximum; boxes and radio buttons enabled and set to
// `boxes`.

void fillEveryField(Bench &bench, bool boxes, bool maximum = false)
{
    int n = 0;
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        if (Upload::kCatalogue[i].flags & Upload::ReadBackOnly)
            continue;
        for (const char *name : {Upload::kCatalogue[i].widget, Upload::kCatalogue[i].needWidget}) {
            if (!name)
                continue;
            ++n;
            QWidget *widget = bench.form.find<QWidget>(name);
            const auto pick = [maximum](auto high, auto scattered) {
                return maximum ? high : scattered;
            };
            if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
                const qint64 span = qint64(spin->maximum()) - spin->minimum() + 1;
                spin->setValue(pick(spin->maximum(), int(spin->minimum() + (qint64(n) * 7919) % span)));
            } else if (auto *spin = qobject_cast<QDoubleSpinBox *>(widget)) {
                const int span = int((spin->maximum() - spin->minimum()) * 100) + 1;
                spin->setValue(pick(spin->maximum(), spin->minimum() + ((n * 7919) % span) / 100.0));
            } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
                combo->setCurrentIndex(pick(combo->count() - 1, n % combo->count()));
            } else if (auto *slider = qobject_cast<QAbstractSlider *>(widget)) {
                slider->setValue(
                    pick(slider->maximum(), slider->minimum() + n % (slider->maximum() - slider->minimum() + 1)));
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
QStringList transcript(Bench &bench, int outcome)
{
    QStringList lines{QStringLiteral("outcome %1").arg(outcome)};
    for (const QByteArray &raw : bench.device.receivedLines())
        lines << (raw.endsWith("\r\n") ? "> " + QString::fromUtf8(raw.chopped(2))
                                       : "> " + QString::fromUtf8(raw) + " (no CR LF)");
    QStringList percents;
    for (int percent : bench.progress)
        percents << QString::number(percent);
    lines << "progress " + percents.join(' ');
    for (const SeenDialog &dialog : bench.dialogs.seen())
        lines << QStringLiteral("dialog %1 %2: %3").arg(dialog.kind, dialog.title, dialog.text);
    for (const QString &line :
         bench.form.find<QTextEdit>("consoleOutput")->toPlainText().split('\n', Qt::SkipEmptyParts))
        lines << "console " + line;
    for (const QString &line : bench.log.lines())
        lines << "log " + line;
    return lines;
}

} // namespace

class UploadTest : public QObject
{
    Q_OBJECT

private slots:
    void uploadsMatchTheirGoldenTranscripts();
};

void UploadTest::uploadsMatchTheirGoldenTranscripts()
{
    enum Fill { Default, Scattered, ScatteredBoxesOn, AliveAlone, LineBreak, Maximum, BoxesCheckedDisabled };
    struct Case
    {
        const char *name;
        const char *release;
        float version;
        Fill fill;
        const char *faulty = nullptr; // the line the device misbehaves on
        SimFault fault = SimFault::Refuses;
        bool again = false;
    };
    const Case cases[] = {
        {"default form, 2.2", "2.2", 2.2f, Default},
        {"every field, boxes on, 2.2", "2.2", 2.2f, ScatteredBoxesOn, nullptr, SimFault::Refuses, true},
        {"every field, boxes on, 2.1.1", "2.1.1", 2.11f, ScatteredBoxesOn},
        {"every field, boxes on, 2.1", "2.1", 2.1f, ScatteredBoxesOn},
        {"every field, boxes on, 1.9.1", "1.9.1", 1.91f, ScatteredBoxesOn, nullptr, SimFault::Refuses, true},
        {"every field, boxes on, 1.9", "1.9", 1.9f, ScatteredBoxesOn},
        {"every field, boxes on, 1.8", "1.8", 1.8f, ScatteredBoxesOn},
        {"every field, boxes off, 2.2", "2.2", 2.2f, Scattered},
        {"every field, boxes on, a shock key refused", "2.2", 2.2f, ScatteredBoxesOn, "CHOC gxSup"},
        {"every field, boxes on, the range refused", "2.2", 2.2f, ScatteredBoxesOn, "MPU maxRange"},
        {"every field, boxes on, the LoRa save refused", "2.2", 2.2f, ScatteredBoxesOn, "SAVEPARAM LORA"},
        {"default form, ALIVE alone without frames", "2.2", 2.2f, AliveAlone},
        {"default form, a line break in the AppEUI", "2.2", 2.2f, LineBreak},
        {"every field at its maximum, 2.2", "2.2", 2.2f, Maximum},
        // VIBRATION goes out while checked, enabled or not; SHOCK and the
        // option boxes only while enabled; the stop box follows the start box.
        {"default form, boxes checked but disabled", "2.2", 2.2f, BoxesCheckedDisabled},
        {"default form, the orientation refused", "2.2", 2.2f, Default, "MPU orientation"},
        {"default form, the mask refused", "2.2", 2.2f, Default, "ALGO 0x"},
        {"default form, the LoRa save never answered", "2.2", 2.2f, Default, "SAVEPARAM LORA", SimFault::NeverAnswers},
    };
    // What the plan of the form says goes out is what reaches the device: all
    // of it when the device takes every line, an ordered part of it otherwise.
    QStringList unplanned;
    const auto upload = [&unplanned](Bench &bench) {
        QByteArrayList planned;
        for (const Upload::SentLine &line : bench.window.uploadPlan().lines())
            planned << buildCommandLine(line.step->cmd, line.step->key, line.value, line.text).bytes;
        const int outcome = bench.window.sendParameters();
        const QByteArrayList wire = bench.device.receivedLines();
        auto next = planned.cbegin();
        for (const QByteArray &line : wire)
            if ((next = std::find(next, planned.cend(), line)) == planned.cend() || (outcome == 0 && wire != planned))
                unplanned << QString::fromUtf8(line);
            else
                ++next;
        return outcome;
    };
    // The transcripts as they should be, case by case.
    QFile file(QDir(QStringLiteral(PELKO_TEST_DATA_DIR)).filePath(QStringLiteral("upload_transcripts.txt")));
    file.open(QIODevice::ReadOnly);
    const QStringList golden = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    const auto expected = [&golden](const QStringList &lines) {
        const int at = golden.indexOf(lines.value(0));
        return at < 0 ? QStringList() : golden.mid(at, lines.size());
    };
    const auto run = [&](const Case &c, int quietMs) {
        QStringList all;
        Bench bench(c.release, c.version);
        bench.window.session().limits() = shortLinkTimes(quietMs, quietMs);
        if (c.fill == Scattered || c.fill == ScatteredBoxesOn)
            fillEveryField(bench, c.fill == ScatteredBoxesOn);
        if (c.fill == Maximum)
            fillEveryField(bench, true, true);
        if (c.fill == AliveAlone)
            bench.box("cbAliveRefreshMode")->setChecked(false);
        if (c.fill == LineBreak)
            bench.form.find<QLineEdit>("leAppEUI")->setText(QStringLiteral("70B3\r\nRESETPARAM 1"));
        if (c.fill == BoxesCheckedDisabled) {
            for (const char *chosen : {"cbTilt", "cbMvt"}) { // as the form logic leaves a chosen algorithm
                bench.box(chosen)->setEnabled(true);
                bench.box(chosen)->setChecked(true);
            }
            for (const char *name :
                 {"cbTiltModeAlertZone", "cbTiltModeSignedMeasure", "cbTiltModeAlertMultiple", "cbMvtLoraAtStartMvt",
                  "cbMvtLoraAtStopMvt", "cbAllowPowerOFF", "cbVibe", "cbChoc"}) {
                bench.box(name)->setChecked(true);
                bench.box(name)->setEnabled(false);
            }
            bench.box("cbMvtLoraAtStopMvt")->setEnabled(true);
        }
        if (c.faulty)
            bench.device.setFault(c.faulty, c.fault);
        const int outcome = upload(bench);
        all << QStringLiteral("### %1").arg(c.name) << transcript(bench, outcome);
        if (c.again) {
            // A second upload from the same window: the common alert period
            // the TILT block asked for goes out again, the keys held by the
            // device do not, nor the mask the readback shows.
            bench.window.devEuiLocked = true;
            bench.window.appKeyLocked = c.version > 2.0f;
            bench.form.find<QLineEdit>("leAppKEY")->setText(QString(32, QLatin1Char('X')));
            bench.box("cbTilt")->setChecked(false);
            bench.device.clearReceived();
            bench.progress.clear();
            bench.dialogs.clear();
            bench.log.clear();
            const int again = upload(bench);
            all << QStringLiteral("### %1, again with keys held").arg(c.name) << transcript(bench, again);
        }
        return all;
    };
    // The quiet times themselves are not under test here: short ones keep
    // the cases quick, and a case that differs runs again with longer ones,
    // in case the simulated device missed a quiet time on a busy machine.
    QStringList all;
    for (const Case &c : cases) {
        QStringList lines;
        const int plannedSoFar = unplanned.size();
        for (int quietMs = 4; quietMs <= 256 && (lines.isEmpty() || lines != expected(lines)); quietMs *= 4) {
            unplanned = unplanned.mid(0, plannedSoFar); // only the last run of a case counts
            lines = run(c, quietMs);
        }
        all << lines;
    }
    QVERIFY2(unplanned.isEmpty(), qPrintable(unplanned.join(QLatin1Char('|'))));
    PELKO_COMPARE_WITH_GOLDEN(all, "upload_transcripts.txt");
}

QTEST_MAIN(UploadTest)
#include "tst_upload.moc"
