// What the window does with each answer it is handed: the console echo, the
// status box after VERSION and the features each release opens, the LoRa tab
// and the Algos tab filled from what the device reported; and a read followed
// by a Start leaving a simulated device as it was.

#include "firmware/releases.h"
#include "form/formbinding.h"
#include "link/timing.h"
#include "mainwindow.h"
#include "model/dumpkeytable.h"
#include "readback/untaken.h"
#include "simfirmware.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "golden.h"
#include "linktimes.h"
#include "simharness.h"

#include <QProcess>
#include <QtTest>
#include <QtWidgets>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <tuple>

namespace {

QByteArray versionAnswer(const QByteArray &release)
{
    return "\x1b[32mFirmware : v" + release + "\x1b[0m\r\nOK\r\n>";
}

// Every field under `area` as the user sees it (its value, whatever its kind),
// whether it is open and whether it takes typing.
QStringList formState(QWidget &area)
{
    QStringList lines;
    for (QWidget *w : area.findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        const auto *edit = qobject_cast<QLineEdit *>(w);
        QVariant shown = QStringLiteral("no field %1").arg(name);
        if (edit)
            shown = edit->text();
        else if (qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QSlider *>(w))
            shown = w->property("value");
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            shown = combo->currentIndex();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            shown = button->isChecked();
        else if (!qobject_cast<QLabel *>(w))
            continue;
        lines << QStringLiteral("%1 %2 %3%4")
                     .arg(name, shown.toString(), w->isEnabled() ? "on" : "off",
                          edit && edit->isReadOnly() ? " read-only" : "");
    }
    return lines;
}

const QByteArray kLoRaAnswer =
    "ACK is enabled\r\nADR is disabled\r\nNetwork is PRIVATE\r\nMode : OTAA\r\n"
    "DevEui : 70B3D57ED0001234\r\nAppEui : 0011223344556677\r\n"
    "AppKey : 2B7E151628AED2A6ABF7158809CF4F3C\r\nNwkSKey : 000102030405060708090A0B0C0D0E0F\r\n"
    "AppSKey : F0E0D0C0B0A090807060504030201000\r\nDevAddr : 26011BDA\r\nNwkID : 000013\r\n"
    "Default_DR : 4\r\nJoinRequestError Timeout : 48h\r\nOK\r\n>";

// The window as the user sees it: every field, the status box, the console,
// and what the window keeps of the device. `promptSeen`: a release that
// answers promptly has answered VERSION in this window, whose link keeps the
// short quiet time from then on.
bool answersPromptly(const MainWindow &window)
{
    return Firmware::opens(window.firmwareVersion, Firmware::Feature::ShortQuietTime);
}

QStringList windowState(MainWindow &window, bool promptSeen)
{
    const FormProbe form(window);
    return formState(window)
           << "status " + form.statusShown() << "console " + form.find<QTextEdit>("consoleOutput")->toPlainText()
           << QStringLiteral("release %1, quiet time %2 ms, %3 algorithms counted")
                  .arg(double(window.firmwareVersion))
                  .arg(promptSeen || answersPromptly(window) ? window.session().limits().fastReadTimeoutMs
                                                             : window.session().limits().quietMs)
                  .arg(window.activeAlgorithmCount)
           << QStringLiteral("locked DevEUI %1 AppKEY %2").arg(window.devEuiLocked).arg(window.appKeyLocked)
           << QStringLiteral("kept LoRa %1 dump %2").arg(!window.loraAnswer.isEmpty()).arg(!window.paramDump.isEmpty());
}

// In differences(), what the dump does not carry, so that a Start after a Read
// cannot send it back as it was: TILT inhibition has no key of its own (its "inhibition : "
// line is taken for no key). Left out of the configurations as well:
// VIBRATION, which no enable sentence names, and a range other than 2 g
// chosen while ORIENTATION runs, which the read puts back to 2 g as
// ORIENTATION is switched on (capping the SHOCK and MOTION thresholds at 2000 mG).

const char *const kReleases[] = {"1.9.2", "1.9.3", "2.0", "2.1.1", "2.2"};

const QStringList kAlgorithms = {"cbChoc", "cbMvt", "cbTemp", "cbTilt", "cbRotation", "cbOrient"};

const QStringList kModes = {"cbAliveRefreshMode",   "cbTiltModeRefresh",   "cbTiltModeOnMove",  "cbRotationModeRefresh",
                            "cbRotationModeOnMove", "cbOrientModeRefresh", "cbOrientModeOnMove"};

// Random algorithms and modes (clicked as a person would, when open to
// clicks), and values of the fields the form leaves open.
void configure(QWidget &window, QRandomGenerator &random)
{
    for (const auto &[names, most] : {std::pair{&kAlgorithms, 6}, std::pair{&kModes, 5}})
        for (int i = random.bounded(most); i > 0; --i) {
            auto *box =
                FormProbe(window).find<QAbstractButton>(qPrintable(names->at(random.bounded(int(names->size())))));
            if (box->isEnabled())
                box->click();
        }
    for (QWidget *w : window.findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (!w->isEnabled() || name.contains(QLatin1String("Conso")) || name == QLatin1String("xCapaPile"))
            continue;
        const bool chosenAbove = kAlgorithms.contains(name) || kModes.contains(name) ||
                                 name == QLatin1String("cbVibe") || name == QLatin1String("cbAlive");
        if (auto *spin = qobject_cast<QSpinBox *>(w))
            spin->setValue(int(spin->minimum() +
                               qint64(random.generateDouble() * (double(spin->maximum()) - spin->minimum() + 1))));
        else if (auto *real = qobject_cast<QDoubleSpinBox *>(w))
            real->setValue(
                qRound(real->minimum() * 100 + random.bounded(int((real->maximum() - real->minimum()) * 100) + 1)) /
                100.0);
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setCurrentIndex(random.bounded(combo->count()));
        else if (auto *box = qobject_cast<QCheckBox *>(w); box && !chosenAbove && random.bounded(2))
            box->click();
        else if (auto *radio = qobject_cast<QRadioButton *>(w); radio && random.bounded(3) == 0)
            radio->click();
        else if (auto *text = qobject_cast<QLineEdit *>(w)) {
            // LoRa identities and keys: hexadecimal digits, as many as the device keeps
            // (the form takes 16 for the network id and address, the read 6 and 8).
            QString digits;
            const int length = name == QLatin1String("leNwkID") ? 6 : name == QLatin1String("leDevADDR") ? 8 : 32;
            for (int i = qMin(text->maxLength(), length); i > 0; --i)
                digits += QString::number(random.bounded(16), 16).toUpper();
            text->setText(digits);
        } else if (name == QLatin1String("MPUmaxRange") && !FormProbe(window).find<QCheckBox>("cbOrient")->isChecked())
            static_cast<QSlider *>(w)->setValue(1 + random.bounded(4));
    }
}

QString differences(const QMap<QByteArray, QByteArray> &before, const QMap<QByteArray, QByteArray> &after)
{
    QStringList out;
    QMap<QByteArray, QByteArray> both = after;
    both.insert(before);
    for (const QByteArray &key : both.keys())
        // A stored -1 reads as a key never detected, which the read leaves alone.
        if (key != "TILT inhibition" && before.value(key) != "-1" && before.value(key) != after.value(key))
            out << QString::fromLatin1(key + " " + before.value(key) + " -> " + after.value(key));
    return out.join(QLatin1String(", "));
}

// One configuration: uploaded through a form, read and started by a fresh
// window. Returns what changed on the device, or sets `linkFailed` when an
// exchange did not get its answer in the quiet time.
QString roundTrip(quint32 seed, DialogWatcher &dialogs, bool &linkFailed, QByteArray &release, const LinkLimits &limits)
{
    QRandomGenerator random(seed);
    SimDevice::Options options;
    options.release = QString::fromLatin1(kReleases[random.bounded(5)]);
    options.lineIdleMs = 1; // the LoRa texts go without CR LF: they end after this
    release = options.release.toLatin1();
    SimHarness sim(options);
    if (!sim.isReady())
        qFatal("the simulated device did not start");
    QMap<QByteArray, QByteArray> configured;
    for (int pass = 0; pass < 2; ++pass) {
        MainWindow window;
        window.session().limits() = limits;
        const FormProbe form(window);
        dialogs.clear();
        form.click("startButton");
        if (pass == 0)
            configure(window, random);
        else
            form.click("readAlgoButton");
        form.click("startButton");
        // A read or an upload cut short says so ("Error 12", "Error 5").
        linkFailed = !dialogs.summary().contains(QLatin1String("successfully configured")) ||
                     dialogs.summary().contains(QLatin1String("Error"));
        if (linkFailed)
            return dialogs.summary();
        if (pass == 0)
            configured = sim.device().savedParameters();
    }
    return differences(configured, sim.device().savedParameters());
}

// What `pelko-provision <command> --verbose` of the simulated device (and the
// file it read) writes on standard error, and its exit code.
QString provisionRun(const SimHarness &sim, const char *command = "read", int *exitCode = nullptr)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PELKO_QUIET_MS"), QStringLiteral("30")); // the device is simulated
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(PELKO_PROVISION_PROGRAM),
               {command, "--verbose", "--log", sim.dirPath() + "/log.csv", "ttyPELKO0", sim.dirPath() + "/read.json"});
    tool.waitForFinished(60000);
    if (exitCode)
        *exitCode = tool.exitCode();
    return QString::fromUtf8(tool.readAllStandardError());
}

// What a new window, told the firmware's release as at a connection, could
// not take of its dump.
QVector<Untaken::Row> untakenOfDump(SimFirmware &firmware, std::unique_ptr<MainWindow> &window, bool vibration = false)
{
    window.reset(new MainWindow);
    firmware.debugOn = true; // as Read asks before the dump
    QByteArray version = versionAnswer(firmware.release().toLatin1()), dump = firmware.handle("DUMP RAM PARAM").wire();
    window->decodePelkoData("VERSION", version);
    window->findChild<QCheckBox *>("cbVibe")->setChecked(vibration);
    window->decodePelkoData("DUMP RAM PARAM", dump);
    return window->untakenFrom(Comparison::deviceState(window->paramDump, {}));
}

} // namespace

// A window's key table keeps its values for the life of its session; every
// test starts from a new window, whose table has never seen a dump.
class ReadbackWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_window.reset(); }

    void eachAnswerChangesTheWindowAsTheGoldenFileSays();
    void applyingADumpMatchesTheGoldenForm();
    void readWithoutALinkTellsTheUserToConnect();
    void readSaysWhatTheFormCannotHoldAndCheckSaysWhy();
    void everyValueTheFormCannotTakeIsNamedWithItsReasonAndAFactoryDumpNamesNone();
    void theAlgorithmsNamedAreThoseTheDeviceRunsAndTheFormLeftUnticked();
    void keysReachTheWireAndNothingElse();
    void readThenStartLeavesTheDeviceAsItWas_data();
    void readThenStartLeavesTheDeviceAsItWas();

private:
    std::unique_ptr<MainWindow> m_window;
};

void ReadbackWindowTest::init()
{
    m_window.reset(new MainWindow);
}

void ReadbackWindowTest::eachAnswerChangesTheWindowAsTheGoldenFileSays()
{
    // Boxes and fields set before (from code, as a read would), the release
    // identified before, the command and the device's answer. The rows show
    // the status box and console after VERSION, what each release opens (and
    // an older one does not close), answers refused or cut short changing
    // nothing, the LoRa tab (release gates of the data rate and time-out,
    // masked key, identities locked, typed text kept, missing fields, no
    // network named), and a dump ticking the algorithms it names over their
    // values while VIBRATION, which no sentence names, keeps its box.
    using Set = QList<QPair<const char *, QVariant>>;
    QList<std::tuple<Set, QByteArray, QByteArray, QByteArray>> rows;
    const auto row = [&rows](const Set &set, const char *earlier, const char *cmd, const QByteArray &answer) {
        rows.append({set, earlier, cmd, answer});
    };
    row({}, "", "VERSION", versionAnswer("2.2"));
    row({}, "", "VERSION", "<i>Firmware : v2.2</i>\r\nOK\r\n>");
    row({}, "2.2", "VERSION", "Firmware : vX\r\nOK\r\n>");
    row({}, "1.8", "VERSION", "");
    row({{"cbTilt", true}}, "2.2", "VERSION", "Firmware : v1.8\r\nOK\r\n>");
    row({{"cbMvt", true}}, "2.2", "VERSION", "Firmware : v1.8\r\nOK\r\n>");
    row({{"cbChoc", true}}, "", "LORA GET", "Mode : OTAA\r\nOK\r\n>");
    row({{"cbChoc", true}}, "", "DUMP RAM PARAM", QByteArray("------- COMMON -------\r\n\0OK\r\n>", 31));
    row({{"cbChoc", true}}, "", "DUMP RAM PARAM", "NOK\r\n>");
    row({{"cbChoc", true}}, "", "DUMP RAM PARAM", QByteArray("------- CHOC -------\r\n\0gxSup : 70", 33));
    row({{"cbChoc", true}}, "", "LORA GET", "Mode : ABP\r\nNOK\r\n>");
    row({{"cbChoc", true}}, "", "LORA GET", "Mode : ABP\r\nDevEui : 70B3");
    row({{"cbChoc", true}}, "", "LORA SET", "Mode : ABP\r\nOK\r\n>");
    row({{"leDevADDR", "12"}}, "2.2", "LORA GET",
        "Mode : ABP\r\nDevEui : 0000000000000000\r\nDevAddr : 26011BDA\r\nAppKey : "
        "00000000000000000000000000000000\r\nOK\r\n>");
    row({{"leAppEUI", "ABC"}, {"leNwkID", "42"}, {"xLoRaDefaultDR", 2}, {"xJRErrorTimeout", 36}}, "2.2", "LORA GET",
        "DevEui : 70B3D57ED0001234\r\nAppEui is not set\r\nOK\r\n>");
    row({{"rbPublicNetwork", false}, {"rbPrivateNetwork", true}}, "2.2", "LORA GET",
        "ACK is disabled ACK is enabled\r\nOK\r\n>");
    row({{"cbMvt", true}}, "2.2", "DUMP RAM PARAM",
        QByteArray(
            "------- COMMON -------\r\n_Poweroff : allowed\r\n_------- ALIVE -------\r\n_Algorithm ALIVE enable.\r\n_"
            "------- CHOC -------\r\n_gxSup : 1500\r\n_Algorithm SHOCK enable.\r\n_------- TILT -------\r\n_"
            "period : 4000\r\n_Algorithm TILT enable.\r\n_OK\r\n>")
            .replace('_', '\0'));
    row({{"cbChoc", true}, {"cbTilt", true}, {"cbAllowPowerOFF", true}, {"cbVibe", true}}, "2.2", "DUMP RAM PARAM",
        "OK\r\n>");
    for (const char *release : {"1.8", "1.9", "1.9.1", "2.2"})
        row({}, release, "LORA GET", kLoRaAnswer);
    for (const char *release : {"1.9.1", "1.9.2", "1.9.3", "2.0", "2.1", "2.1.1", "2.1.2", "2.2"})
        for (const char *box : {"cbTilt", "cbMvt"})
            row({{box, true}}, "", "VERSION", versionAnswer(release));

    DebugLog log;
    QStringList all;
    for (const auto &[set, earlier, cmd, answer] : rows) {
        init();
        QStringList setting;
        for (const auto &[name, value] : set) {
            QWidget *w = FormProbe(*m_window).find<QWidget>(name);
            w->metaObject()->userProperty().write(w, value);
            setting << name + QStringLiteral("=") + value.toString();
        }
        QByteArray version = versionAnswer(earlier), given = answer;
        if (!earlier.isEmpty())
            m_window->decodePelkoData("VERSION", version);
        const bool promptBefore = answersPromptly(*m_window);
        const QStringList before = windowState(*m_window, promptBefore);
        m_window->decodePelkoData(cmd, given);
        const QStringList after = windowState(*m_window, promptBefore);
        all << QStringLiteral("### %1 after %2 with %3: %4")
                   .arg(cmd, earlier.isEmpty() ? "no VERSION" : earlier, setting.join(' '),
                        QString::fromLatin1(answer.toPercentEncoding(" :<>/.!")).left(80));
        for (int i = 0; i < after.size(); ++i)
            if (after.at(i) != before.value(i))
                all << after.at(i).section(' ', 0, 0) + ": " + before.value(i).section(' ', 1) + " -> " +
                           after.at(i).section(' ', 1);
    }
    for (QString &line : all)
        line.replace('\n', QLatin1String("\\n"));
    PELKO_COMPARE_WITH_GOLDEN(all, "answers.txt");
}

void ReadbackWindowTest::applyingADumpMatchesTheGoldenForm()
{
    // Values chosen to reach every conversion: periods in milliseconds,
    // hundredths, ranges, frequencies, burst counts and mode bits.
    const std::function<int(int)> fillings[] = {
        [](int i) { return (i * 7919) % 5000 - 500; },
        [](int i) { return i % 3; },
        [](int i) { return i % 2 ? 7200000 + i * 1001 : -1; },
        [](int i) { return (i * 37) % 64; },
        [](int i) { return 1 << (i % 6); },
        [](int) { return 0; }, // a sensor laid flat, unless ROTATION keeps it upright
    };
    QStringList all;
    int n = 0;
    for (const auto &filling : fillings) {
        for (bool rotation : {false, true}) {
            init();
            FormProbe(*m_window).find<QCheckBox>("cbRotation")->setChecked(rotation);
            for (int i = 0; i < kDumpKeyCount; ++i)
                m_window->session().dumpValues()[std::size_t(i)] = filling(i);
            DebugLog log;
            m_window->applyParameters();
            all << QStringLiteral("### filling %1, rotation %2").arg(n).arg(rotation) << formState(*m_window);
            for (const QString &line : log.lines())
                all << "log " + line;
        }
        ++n;
    }
    PELKO_COMPARE_WITH_GOLDEN(all, "applied_forms.txt");
}

void ReadbackWindowTest::readWithoutALinkTellsTheUserToConnect()
{
    DialogWatcher dialogs;
    m_window->session().setLinkReady(false);
    // A button left enabled by mistake must not reach a closed port.
    FormProbe form(*m_window);
    form.find("readAlgoButton")->setEnabled(true);
    form.click("readAlgoButton");
    QCOMPARE(dialogs.summary(), boxesOf({Error::NotConnected}));
    QCOMPARE(form.statusShown(), statusOf(Error::NotConnected));
}

// Whatever Read could not put into the form as the device holds it (a third
// algorithm left by an earlier program, a field two keys fill), the window
// and pelko-provision's read tell with what Start sends; a check of the file
// read names the reason beside the difference.
void ReadbackWindowTest::readSaysWhatTheFormCannotHoldAndCheckSaysWhy()
{
    m_window.reset();
    const DebugLog log;
    // Release, what the device holds, a line said (the reason in brackets), what Start then sends.
    const std::tuple<QString, QList<QPair<QByteArray, QByteArray>>, QString, QByteArray> rows[] = {
        {"2.2",
         {{"ALGO", "0x92"}},
         "ORIENTATION: the device runs it, Start switches it off (the form runs two algorithms at most beside ALIVE)",
         "ALGO 0x82\r\n"},
        {"1.9.2",
         {{"ALGO", "0xd"}},
         "TILT: the device runs it, Start switches it off (the form runs two algorithms at most beside ALIVE, and up "
         "to release 1.9.2 ALIVE's automatic frames count as one)",
         "ALGO 0x5\r\n"},
        {"2.2",
         {{"ALGO", "0x9"}, {"TILT alertMultiple", "1"}, {"TILT alertPeriod", "30"}},
         "COMMON.alertPeriod: device 600 s, Start sends 60 s (two values reported (600 s, 30 s), the form keeps one; "
         "30 s is below the field's minimum of 60 s)",
         "ALGO alertPeriod 60\r\n"}};
    for (const auto &[release, held, said, started] : rows) {
        SimDevice::Options options;
        options.release = release;
        SimHarness sim(options);
        QVERIFY(sim.isReady());
        for (const auto &[key, value] : held)
            sim.device().setSavedParameter(key, value);
        const QString toolSaid = provisionRun(sim, "read");
        QVERIFY2(toolSaid.count("warning: Read: " + said) == 1 && toolSaid.contains("saved "), qPrintable(toolSaid));
        int exit = 0;
        const QString checked = provisionRun(sim, "check", &exit);
        // The file read from this very device differs from it, and says why.
        const QString why = "the form cannot hold the device's value: " +
                            (said.section(':', 0, 0).contains('.') ? "" : said.section(':', 0, 0) + ": ");
        QVERIFY2(exit == 5 && checked.contains(why + said.section(" (", 1, -1)), qPrintable(checked));

        MainWindow window;
        window.session().limits() = shortLinkTimes(30, 60);
        const FormProbe form(window);
        DialogWatcher dialogs;
        form.click("startButton");
        dialogs.clear();
        form.click("readAlgoButton");
        QVERIFY2(dialogs.summary().startsWith("warning Read: The form cannot hold") &&
                     dialogs.summary().contains(said) && !dialogs.summary().contains(" | "),
                 qPrintable(dialogs.summary()));
        QCOMPARE(form.find<QTextEdit>("consoleOutput")->toPlainText().count(said), 1);
        QVERIFY(log.lines().join('\n').contains(said));
        sim.device().clearReceived();
        form.click("startButton");
        QVERIFY(sim.device().receivedLines().contains(started));
    }
}

// For every row of the parameter table that reads a dump key, a device
// holding a value its field cannot take as it is (beyond its range, not in
// its list, two keys at odds, forced by an algorithm): Read names the setting
// and why. A factory device of any release: nothing.
void ReadbackWindowTest::everyValueTheFormCannotTakeIsNamedWithItsReasonAndAFactoryDumpNamesNone()
{
    const DebugLog log;
    using Held = QList<QPair<QByteArray, QByteArray>>;
    const MainWindow fresh;
    const auto rowOf = [](const char *widget) {
        return std::find_if(Upload::kCatalogue, Upload::kCatalogue + Upload::kCatalogueSize,
                            [widget](const Upload::Step &r) { return r.cmd && qstrcmp(r.widget, widget) == 0; });
    };
    int bit = 0, cases = 0; // the algorithm of the block walked
    QStringList missed;
    const auto expect = [&](const Upload::Step &row, const Held &held) {
        SimFirmware firmware;
        for (const auto &[key, value] : held)
            firmware.saved.insert(key, value);
        const QVector<Untaken::Row> rows = untakenOfDump(firmware, m_window, held.first().second == "0x101");
        // A key read back beside another's field is that field's setting.
        const QString name = Upload::settingName(row.cmd ? row : *rowOf(row.widget));
        const auto said = std::find_if(rows.begin(), rows.end(), [&](auto &r) { return r.name == name; });
        if (++cases && (said == rows.end() || said->reason.startsWith("the form could not")))
            missed << name + " with " + held.last().first + '=' + held.last().second + ":\n" + Untaken::warning(rows);
    };
    for (std::size_t r = 0; r < Upload::kCatalogueSize; ++r) {
        const Upload::Step &row = Upload::kCatalogue[r];
        bit = row.kind == Upload::Kind::BlockStart ? 0 : bit;
        for (const Model::Algorithm &a : Model::kAlgorithms)
            bit = row.kind == Upload::Kind::BlockStart && qstrcmp(row.widget, a.checkBox) == 0 ? a.bit : bit;
        if (row.dump < 0 || !row.widget ||
            (row.kind == Upload::Kind::Checked && !(row.flags & Upload::UprightUnlessRotating)))
            continue; // a box takes every value: checked unless 0
        // The common alert period goes out once TILT's multiple alerts ask for it.
        Held held = row.flags & Upload::AlertPeriodPending ? Held{{"ALGO", "0x9"}, {"TILT alertMultiple", "1"}}
                                                           : Held{{"ALGO", "0x" + QByteArray::number(1 | bit, 16)}};
        if (row.needWidget && rowOf(row.needWidget) != Upload::kCatalogue + Upload::kCatalogueSize)
            held << qMakePair(QByteArray(rowOf(row.needWidget)->cmd) + ' ' + rowOf(row.needWidget)->key,
                              QByteArray("1"));
        const QByteArray key = QByteArray(row.cmd) + ' ' + row.key;
        const FormBinding::Admits field = FormBinding::admits(fresh.findChild<QWidget *>(row.widget));
        const qint64 unit = row.kind == Upload::Kind::Seconds ? 1000 : row.kind == Upload::Kind::Hundredths ? 100 : 1;
        const qint64 above = (qint64(field.maximum) + 1) * unit;
        if (row.flags & Upload::ReadBackOnly)
            held << (row.dump == KeyTiltMultipleAlertPeriod
                         ? Held{{"TILT alertMultiple", "1"}, {"TILT alertPeriod", "90"}}
                         : Held{{"CHOC inhibitionDisabled", "1"}});
        else if (row.kind == Upload::Kind::Checked)
            held = {{"ALGO", "0x81"}, {key, "0"}}; // ROTATION runs upright
        else if (row.kind == Upload::Kind::Range)  // ORIENTATION runs at 2 g, and 3 g is none
            expect(row, {{"ALGO", "0x11"}, {key, "8"}}), held << qMakePair(key, QByteArray("3"));
        else if (row.kind == Upload::Kind::Frequency || row.kind == Upload::Kind::BurstCount)
            held << qMakePair(key, QByteArray(row.kind == Upload::Kind::Frequency ? "3" : "5"));
        else if (row.kind == Upload::Kind::Item)
            held << qMakePair(key, QByteArray::number(field.items.size()));
        else
            held << qMakePair(key, QByteArray::number(above));
        expect(row, held);
    }
    QVERIFY2(missed.isEmpty() && cases > 60, qPrintable(missed.join('\n')));
    for (const Firmware::Release &release : Firmware::kReleases) {
        SimFirmware firmware;
        firmware.setRelease(QLatin1String(release.marker));
        QVERIFY2(untakenOfDump(firmware, m_window).isEmpty(), release.marker);
    }
}

// Random sets of algorithms a device of any release could report, with
// ALIVE's frames on or off: Read names exactly those the dump enables and the
// form left unticked, each with its reason. PELKO_UNTAKEN_SEED replays a seed.
void ReadbackWindowTest::theAlgorithmsNamedAreThoseTheDeviceRunsAndTheFormLeftUnticked()
{
    const quint32 seed = qEnvironmentVariableIsSet("PELKO_UNTAKEN_SEED") ? qgetenv("PELKO_UNTAKEN_SEED").toUInt() : 33;
    QRandomGenerator random(seed);
    const DebugLog log;
    for (int n = 0; n < 100; ++n) {
        SimFirmware firmware;
        firmware.setRelease(
            QLatin1String(Firmware::kReleases[random.bounded(int(std::size(Firmware::kReleases)))].marker));
        int mask = 1;
        for (int i = 0; i < Model::kReadCount; ++i)
            mask |= random.bounded(2) ? Model::readOrder()[i]->bit : 0;
        firmware.saved.insert("ALGO", "0x" + QByteArray::number(mask, 16));
        firmware.saved.insert("ALIVE modeRefresh", random.bounded(2) ? "1" : "0");
        const QVector<Untaken::Row> rows = untakenOfDump(firmware, m_window);
        QSet<QString> named, unticked;
        for (const Untaken::Row &row : rows)
            if (row.name == "algorithms" && !row.reason.startsWith("the form could not"))
                named << row.setting;
        for (int i = 0; i < Model::kReadCount; ++i) {
            const Model::Algorithm &a = *Model::readOrder()[i];
            if ((mask & a.bit) && !m_window->findChild<QCheckBox *>(a.checkBox)->isChecked())
                unticked << a.name;
        }
        const QString what = QString("seed %1, case %2, %3, ALGO %4:\n").arg(seed).arg(n).arg(firmware.release());
        QVERIFY2(named == unticked, qPrintable(what.arg(mask, 0, 16) + Untaken::warning(rows)));
    }
}

// The AppKey and the session keys come in LORA GET's answer and go out in
// Start's lines: the wire carries them, the console, the debug log and
// pelko-provision's traces never do.
void ReadbackWindowTest::keysReachTheWireAndNothingElse()
{
    const QByteArray keys[] = {"A1B2C3D4E5F60718293A4B5C6D7E8F90", "0F1E2D3C4B5A69788796A5B4C3D2E1F0",
                               "7766554433221100FFEEDDCCBBAA9988"};
    m_window.reset();
    SimHarness sim;
    QVERIFY(sim.isReady());
    // A device that names no AppKey of its own takes the form's.
    sim.device().setRawAnswer("LORA GET",
                              "Mode : ABP\r\nNwkSKey : " + keys[1] + "\r\nAppSKey : " + keys[2] + "\r\nOK\r\n>");
    DebugLog log;
    DialogWatcher dialogs;
    QString written;
    {
        MainWindow window;
        window.session().limits() = shortLinkTimes(30, 60);
        const FormProbe form(window);
        form.click("startButton");
        form.find<QLineEdit>("leAppKEY")->setText(QString::fromLatin1(keys[0]));
        form.click("startButton");
        QVERIFY2(dialogs.summary().contains("successfully configured"), qPrintable(dialogs.summary()));
        written = form.find<QTextEdit>("consoleOutput")->toPlainText() + log.lines().join('\n');
    }
    const QList<QByteArray> wire = sim.device().receivedLines();
    sim.device().clearRawAnswers(); // the tool reads all three back
    written += provisionRun(sim);
    // Start's line in the window's log, the device's answer in the tool's.
    QVERIFY(written.contains("\"LORA SET APPKEY XXXXXXXXXXXXXXXXXXXXXXXXXX7E8F90\""));
    QVERIFY(
        written.contains("AppKey : XXXXXXXXXXXXXXXXXXXXXXXXXX7E8F90\\r\\nNwkSKey : XXXXXXXXXXXXXXXXXXXXXXXXXXD2E1F0"));
    for (const auto &[name, key] : {std::pair{"APPKEY", keys[0]}, {"NWKSKEY", keys[1]}, {"APPSKEY", keys[2]}}) {
        QVERIFY(wire.contains("LORA SET " + QByteArray(name) + ' ' + key + "\r\n"));
        QVERIFY2(!written.contains(QString::fromLatin1(key)), name);
    }
}

// A device configured through the form, read by a fresh window and started
// again, keeps every parameter it had. Random configurations, each from its
// own seed; PELKO_ROUNDTRIP_CASES sets how many (10 by default; CI runs 1,000) and
// PELKO_ROUNDTRIP_SEED the first seed, so that a failing case replays alone.
void ReadbackWindowTest::readThenStartLeavesTheDeviceAsItWas_data()
{
    const int cases =
        qEnvironmentVariableIsSet("PELKO_ROUNDTRIP_CASES") ? qEnvironmentVariableIntValue("PELKO_ROUNDTRIP_CASES") : 10;
    const quint32 firstSeed =
        qEnvironmentVariableIsSet("PELKO_ROUNDTRIP_SEED") ? qgetenv("PELKO_ROUNDTRIP_SEED").toUInt() : 1000;
    QTest::addColumn<quint32>("firstSeed");
    QTest::addColumn<int>("cases");
    // Rows of 25 cases, each well within the test library's time limit per row.
    for (int done = 0; done < cases; done += 25)
        QTest::addRow("seeds %u..", firstSeed + done) << firstSeed + quint32(done) << qMin(25, cases - done);
}

void ReadbackWindowTest::readThenStartLeavesTheDeviceAsItWas()
{
    QFETCH(quint32, firstSeed);
    QFETCH(int, cases);
    m_window.reset();                        // only the round trip's windows meet the device
    auto log = std::make_unique<DebugLog>(); // every exchange is traced: keep the test output short
    DialogWatcher dialogs;
    QElapsedTimer clock;
    clock.start();
    int retried = 0;
    // Short quiet times keep a thousand cases quick; an exchange that missed
    // its answer on a busy machine is a matter for the link's own tests, so
    // the case runs again with four times the quiet time. The next case
    // starts on twice the quiet time after such a miss, on half of it (3 ms
    // at least) otherwise.
    static int startMs = 3;
    for (quint32 seed = firstSeed; seed < firstSeed + quint32(cases); ++seed) {
        QString changed;
        QByteArray release;
        bool linkFailed = true;
        for (int quietMs = startMs; linkFailed && quietMs <= 256; quietMs *= 4) {
            changed = roundTrip(seed, dialogs, linkFailed, release, shortLinkTimes(quietMs, quietMs));
            retried += linkFailed;
            if (quietMs == startMs)
                startMs = linkFailed ? qMin(24, startMs * 2) : qMax(3, startMs / 2);
            log->clear();
        }
        const QByteArray where = "seed " + QByteArray::number(seed) +
                                 " (PELKO_ROUNDTRIP_SEED=" + QByteArray::number(seed) +
                                 " PELKO_ROUNDTRIP_CASES=1 replays it), release " + release;
        QVERIFY2(!linkFailed, where + ": " + changed.toUtf8());
        QVERIFY2(changed.isEmpty(), where + ": " + changed.toUtf8());
    }
    log.reset();
    qInfo("%d configurations in %lld ms, %d run again after a missed answer", cases, clock.elapsed(), retried);
}

QTEST_MAIN(ReadbackWindowTest)
#include "tst_readback_window.moc"
