#include "mainwindow.h"
#include "messages.h"

#include "config/configfile.h"
#include "formprobe.h"
#include "linktimes.h"
#include "link/commandline.h"
#include "provision/provisioning.h"
#include "releasegaps.h"
#include "simfirmware.h"
#include "simharness.h"

#include <QProcess>
#include <QSerialPort>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// pelko-provision against simulated devices: what it writes, what it tells
// (its exit code, its log line) and what reached the device.
class ProvisionToolTest : public QObject
{
    Q_OBJECT

private slots:
    void aFileSavedByTheWindowIsWrittenAsStartWritesItAndReadBackTheSameIntoARegularOrNewFileOnly();
    void everyOutcomeHasItsExitCodeAndLogLineUnderOneHeader();
    void aDeviceThatForgetsOneSettingIsToldOrTheSettingIsNamedAsNotChecked();
    void aWriteStoppedByASignalAtAnyLineTellsWhatReachedTheFlash();
};

namespace {

struct Run
{
    int exitCode = -1;
    QString errors;
    QString output;
};

// The tool as a desktop session without a display would start it; `signal`
// goes to it once `stopNow` holds.
Run provision(const QStringList &arguments, std::function<bool()> stopNow = {}, int signal = SIGTERM)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("PELKO_QUIET_MS"), QStringLiteral("40")); // the device is simulated
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"})
        environment.remove(QLatin1String(name));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(PELKO_PROVISION_PROGRAM), arguments);
    QString errors;
    QElapsedTimer clock;
    clock.start();
    while (tool.state() != QProcess::NotRunning && !tool.waitForFinished(20) && clock.elapsed() < 60000) {
        errors += QString::fromUtf8(tool.readAllStandardError());
        if (stopNow && stopNow()) {
            ::kill(pid_t(tool.processId()), signal);
            stopNow = {};
        }
    }
    errors += QString::fromUtf8(tool.readAllStandardError());
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, errors,
            QString::fromUtf8(tool.readAllStandardOutput())};
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void ProvisionToolTest::aFileSavedByTheWindowIsWrittenAsStartWritesItAndReadBackTheSameIntoARegularOrNewFileOnly()
{
    SimHarness sim;
    QVERIFY(sim.isReady());
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("site.json"));
    QList<QByteArray> startLines;
    QStringList said; // the boxes' titles; the file dialog answered with `saved`
    runUnattended({[&said](MessageKind, const QString &title, const QString &) { said << title; },
                   [saved](FileChoice) {
                       return saved;
                   }});
    {
        MainWindow window;
        window.session().limits() = shortLinkTimes(60, 120);
        const FormProbe form(window);
        form.click("startButton");
        form.click("readAlgoButton");
        form.find<QSpinBox>("xAlivePeriod")->setValue(1800);
        form.find<QAbstractButton>("cbTemp")->click();
        form.find<QAbstractButton>("cbTilt")->click();
        form.find<QSpinBox>("xTiltThresholdPitch")->setValue(45);
        form.click("saveAlgoConfigButton");
        sim.device().clearReceived();
        form.click("startButton");
        startLines = sim.device().receivedLines();
        form.click("stopButton");
    }
    runUnattended({});
    QCOMPARE(said, QStringList({"Information", "Success"}));
    QVERIFY(startLines.contains("ALIVE period 1800000\r\n") && startLines.contains("TILT pitch 45\r\n"));

    sim.device().clearReceived();
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    const Run write = provision({"write", "ttyPELKO0", saved, "--log", log});
    QVERIFY2(write.exitCode == 0, qPrintable(write.errors));
    const QList<QByteArray> toolLines = sim.device().receivedLines();
    const int at = toolLines.indexOf(startLines.constFirst());
    QVERIFY2(at >= 0, "the tool sent no upload");
    QCOMPARE(toolLines.mid(at, startLines.size()), startLines);

    const QString readBack = dir.filePath(QStringLiteral("read.json"));
    const Run read = provision({"read", "ttyPELKO0", readBack});
    QVERIFY2(read.exitCode == 0, qPrintable(read.errors));
    QCOMPARE(contentOf(readBack), contentOf(saved));
    QVERIFY(contentOf(log).endsWith(",2.2,site.json," +
                                    QCryptographicHash::hash(contentOf(saved), QCryptographicHash::Sha256).toHex() +
                                    ",verified,write\r\n"));

    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    for (const QString &path : {fifo, dir.path()}) { // refused before the device is read
        sim.device().clearReceived();
        const Run run = provision({QStringLiteral("read"), QStringLiteral("ttyPELKO0"), path});
        QVERIFY2(run.exitCode == 1 && run.errors.contains("could not be saved to " + path + ": it is ") &&
                     sim.device().receivedLines().isEmpty(),
                 qPrintable(run.errors));
    }
    QVERIFY(!QFileInfo(fifo).isFile() && QFileInfo(fifo).exists());

    // Held by another program, the port is busy: the device is not missing.
    QSerialPort holder;
    holder.setPortName(sim.device().portPath());
    QVERIFY(holder.open(QIODevice::ReadWrite));
    const Run busy = provision({QStringLiteral("read"), QStringLiteral("ttyPELKO0"), dir.filePath("f.json")});
    QVERIFY2(busy.exitCode == 7 && busy.errors.contains(QLatin1String("busy")), qPrintable(busy.errors));
}

void ProvisionToolTest::everyOutcomeHasItsExitCodeAndLogLineUnderOneHeader()
{
    // `port` empty: the device's; `faultOn`: the line the device forgets (or refuses, a save); `log`
    // empty: a new one beside the file.
    // `command`: write, until the rows of check.
    QString command = QStringLiteral("write");
    const auto row = [&command](const char *what, QString port, const char *release, const QByteArray &faultOn,
                                const QByteArray &file, QString log, int exitCode, const QString &told) {
        SimDevice::Options options;
        options.release = QLatin1String(release);
        SimHarness sim(options);
        QVERIFY(sim.isReady());
        const bool refused = faultOn.startsWith("SAVEPARAM") || faultOn.startsWith("DUMP");
        if (!faultOn.isEmpty())
            sim.device().setFault(faultOn, refused ? SimFault::Refuses : SimFault::Forgets);
        QTemporaryDir dir;
        // A name with a separator and quotes stays one field of the log.
        const QString path = dir.filePath(QStringLiteral("site \"north\", v2.json"));
        QVERIFY(writeFile(path, file));
        if (!log.startsWith(QLatin1Char('/')))
            log = dir.filePath(log.isEmpty() ? QStringLiteral("log.csv") : log);

        const QStringList words = command.split(QLatin1Char(' ')); // the command, then its options
        const Run tool =
            provision(words + QStringList{port.isEmpty() ? QStringLiteral("ttyPELKO0") : port, path, "--log", log});
        const QByteArray said = what + QByteArray(": ") + tool.errors.toUtf8();
        QVERIFY2(tool.exitCode == exitCode && tool.errors.contains(told), said);
        QVERIFY2(!tool.errors.contains(QLatin1Char('\x1b')) && !tool.errors.contains(QLatin1String("QStandardPaths")),
                 said);
        // Nothing saved or sent when refused; a check only reads.
        const QList<QByteArray> received = sim.device().receivedLines();
        // What is left out is named as the window's Load names it, a line each.
        for (const QString &gap : file == ReleaseGaps::kFileOf2_2 ? ReleaseGaps::kNamedOn1_9_2 : QStringList())
            QVERIFY2(tool.errors.contains(gap + '\n'), said);
        const QByteArray wire = received.join();
        if (exitCode == 1 || exitCode == 2)
            QVERIFY2(!wire.contains("SAVEPARAM") && !wire.contains("ALIVE "), what);
        const QList<QByteArray> reads = {"READY",   "DEBUG 1",        "VERSION",    "LORA GET",
                                         "DEBUG 0", "DUMP RAM PARAM", "DISCONNECTE"};
        for (const QByteArray &line : received)
            QVERIFY2(
                words.first() == QLatin1String("write") ||
                    std::any_of(reads.begin(), reads.end(), [&](const QByteArray &r) { return line.startsWith(r); }),
                said + line);
        if (exitCode == 1)
            return;
        const QList<QByteArray> lines = contentOf(log).split('\n');
        QVERIFY2(lines.size() == 3, what); // header, this write, nothing after the last line break
        QVERIFY2(lines.at(1).contains(",\"site \"\"north\"\", v2.json\","), lines.at(1).constData());
        const QString result = Provisioning::outcomeWord(Provisioning::Outcome(exitCode), words.first() == "check");
        QVERIFY2(lines.at(1).endsWith(',' + result.toUtf8() + ',' + words.first().toUtf8() + '\r'),
                 lines.at(1).constData());
        if (words.join(' ') == "write --allow-missing") // every other setting reached the flash
            QVERIFY2(sim.device().savedParameters().value("CHOC gxSup") == "4000" &&
                         sim.device().savedParameters().value("ALIVE period") == "1800000",
                     said);
    };
    const QByteArray head = R"({"format": "Pelko configuration", "version": 1, )";
    const QByteArray good = head + R"("ALIVE": {"period": 1800}})";
    row("a file that is not JSON is refused before the device is touched", {}, "2.2", {}, "{ALIVE", {}, 2,
        "refused file");
    row("a LoRa identifier that is not hexadecimal is refused, its control characters escaped", {}, "2.2", {},
        head + R"("LORA": {"APPEUI": "ZZ; SAVEPARAM\n\u001b[31m"}})", {}, 2,
        "LORA.APPEUI: \"ZZ; SAVEPARAM\\n\\x1b[31m\" is not 16 hexadecimal digits.");
    row("a 2 MB value is told cut", {}, "2.2", {}, head + R"("LORA": {"APPEUI": ")" + QByteArray(2000000, 'A') + "\"}}",
        {}, 2, "A\u2026 (2000000 characters)\"");
    row("a setting the release lacks is named beside an unknown key", {}, "2.1.1", {},
        head + R"("SHOCK": {"colour": 1}, "COMMON": {"buttonDelay": 2}})", {}, 2,
        "COMMON.buttonDelay: not offered by firmware 2.1.1.");
    row("a file for a newer release is refused, naming what the device's release lacks or takes otherwise", {}, "1.9.2",
        {}, ReleaseGaps::kFileOf2_2, {}, 2, "refused file");
    command = QStringLiteral("write --allow-missing");
    row("with --allow-missing the rest of it is written, the same settings named as the window's Load names", {},
        "1.9.2", {}, ReleaseGaps::kFileOf2_2, {}, 0, "verified");
    command = QStringLiteral("write");
    row("a port that is not listed is no device", "ttyUSB9", "2.2", {}, good, {}, 3, "Error 1");
    row("a device that refuses the save fails the write, naming the line", {}, "2.2", "SAVEPARAM ALGO", good, {}, 4,
        "the device refused \"SAVEPARAM ALGO 0\"");
    row("a device that forgets a setting fails the check", {}, "2.2", "ALIVE period", good, {}, 5,
        "ALIVE.period: wrote 1800, read back 7200");
    row("a range is told in g", {}, "2.2", "MPU maxRange", head + R"("MPU": {"maxRange": 8}})", {}, 5,
        "MPU.maxRange: wrote 8 g, read back 16 g");
    row("a device that forgets its LoRa settings fails the check", {}, "2.2", "LORA SET",
        head + R"("LORA": {"APPEUI": "70B3D57ED0000001"}})", {}, 5,
        "LORA.APPEUI: wrote \"70B3D57ED0000001\", read back \"0000000000000000\"");
    row("a device that forgets the algorithm set fails the check", {}, "2.2", "ALGO 0x",
        head + R"("algorithms": ["ALIVE", "SHOCK"]})", {}, 5, "algorithms: wrote ALIVE SHOCK, read back ALIVE");
    row("a log in a missing folder is refused before the device is touched", {}, "2.2", {}, good, "missing/log.csv", 1,
        "No such file or directory");
    row("a log that cannot be written is refused before the device is touched", {}, "2.2", {}, good, "/dev/full", 1,
        "No space left on device");
    command = QStringLiteral("check");
    row("a device that holds the file's settings matches", {}, "2.2", {}, head + R"("ALIVE": {"period": 7200}})", {}, 0,
        "matches");
    row("a device that holds another value differs, both named", {}, "2.2", {}, good, {}, 5,
        "ALIVE.period: file 1800, device 7200");
    row("a file that is not JSON is refused before the device is checked", {}, "2.2", {}, "{ALIVE", {}, 2,
        "refused file");
    row("a port that is not listed is no device to check", "ttyUSB9", "2.2", {}, good, {}, 3, "Error 1");
    row("a device that refuses its dump fails the check as a read", {}, "2.2", "DUMP", good, {}, 4, "read failed");
    command = QStringLiteral("check --allow-missing");
    row("a check with --allow-missing compares the rest", {}, "1.9.2", {}, ReleaseGaps::kFileOf2_2, {}, 5,
        "ALIVE.period: file 1800, device 7200");
    command = QStringLiteral("wirte");
    row("an unknown command is named before the help", {}, "2.2", {}, good, {}, 1, "unknown command \"wirte\"");

    // Files alone, no device: A is the 2.2 file, B another.
    const auto offline = [](const char *what, const QStringList &words, const QByteArray &other, int exitCode,
                            const QString &told) {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.json")), b = dir.filePath(QStringLiteral("b.json"));
        QVERIFY(writeFile(a, ReleaseGaps::kFileOf2_2) && writeFile(b, other));
        QStringList args;
        for (const QString &word : words)
            args << (word == QLatin1String("A") ? a : word == QLatin1String("B") ? b : word);
        const Run tool = provision(args);
        QVERIFY2(tool.exitCode == exitCode && (tool.errors + tool.output).contains(told),
                 qPrintable(what + QStringLiteral(": ") + tool.errors + tool.output));
    };
    offline("a file is valid for the release it was made for", {"validate", "A", "--release", "2.2"}, {}, 0,
            "valid for firmware 2.2");
    offline("an older release names what it leaves out", {"validate", "A", "--release", "1.9.2"}, {}, 2,
            "left out: MOTION.tracking (not offered by firmware 1.9.2)");
    offline("a file's own problem is named", {"validate", "B", "--release", "2.2"}, head + R"("SHOCK": {"hue": 1}})", 2,
            "Unknown key \"SHOCK.hue\".");
    offline("an unknown release is a usage error", {"validate", "A", "--release", "1.9.9"}, {}, 1,
            "unknown release \"1.9.9\"");
    offline("a file holds the same settings as itself", {"diff", "A", "A"}, {}, 0, "the same settings");
    offline("a setting held otherwise is named in the file's units", {"diff", "A", "B"},
            head + R"("SHOCK": {"gxSup": 5000, "enableShockLog": true}})", 5, "\nSHOCK.gxSup: 4000 mG, 5000 mG\n");
    offline("a setting one file lacks is named missing", {"diff", "B", "A"}, head + R"("ALIVE": {"period": 1800}})", 5,
            "COMMON.buttonDelay: missing, 3 s\n");
    offline("a file with a problem of its own is not compared", {"diff", "A", "B"}, "{ALIVE", 2, "b.json: The file");

    // send: a line after another after the handshake, the answers on standard output, the keys masked.
    const auto sending = [](const char *what, const char *port, const QStringList &lines, int exitCode,
                            const QString &told, const QByteArray &last) {
        SimHarness sim;
        QVERIFY(sim.isReady());
        sim.device().setFault("ALIVE period 1", SimFault::Refuses);
        const Run tool = provision(QStringList{"send", port} + lines);
        const QList<QByteArray> received = sim.device().receivedLines();
        QVERIFY2(tool.exitCode == exitCode && (tool.errors + tool.output).contains(told) &&
                     !tool.output.contains("2B7E151628AED2A6ABF7") && received.value(received.size() - 2) == last,
                 qPrintable(what + QStringLiteral(": ") + tool.errors + tool.output + received.join('|')));
    };
    sending("every line answered OK", "ttyPELKO0",
            {"VERSION", "LORA SET APPKEY 2B7E151628AED2A6ABF7158809CF4F3C", "LORA GET"}, 0,
            "AppKey : XXXXXXXXXXXXXXXXXXXXXXXXXXCF4F3C", "LORA GET\r\n");
    sending("a refused line ends it", "ttyPELKO0", {"ALIVE period 1000", "VERSION"}, 4,
            "\"ALIVE period 1000\" was not answered \"OK\"", "ALIVE period 1000\r\n");
    sending("no device", "ttyUSB9", {"VERSION"}, 3, "not found", "");
    sending("a line too long is sent to no device", "ttyPELKO0", {QString(65, 'A')}, 1, "longer than the 64", "");

    // Eight processes starting one log leave one header.
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    QProcess tools[8];
    for (QProcess &tool : tools) // a file that is not there: refused at once
        tool.start(QStringLiteral(PELKO_PROVISION_PROGRAM),
                   {"write", "ttyUSB9", dir.filePath("none.json"), "--log", log});
    for (QProcess &tool : tools)
        QVERIFY(tool.waitForFinished(30000) && tool.exitCode() == 2);
    const QByteArray content = contentOf(log), header(Provisioning::kLogHeader);
    QVERIFY(content.startsWith(header) && content.count(header) == 1);
    QCOMPARE(content.count('\n'), 9);
}

namespace {

// Every setting a file can hold and the algorithm set, in sending order, each
// with a value other than the one a device leaves the factory with.
QVector<Upload::SentLine> fleetWrite()
{
    using K = Upload::Kind;
    const QMap<QByteArray, QByteArray> factory = SimFirmware::factoryParameters();
    QVector<Upload::SentLine> lines;
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        const Upload::Step &step = Upload::kCatalogue[i];
        const auto &entries = ConfigFile::entries();
        const bool inFile = step.kind == K::Mask || std::any_of(entries.begin(), entries.end(), [&](const auto &e) {
                                return step.widget && (qstrcmp(e.widget, step.widget) == 0 ||
                                                       (e.partner && qstrcmp(e.partner, step.widget) == 0));
                            });
        const QByteArray was = factory.value((QByteArray(step.cmd) + ' ' + step.key).trimmed());
        if (!step.cmd || !inFile || (step.kind == K::FixedText && was == step.text))
            continue; // not a setting, or the pair's button the device already has
        const int number = was.toInt(nullptr, 0);
        const int value = step.kind == K::Checked     ? 1 - number
                          : step.kind == K::Range     ? 2
                          : step.kind == K::Frequency ? 8
                          : step.kind == K::Seconds   ? number + 1000
                          : number == 500             ? 499 // the top vibration frequency starts at its maximum
                                                      : number + 1;
        const QByteArray text = step.kind == K::FixedText ? QByteArray(step.text)
                                : step.kind == K::Text    ? was.chopped(1) + (was.endsWith('A') ? "B" : "A")
                                                          : QByteArray();
        lines.append({&step, value, QString::fromLatin1(text), 0});
    }
    return lines;
}

} // namespace

void ProvisionToolTest::aDeviceThatForgetsOneSettingIsToldOrTheSettingIsNamedAsNotChecked()
{
    const QVector<Upload::SentLine> lines = fleetWrite();
    QCOMPARE(lines.size(), ConfigFile::entries().size() + 1);
    // What the device cannot tell, on every write.
    const QStringList notChecked = {QStringLiteral("algorithms (VIBRATION)"), QStringLiteral("TILT.inhibition")};
    for (int forgotten = -1; forgotten < lines.size(); ++forgotten) { // -1: a device that keeps everything
        SimFirmware device;
        device.handle("DEBUG 1");
        for (int i = 0; i < lines.size(); ++i) {
            const Upload::SentLine &line = lines.at(i);
            const QByteArray sent =
                buildCommandLine(line.step->cmd, line.step->key, line.value, line.text).withoutEnding();
            QVERIFY2(device.handle(sent, i != forgotten).status == "OK", sent.constData());
        }
        device.handle("SAVEPARAM");
        const Provisioning::Verification told =
            Provisioning::verify(lines, device.handle("DUMP RAM PARAM").wire(), device.handle("LORA GET").wire());
        QCOMPARE(told.notChecked, notChecked);
        QStringList named;
        for (const QString &difference : told.differences)
            named << difference.section(QStringLiteral(": wrote "), 0, 0);
        const QString name = forgotten < 0 ? QString() : ConfigFile::settingName(*lines.at(forgotten).step);
        QCOMPARE(named, name.isEmpty() || notChecked.contains(name) ? QStringList() : QStringList(name));
    }
    // A device that runs one algorithm more than was sent differs, whatever it calls it.
    const auto mask =
        std::find_if(lines.begin(), lines.end(), [](auto &l) { return l.step->kind == Upload::Kind::Mask; });
    SimFirmware device;
    for (const char *line : {"DEBUG 1", "ALGO 0x2d", "SAVEPARAM"})
        device.handle(line);
    for (const char *word : {"MOVEMENT", "MOTION", "MVT", "NEW"}) {
        const QByteArray dump = device.handle("DUMP RAM PARAM").wire().replace("MOVEMENT", word);
        QCOMPARE(Provisioning::check({{mask->step, 0xd, {}, 0}}, dump, {}).differences,
                 QStringList(QStringLiteral("algorithms: file ALIVE SHOCK TILT, device ALIVE SHOCK TILT ") +
                             (qstrcmp(word, "NEW") == 0 ? "and unknown NEW" : "MOTION")));
    }
}

void ProvisionToolTest::aWriteStoppedByASignalAtAnyLineTellsWhatReachedTheFlash()
{
    // Writes of random values stopped at a random line, read-back included:
    // the exit code, the log and the words agree with the device's saves and flash.
    const quint32 seed = qEnvironmentVariableIsSet("PELKO_SIGNAL_SEED") ? qgetenv("PELKO_SIGNAL_SEED").toUInt() : 32;
    const int cases = qMax(6, qEnvironmentVariableIntValue("PELKO_SIGNAL_CASES"));
    QRandomGenerator random(seed);
    SimHarness sim;
    QVERIFY(sim.isReady());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.json")), log = dir.filePath(QStringLiteral("log.csv"));
    for (int n = 0; n < cases; ++n) {
        const QByteArray period = QByteArray::number(random.bounded(60, 9000));
        const QByteArray appEui = "70B3D57ED0" + QByteArray::number(random.bounded(0x100000, 0xffffff), 16).toUpper();
        QVERIFY(writeFile(path, R"({"format": "Pelko configuration", "version": 1, "ALIVE": {"period": )" + period +
                                    R"(}, "LORA": {"APPEUI": ")" + appEui + "\"}}"));
        const auto before = sim.device().savedParameters();
        sim.device().clearReceived();
        const int atLine = random.bounded(1, 40);
        int signalled = -1; // lines the device had when the signal went
        const Run tool = provision(
            {"write", "ttyPELKO0", path, "--log", log},
            [&] { return (signalled = int(sim.device().receivedLines().size())) >= atLine; },
            random.bounded(2) ? SIGINT : SIGTERM);
        const QList<QByteArray> wire = sim.device().receivedLines();
        const bool algoSaved = wire.contains("SAVEPARAM ALGO 0\r\n"), loraSaved = wire.contains("SAVEPARAM LORA 0\r\n");
        // A whole read-back ends with the dump, "DEBUG 0" and the goodbye.
        const int exitCode = !algoSaved ? 6 : !loraSaved ? 10 : wire.value(wire.size() - 3).startsWith("DUMP") ? 0 : 9;
        const QString what =
            QStringLiteral("seed %1 case %2: ").arg(seed).arg(n) + QByteArrayList(wire).join('|') + tool.errors;
        const QString word = Provisioning::outcomeWord(Provisioning::Outcome(exitCode));
        const bool writing = std::any_of(wire.begin(), wire.end(), [](auto &l) { return l.startsWith("ALIVE "); });
        const char *account = exitCode == 10 ? "the algorithm settings saved" : writing ? "none of them saved" : "";
        QVERIFY2(tool.exitCode == exitCode && tool.errors.endsWith(word + '\n') &&
                     contentOf(log).endsWith(',' + word.toUtf8() + ",write\r\n") &&
                     (exitCode % 9 == 0 || tool.errors.contains(QLatin1String(account))),
                 qPrintable(what));
        // The flash holds the file's part once its save went, and nothing new before.
        const auto flash = sim.device().savedParameters();
        QVERIFY2(flash.value("ALIVE period") == (algoSaved ? period + "000" : before.value("ALIVE period")) &&
                     flash.value("LORA SET APPEUI") == (loraSaved ? appEui : before.value("LORA SET APPEUI")),
                 qPrintable(what));
        // Nothing after the signal but the line in flight and the goodbye, said
        // whenever a write was stopped.
        const QList<QByteArray> later = wire.mid(signalled < atLine ? wire.size() : signalled);
        QVERIFY2(later.size() - later.count("DISCONNECTE\r\n") <= 1 &&
                     (!writing || exitCode % 9 == 0 || wire.last() == "DISCONNECTE\r\n"),
                 qPrintable(what));
    }
}

QTEST_MAIN(ProvisionToolTest)
#include "tst_provisiontool.moc"
