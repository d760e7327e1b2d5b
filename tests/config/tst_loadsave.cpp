#include "mainwindow.h"

#include "config/configfile.h"
#include "debuglog.h"
#include "dialogwatcher.h"
#include "app/formvalues.h"
#include "firmware/releases.h"
#include "linktimes.h"
#include "messages.h"
#include "readback/comparison.h"
#include "releasegaps.h"
#include "simharness.h"

#include <QtTest>
#include <QtWidgets>

// Configurations saved from the form and loaded again: what the form shows,
// what Start puts on the wire, and files the window refuses whole.
class LoadSaveTest : public QObject
{
    Q_OBJECT

private slots:
    void savedThenLoadedFormStartsTheSameOnTheWire();
    void aFileThatCannotBeAppliedWholeChangesNothing();
    void aFileForAnotherReleaseIsLoadedOnlyIfTheUserTakesWhatTheReleaseLeavesOut();
    void theFieldsMarkedAfterReadAreThoseStartChangesOnTheDevice();
    void aFormPreparedForAReleaseIsTheFormAConnectionToItLeaves();
    void connectingAPreparedFormNamesWhatTheDevicesReleaseLacks();
};

namespace {

// A window connected to a simulated device, as a technician leaves it after "Connection".
struct Rig
{
    DebugLog log; // every exchange is traced: keep the test output short
    SimHarness sim;
    DialogWatcher dialogs;
    std::unique_ptr<MainWindow> window;
    LinkLimits limits;

    Rig(const char *release, const LinkLimits &times) : sim(options(release)), limits(times) { QVERIFY(sim.isReady()); }
    static SimDevice::Options options(const char *release)
    {
        SimDevice::Options o;
        o.release = QLatin1String(release);
        o.lineIdleMs = 1;
        return o;
    }
    void connect()
    {
        window = std::make_unique<MainWindow>();
        dialogs.clear();
        click("startButton");
        // A handshake that missed an answer fails, or leaves the release unknown.
        linkMissed =
            linkMissed || window->firmwareVersion == 0.0f ||
            dialogs.summary() != QLatin1String("information Information: Successfully connected to the pelko !");
        sim.device().clearReceived();
        dialogs.clear();
    }
    bool linkMissed = false;
    void click(const char *name)
    {
        window->session().limits() = limits; // a window prepared apart talks as quickly
        window->findChild<QPushButton *>(QLatin1String(name))->click();
    }
    // Clicks Load or Save with `path` as the file picked. The file goes in
    // through the window's file-choice seam: a file dialog answered by a
    // timer hung now and then while its folder was still being listed.
    void pickFile(const char *button, const QString &path)
    {
        runUnattended({{}, [path](FileChoice) {
                           return path;
                       }});
        click(button);
        runUnattended({});
    }
    QByteArrayList start()
    {
        sim.device().clearReceived();
        dialogs.clear();
        click("startButton");
        if (!dialogs.summary().contains(QLatin1String("successfully configured"))) {
            linkMissed = true;
            return {dialogs.summary().toUtf8()};
        }
        // The motion start and stop frames go out while their box is open,
        // which after the motion summary was ticked depends on the clicks
        // that led there; a file holds settings, not that path.
        QByteArrayList lines = sim.device().receivedLines();
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [](const QByteArray &line) { return line.startsWith("MVT loraAtSt"); }),
                    lines.end());
        return lines;
    }
};

// Up to three clicks on algorithm boxes, then clicks and values on fields the
// form leaves open to a person at that moment, then up to two more on boxes.
void configure(QWidget &window, QRandomGenerator &random)
{
    QList<QWidget *> fields, algorithms;
    for (const char *tab : {"tab_ALGO", "tab_LORA"})
        for (QWidget *w : window.findChild<QWidget *>(QLatin1String(tab))->findChildren<QWidget *>())
            if (qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QSlider *>(w) ||
                qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w))
                fields << w;
    for (const Model::Algorithm &a : Model::kAlgorithms)
        algorithms << window.findChild<QWidget *>(QLatin1String(a.checkBox));
    for (int i = -random.bounded(4), last = 30 + random.bounded(3); i < last; ++i) {
        QList<QWidget *> open;
        for (QWidget *w : i < 0 || i >= 30 ? algorithms : fields)
            if (w->isEnabled())
                open << w;
        QWidget *w = open.at(random.bounded(open.size()));
        QCoreApplication::processEvents(); // as a person clicks: the window has caught up with the last one
        if (auto *spin = qobject_cast<QSpinBox *>(w))
            spin->setValue(spin->minimum() +
                           int(random.generateDouble() * (double(spin->maximum()) - spin->minimum())));
        else if (auto *real = qobject_cast<QDoubleSpinBox *>(w))
            real->setValue(
                qRound(real->minimum() * 100 + random.bounded(int((real->maximum() - real->minimum()) * 100))) / 100.0);
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setCurrentIndex(random.bounded(combo->count()));
        else if (auto *slider = qobject_cast<QSlider *>(w))
            slider->setValue(slider->minimum() + random.bounded(slider->maximum() - slider->minimum() + 1));
        else
            static_cast<QAbstractButton *>(w)->click();
    }
}

// A window without a device, prepared for `release` with the choice beside Connection.
std::unique_ptr<MainWindow> preparedFor(const char *release)
{
    auto window = std::make_unique<MainWindow>();
    for (QComboBox *choice : window->findChildren<QComboBox *>())
        if (choice->accessibleName() == QLatin1String("Prepare for firmware"))
            choice->setCurrentIndex(choice->findData(QLatin1String(release)));
    return window;
}

// What a person sees of every named field: enabled, shown, range and value.
// Only a device fills the status box, the console, its LoRa identity and
// choices; the link's buttons (Read, Start, the tools) follow the link.
QStringList fieldsOf(const MainWindow &window)
{
    static const QRegularExpression byDevice(
        QStringLiteral("^(qt_.*|leVersion|consoleOutput|le(Dev|App|Nwk).*|rb(Message|ABP|OTAA|ADR|P.*Network).*)$"));
    QStringList fields;
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || byDevice.match(w->objectName()).hasMatch() ||
            (qobject_cast<const QPushButton *>(w) && !w->objectName().contains(QLatin1String("AlgoConfig"))))
            continue;
        QString field =
            w->objectName() + (w->isEnabled() ? " on" : " off") + (w->isVisibleTo(&window) ? "" : " hidden");
        for (const char *property : {"minimum", "maximum", "value", "checked", "text", "currentText", "count"})
            field += QLatin1Char(' ') + w->property(property).toString();
        fields << field;
    }
    return fields;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void LoadSaveTest::savedThenLoadedFormStartsTheSameOnTheWire()
{
    const quint32 seed =
        qEnvironmentVariableIsSet("PELKO_LOADSAVE_SEED") ? qgetenv("PELKO_LOADSAVE_SEED").toUInt() : 18;
    const int cases =
        qEnvironmentVariableIsSet("PELKO_LOADSAVE_CASES") ? qEnvironmentVariableIntValue("PELKO_LOADSAVE_CASES") : 6;
    const char *const releases[] = {"1.8", "1.9.2", "2.0", "2.2"};
    QTemporaryDir dir;
    for (quint32 s = seed; s < seed + quint32(cases); ++s) {
        const QByteArray where = "seed " + QByteArray::number(s) + " (PELKO_LOADSAVE_SEED=" + QByteArray::number(s) +
                                 " PELKO_LOADSAVE_CASES=1 replays it), release " +
                                 releases[QRandomGenerator(s).bounded(4)];
        const QString path = dir.filePath(QStringLiteral("case%1.json").arg(s));
        // Short quiet times keep the cases quick; an upload that missed an
        // answer on a busy machine runs again with a longer one.
        QByteArrayList byHand, loaded, fromPrepared;
        bool linkMissed = true;
        for (int quietMs = 3; quietMs <= 192 && linkMissed; quietMs *= 4) {
            QFile::remove(path); // a name that exists would be asked about first
            QFile::remove(path + ".again.json");
            QFile::remove(path + ".prepared.json");
            QRandomGenerator random(s);
            const char *release = releases[random.bounded(4)];
            Rig rig(release, shortLinkTimes(quietMs, quietMs * 4));
            rig.connect();
            configure(*rig.window, random);
            rig.pickFile("saveAlgoConfigButton", path);
            byHand = rig.start();
            // The same clicks on a form prepared without a device, saved there.
            QRandomGenerator same(s);
            rig.window = preparedFor(releases[same.bounded(4)]);
            configure(*rig.window, same);
            rig.pickFile("saveAlgoConfigButton", path + QLatin1String(".prepared.json"));

            rig.connect();      // a fresh window, as the device now holds it
            if (rig.linkMissed) // a line may still reach the device late
                continue;
            rig.pickFile("loadAlgoConfigButton", path);
            QVERIFY2(rig.sim.device().receivedLines().isEmpty(), where + ": Load wrote to the device");
            QVERIFY2(rig.dialogs.summary().isEmpty(), where + ": " + rig.dialogs.summary().toUtf8());
            rig.pickFile("saveAlgoConfigButton", path + QLatin1String(".again.json"));
            const QByteArrayList saved = contents(path).split('\n'), again = contents(path + ".again.json").split('\n');
            if (again != saved) // the case, before the first line that differs
                qWarning("%s", where.constData());
            QCOMPARE(again, saved);
            loaded = rig.start();
            rig.connect();
            if (rig.linkMissed)
                continue;
            rig.pickFile("loadAlgoConfigButton", path + QLatin1String(".prepared.json"));
            QVERIFY2(rig.dialogs.summary().isEmpty(), where + ": " + rig.dialogs.summary().toUtf8());
            fromPrepared = rig.start();
            linkMissed = rig.linkMissed;
        }
        if (loaded != byHand || fromPrepared != byHand)
            qWarning("%s", where.constData());
        QCOMPARE(loaded, byHand);
        QCOMPARE(fromPrepared, byHand);
    }
}

void LoadSaveTest::aFileThatCannotBeAppliedWholeChangesNothing()
{
    Rig rig("2.1.1", shortLinkTimes(100, 100));
    rig.connect();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.json"));
    const auto refused = [&](const QByteArray &settings, const QStringList &problems) {
        QFile written(path);
        const QByteArray file = settings.startsWith(',')
                                    ? "{\"format\": \"Pelko configuration\", \"version\": 1" + settings + "}"
                                    : settings;
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file) == file.size());
        written.close();
        const ConfigFile::FormValues before = formValues(*rig.window);
        rig.dialogs.clear();
        rig.pickFile("loadAlgoConfigButton", path);
        QCOMPARE(rig.dialogs.summary(),
                 QStringLiteral("warning Error: %1 was not loaded; the form is unchanged.\n\n- %2")
                     .arg(path, problems.join(QLatin1String("\n- "))));
        QVERIFY(formValues(*rig.window) == before);
        QCOMPARE(rig.sim.device().receivedLines(), QByteArrayList());
    };
    refused("{\"format\": ", {"The file is not JSON: unterminated object at character 11."});
    refused(", \"version\": 2", {"The file has format version 2; this program reads version 1."});
    refused(", \"SHOCK\": {\"colour\": 1}, \"PAINT\": {}", {"Unknown key \"PAINT\".", "Unknown key \"SHOCK.colour\"."});
    refused(", \"ALIVE\": {\"period\": \"ten\", \"modeRefresh\": 1}, \"LORA\": {\"APPEUI\": 7}",
            {"ALIVE.modeRefresh: true or false is expected.", "ALIVE.period: a number is expected.",
             "LORA.APPEUI: a text is expected."});
    refused(", \"SHOCK\": {\"gxSup\": 99999}, \"MPU\": {\"maxRange\": 3}",
            {"MPU.maxRange: 3 is not one of 2, 4, 8, 16.", "SHOCK.gxSup: 99999 is out of range (50 to 15999)."});
    refused(", \"algorithms\": [\"ALIVE\", \"SHOCK\", \"MOTION\", \"TILT\"]",
            {"More than two algorithms: SHOCK, MOTION, TILT."});
    refused(", \"algorithms\": [\"ALIVE\", \"VIBRATION\", \"SHOCK\"]",
            {"VIBRATION runs alone beside ALIVE, not with SHOCK."});
    refused(", \"COMMON\": {\"enableEventLog\": true}, \"SHOCK\": {\"colour\": 1}",
            {"Unknown key \"SHOCK.colour\".", "COMMON.enableEventLog: not offered by firmware 2.1.1."});
    refused(", \"release\": 2.2", {"release: a text is expected."});

    // A saved file names the release it was made for and the program; the
    // files above, without either, were judged by their settings alone.
    rig.pickFile("saveAlgoConfigButton", path);
    QFile saved(path);
    const QJsonObject root = QJsonDocument::fromJson(saved.open(QIODevice::ReadOnly) ? saved.readAll() : "").object();
    QCOMPARE(root.value(QStringLiteral("release")).toString() + "; " + root.value(QStringLiteral("program")).toString(),
             QStringLiteral("2.1.1; Pelko Configurator 2.4.4"));
}

void LoadSaveTest::aFileForAnotherReleaseIsLoadedOnlyIfTheUserTakesWhatTheReleaseLeavesOut()
{
    Rig rig("1.9.2", shortLinkTimes(100, 100));
    rig.connect();
    QVERIFY(rig.window->readDevice().succeeded);
    rig.sim.device().clearReceived();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ReleaseGaps::kFileOf2_2) > 0);
    file.close();
    for (const bool yes : {false, true}) {
        const ConfigFile::FormValues before = formValues(*rig.window);
        QStringList named;
        runUnattended({{},
                       [path](FileChoice) { return path; },
                       [&](const QString &, const QString &text) {
                           for (const QString &line : text.split(QLatin1Char('\n')))
                               if (line.startsWith(QLatin1String("- ")))
                                   named << line.mid(2);
                           return yes;
                       }});
        rig.click("loadAlgoConfigButton");
        runUnattended({});
        QCOMPARE(named, ReleaseGaps::kNamedOn1_9_2);
        const ConfigFile::FormValues after = formValues(*rig.window);
        ConfigFile::FormValues expected = before;
        // Yes takes the rest of the file; what the release lacks keeps the form's value.
        const std::pair<const char *, QVariant> rest[] = {
            {"xAlivePeriod", 1800}, {"xChocGxSup", 4000}, {"cbChoc", true}, {"cbTiltModeSignedMeasure", true}};
        for (const auto &[widget, value] : rest)
            if (yes)
                expected.insert(QLatin1String(widget), value);
        for (const char *widget : {"xAlivePeriod", "xChocGxSup", "cbChoc", "cbTiltModeSignedMeasure", "xButtonDelay",
                                   "cbMvtTracking", "cbChocEnableShockLog"})
            QCOMPARE(after.value(QLatin1String(widget)), expected.value(QLatin1String(widget)));
        if (!yes)
            QVERIFY(after == before);
    }
    QCOMPARE(rig.sim.device().receivedLines(), QByteArrayList());
}

namespace {

// The fields marked beside the form, by name, and the count line.
QStringList marked(const MainWindow &window)
{
    QCoreApplication::processEvents(); // marks follow changes once they are done
    QStringList names;
    QString count;
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->property("markedField").isValid())
            names << label->property("markedField").toString();
        if (label->accessibleName() == QLatin1String("Settings Start will change"))
            count = label->text();
    }
    names.sort();
    return names << count;
}

// The fields whose setting a Start changed on the device, of those the device
// reports, and the count line they make.
QStringList changedByStart(const QMap<QByteArray, QByteArray> &before, const QMap<QByteArray, QByteArray> &after,
                           const QVector<Comparison::Setting> &reported)
{
    QStringList names;
    for (const Comparison::Setting &setting : reported) {
        const QByteArray key = (QByteArray(setting.row->cmd) + ' ' + setting.row->key).trimmed();
        const QByteArray was = before.value(key), is = after.value(key);
        bool numbers = false, too = false;
        const int wasNumber = was.toInt(&numbers, 0), isNumber = is.toInt(&too, 0);
        if (!setting.checked || (numbers && too ? wasNumber == isNumber : was.toLower() == is.toLower()))
            continue;
        if (setting.row->kind != Upload::Kind::Mask)
            names << QLatin1String(setting.row->widget);
        for (const Upload::AlgorithmBit &box : Upload::kAlgorithmBits)
            if (setting.row->kind == Upload::Kind::Mask && (wasNumber ^ isNumber) & box.bit & ~256)
                names << QLatin1String(box.checkBox);
    }
    names.sort();
    return names << Comparison::differenceCount(names.size());
}

} // namespace

void LoadSaveTest::theFieldsMarkedAfterReadAreThoseStartChangesOnTheDevice()
{
    // A device left in a random state by a random upload, read, edited at
    // random: Start changes exactly the marked fields, until none are left.
    const quint32 seed = qEnvironmentVariableIsSet("PELKO_MARKS_SEED") ? qgetenv("PELKO_MARKS_SEED").toUInt() : 27;
    const int cases =
        qEnvironmentVariableIsSet("PELKO_MARKS_CASES") ? qEnvironmentVariableIntValue("PELKO_MARKS_CASES") : 4;
    const char *const releases[] = {"1.8", "1.9.2", "2.0", "2.2"};
    for (quint32 s = seed; s < seed + quint32(cases); ++s) {
        const QByteArray where = "seed " + QByteArray::number(s) + " (PELKO_MARKS_SEED=" + QByteArray::number(s) +
                                 " PELKO_MARKS_CASES=1 replays it)";
        bool linkMissed = true;
        for (int quietMs = 3; quietMs <= 192 && linkMissed; quietMs *= 4) {
            QRandomGenerator random(s);
            Rig rig(releases[random.bounded(4)], shortLinkTimes(quietMs, quietMs * 4));
            rig.connect();
            configure(*rig.window, random);
            rig.start();
            // Half the devices run SHOCK, MOTION and TILT, one more than the form holds.
            if (random.bounded(2))
                rig.sim.device().setSavedParameter("ALGO", "0x2d");
            // Edits in the first round; in the second, what the form forces on
            // reading the device (ORIENTATION's range, snapped values) is marked
            // and written; by the third the device holds the form.
            for (int round = 0; round < 3 && !rig.linkMissed; ++round) {
                const QByteArray when = where + ", round " + QByteArray::number(round);
                rig.connect();
                QVERIFY2(marked(*rig.window) == QStringList(QString()), when + ": marked before Read");
                rig.linkMissed = rig.linkMissed || !rig.window->readDevice().succeeded;
                if (round == 0)
                    configure(*rig.window, random);
                const QStringList marks = marked(*rig.window);
                if (round == 2 && !rig.linkMissed)
                    QVERIFY2(marks == QStringList(QString()), when + ": left marked " + marks.join(' ').toUtf8());
                if (round == 2 || rig.linkMissed)
                    break;
                const auto reported =
                    Comparison::compare(rig.window->uploadPlan().lines(),
                                        Comparison::deviceState(rig.window->paramDump, rig.window->loraAnswer));
                const QMap<QByteArray, QByteArray> before = rig.sim.device().savedParameters();
                rig.start();
                QVERIFY2(marked(*rig.window) == QStringList(QString()), when + ": marked after Start");
                const QStringList changed = changedByStart(before, rig.sim.device().savedParameters(), reported);
                QVERIFY2(rig.linkMissed || marks == changed,
                         when + ": marked " + marks.join(' ').toUtf8() + "; changed " + changed.join(' ').toUtf8());
            }
            linkMissed = rig.linkMissed;
        }
        QVERIFY2(!linkMissed, where + ": no upload went through");
    }
}

void LoadSaveTest::aFormPreparedForAReleaseIsTheFormAConnectionToItLeaves()
{
    for (const Firmware::Release &release : Firmware::kReleases) {
        const QByteArray name = Firmware::releaseName(release.version).toLatin1();
        Rig rig(name.constData(), shortLinkTimes(100, 100));
        std::unique_ptr<MainWindow> prepared = preparedFor(name.constData());
        const QStringList offline = fieldsOf(*prepared);
        QCOMPARE(rig.sim.device().receivedLines(), QByteArrayList()); // nothing reaches a port meanwhile
        QCOMPARE(prepared->findChild<QTextEdit *>(QStringLiteral("leVersion"))->toPlainText(),
                 QStringLiteral("Preparing for firmware %1: no device connected").arg(QLatin1String(name)));
        rig.connect();
        QVERIFY2(!rig.linkMissed, name);
        const QStringList connected = fieldsOf(*rig.window);
        for (int i = 0; i < offline.size() || i < connected.size(); ++i)
            QVERIFY2(offline.value(i) == connected.value(i),
                     name + ": prepared " + offline.value(i).toUtf8() + ", connected " + connected.value(i).toUtf8());
    }
}

void LoadSaveTest::connectingAPreparedFormNamesWhatTheDevicesReleaseLacks()
{
    Rig rig("1.9.2", shortLinkTimes(100, 100));
    rig.window = preparedFor("2.2");
    rig.click("startButton");
    // The event log's, the motion tracking's and the shock log's settings.
    const QString named =
        QStringLiteral("COMMON.buttonDelay COMMON.enableEventLog COMMON.nbAliveFrameBeforeLog "
                       "COMMON.nbSecondBeforeStart MOTION.burstMode MOTION.frameNbBeforeNextBurst "
                       "MOTION.motionNbBurst MOTION.motionPeriod MOTION.stillnessNbBurst "
                       "MOTION.stillnessPeriod MOTION.tracking SHOCK.enableShockLog "
                       "SHOCK.nbAliveFrameBeforeShockLog")
            .replace(QRegularExpression("(\\S+) ?"), "- left out: \\1 (not offered by firmware 1.9.2)\n");
    QCOMPARE(rig.dialogs.summary(),
             QStringLiteral("information Information: Successfully connected to the pelko ! | warning Another firmware "
                            "release: The form was prepared for firmware 2.2; the connected device has firmware "
                            "1.9.2, which takes some of its settings otherwise:\n\n%1\nThe form keeps them; Start "
                            "sends the device only what its firmware offers.")
                 .arg(named));
    QCOMPARE(rig.window->firmwareVersion, 1.92f); // the preparation is over: the form is the device's
}

QTEST_MAIN(LoadSaveTest)
#include "tst_loadsave.moc"
