#include "mainwindow.h"
#include "messages.h"

#include "config/configfile.h"
#include "formprobe.h"
#include "link/commandline.h"
#include "provision/provisioning.h"
#include "simfirmware.h"
#include "simharness.h"

#include <QProcess>
#include <QSerialPort>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

// pelko-provision against simulated devices: what it writes, what it tells
// (its exit code, its log line) and what reached the device.
class ProvisionToolTest : public QObject
{
    Q_OBJECT

private slots:
    void aFileSavedByTheWindowIsWrittenAsStartWritesItAndReadsBackTheSame();
    void everyOutcomeHasItsExitCodeAndLogLine_data();
    void everyOutcomeHasItsExitCodeAndLogLine();
    void aDeviceThatForgetsOneSettingIsToldOrTheSettingIsNamedAsNotChecked_data();
    void aDeviceThatForgetsOneSettingIsToldOrTheSettingIsNamedAsNotChecked();
    void eightProcessesStartingOneLogLeaveOneHeader();
    void readSavesOnlyToARegularFileOrANewOneAndTellsABusyPort();
};

namespace {

struct Run
{
    int exitCode = -1;
    QString errors;
};

// The tool as a desktop session without a display would start it; `stopWhen`:
// SIGTERM once standard error shows that text.
Run provision(const QStringList &arguments, QString stopWhen = QString())
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(PELKO_PROVISION_PROGRAM), arguments);
    QString errors;
    QElapsedTimer clock;
    clock.start();
    while (tool.state() != QProcess::NotRunning && !tool.waitForFinished(20) && clock.elapsed() < 60000) {
        errors += QString::fromUtf8(tool.readAllStandardError());
        if (!stopWhen.isEmpty() && errors.contains(stopWhen)) {
            tool.terminate();
            stopWhen.clear();
        }
    }
    errors += QString::fromUtf8(tool.readAllStandardError());
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, errors};
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The window with its boxes answered and its file dialog given `file`; the
// connection's box is the first thing it says.
struct Window
{
    explicit Window(const QString &file)
    {
        runUnattended({[this](MessageKind, const QString &title, const QString &) { said << title; },
                       [file](FileChoice) {
                           return file;
                       }});
    }
    ~Window() { runUnattended({}); }
    MainWindow window;
    FormProbe form{window};
    QStringList said;
};

} // namespace

void ProvisionToolTest::aFileSavedByTheWindowIsWrittenAsStartWritesItAndReadsBackTheSame()
{
    SimHarness sim;
    QVERIFY(sim.isReady());
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("site.json"));
    QList<QByteArray> startLines;
    {
        Window w(saved);
        w.form.click("startButton");
        w.form.click("readAlgoButton");
        w.form.find<QSpinBox>("xAlivePeriod")->setValue(1800);
        w.form.find<QAbstractButton>("cbTemp")->click();
        w.form.find<QAbstractButton>("cbTilt")->click();
        w.form.find<QSpinBox>("xTiltThresholdPitch")->setValue(45);
        w.form.click("saveAlgoConfigButton");
        sim.device().clearReceived();
        w.form.click("startButton");
        startLines = sim.device().receivedLines();
        w.form.click("stopButton");
        QCOMPARE(w.said, QStringList({QStringLiteral("Information"), QStringLiteral("Success")}));
    }
    QVERIFY(startLines.contains("ALIVE period 1800000\r\n"));
    QVERIFY(startLines.contains("TILT pitch 45\r\n"));

    sim.device().clearReceived();
    const QString port = QStringLiteral("ttyPELKO0");
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    const Run write = provision({QStringLiteral("write"), port, saved, QStringLiteral("--log"), log});
    QVERIFY2(write.exitCode == 0, qPrintable(write.errors));
    const QList<QByteArray> toolLines = sim.device().receivedLines();
    const int at = toolLines.indexOf(startLines.constFirst());
    QVERIFY2(at >= 0, "the tool sent no upload");
    QCOMPARE(toolLines.mid(at, startLines.size()), startLines);

    const QString readBack = dir.filePath(QStringLiteral("read.json"));
    const Run read = provision({QStringLiteral("read"), port, readBack});
    QVERIFY2(read.exitCode == 0, qPrintable(read.errors));
    QCOMPARE(contentOf(readBack), contentOf(saved));
    QVERIFY(contentOf(log).endsWith(",2.2,site.json," +
                                    QCryptographicHash::hash(contentOf(saved), QCryptographicHash::Sha256).toHex() +
                                    ",verified\r\n"));
}

void ProvisionToolTest::everyOutcomeHasItsExitCodeAndLogLine_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("release");
    QTest::addColumn<QByteArray>("faultOn");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("log"); // empty: a new log beside the file
    QTest::addColumn<QString>("stopWhen");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told");

    const QByteArray head = R"({"format": "Pelko configuration", "version": 1, )";
    const QByteArray good = head + R"("ALIVE": {"period": 1800}})";
    const QString pelko = QStringLiteral("ttyPELKO0");
    const QString newest = QStringLiteral("2.2");
    QTest::newRow("a file that is not JSON is refused before the device is touched")
        << pelko << newest << QByteArray() << QByteArray("{ALIVE") << QString() << QString() << 2
        << QStringLiteral("refused file");
    QTest::newRow("a LoRa identifier that is not hexadecimal is refused, its control characters escaped")
        << pelko << newest << QByteArray() << head + R"("LORA": {"APPEUI": "ZZ; SAVEPARAM\n\u001b[31m"}})" << QString()
        << QString() << 2 << QStringLiteral("LORA.APPEUI: \"ZZ; SAVEPARAM\\n\\x1b[31m\" is not 16 hexadecimal digits.");
    QTest::newRow("a setting the release lacks is named beside an unknown key")
        << pelko << QStringLiteral("2.1.1") << QByteArray()
        << head + R"("SHOCK": {"colour": 1}, "COMMON": {"buttonDelay": 2}})" << QString() << QString() << 2
        << QStringLiteral("COMMON.buttonDelay: not offered by firmware 2.1.1.");
    QTest::newRow("a port that is not listed is no device")
        << QStringLiteral("ttyUSB9") << newest << QByteArray() << good << QString() << QString() << 3
        << QStringLiteral("Error 1");
    QTest::newRow("a device that refuses the save fails the write, naming the line")
        << pelko << newest << QByteArray("SAVEPARAM ALGO") << good << QString() << QString() << 4
        << QStringLiteral("the device refused \"SAVEPARAM ALGO 0\"");
    QTest::newRow("a device that forgets a setting fails the check")
        << pelko << newest << QByteArray("ALIVE period") << good << QString() << QString() << 5
        << QStringLiteral("ALIVE.period: wrote 1800, read back 7200");
    QTest::newRow("a range is told in g")
        << pelko << newest << QByteArray("MPU maxRange") << head + R"("MPU": {"maxRange": 8}})" << QString()
        << QString() << 5 << QStringLiteral("MPU.maxRange: wrote 8 g, read back 16 g");
    QTest::newRow("a device that forgets its LoRa settings fails the check")
        << pelko << newest << QByteArray("LORA SET") << head + R"("LORA": {"APPEUI": "70B3D57ED0000001"}})" << QString()
        << QString() << 5 << QStringLiteral("LORA.APPEUI: wrote \"70B3D57ED0000001\", read back \"0000000000000000\"");
    QTest::newRow("a device that forgets the algorithm set fails the check")
        << pelko << newest << QByteArray("ALGO 0x") << head + R"("algorithms": ["ALIVE", "SHOCK"]})" << QString()
        << QString() << 5 << QStringLiteral("algorithms: wrote ALIVE SHOCK, read back ALIVE");
    QTest::newRow("a log in a missing folder is refused before the device is touched")
        << pelko << newest << QByteArray() << good << QStringLiteral("missing/log.csv") << QString() << 1
        << QStringLiteral("No such file or directory");
    QTest::newRow("a log that cannot be written is refused before the device is touched")
        << pelko << newest << QByteArray() << good << QStringLiteral("/dev/full") << QString() << 1
        << QStringLiteral("No space left on device");
    QTest::newRow("a write stopped by a signal sends no save and says goodbye")
        << pelko << newest << QByteArray() << good << QString() << QStringLiteral("30 %") << 6
        << QStringLiteral("none of them saved");
}

void ProvisionToolTest::everyOutcomeHasItsExitCodeAndLogLine()
{
    QFETCH(QString, port);
    QFETCH(QString, release);
    QFETCH(QByteArray, faultOn);
    QFETCH(QByteArray, file);
    QFETCH(QString, log);
    QFETCH(QString, stopWhen);
    QFETCH(int, exitCode);
    QFETCH(QString, told);

    SimDevice::Options options;
    options.release = release;
    SimHarness sim(options);
    QVERIFY(sim.isReady());
    if (!faultOn.isEmpty())
        sim.device().setFault(faultOn, SimFault::Forgets);
    if (faultOn.startsWith("SAVEPARAM"))
        sim.device().setFault(faultOn, SimFault::Refuses);
    QTemporaryDir dir;
    // A name with a separator and quotes stays one field of the log.
    const QString path = dir.filePath(QStringLiteral("site \"north\", v2.json"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    if (log.isEmpty() || !log.startsWith(QLatin1Char('/')))
        log = dir.filePath(log.isEmpty() ? QStringLiteral("log.csv") : log);

    const Run run = provision({QStringLiteral("write"), port, path, QStringLiteral("--log"), log}, stopWhen);
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.errors));
    QVERIFY2(run.errors.contains(told), qPrintable(run.errors));
    QVERIFY2(!run.errors.contains(QLatin1Char('\x1b')) && !run.errors.contains(QLatin1String("QStandardPaths")),
             qPrintable(run.errors));
    // Nothing saved when refused or stopped; nothing sent at all when refused.
    const QByteArray wire = sim.device().receivedLines().join();
    if (exitCode == 1 || exitCode == 2 || exitCode == 6)
        QVERIFY2(!wire.contains("SAVEPARAM") && (exitCode == 6 || !wire.contains("ALIVE ")), wire.constData());
    QVERIFY(exitCode != 6 || wire.endsWith("DISCONNECTE\r\n"));
    if (exitCode == 1)
        return;
    const QList<QByteArray> lines = contentOf(log).split('\n');
    QCOMPARE(lines.size(), 3); // header, this write, nothing after the last line break
    QVERIFY2(lines.at(1).contains(",\"site \"\"north\"\", v2.json\","), lines.at(1).constData());
    QVERIFY2(lines.at(1).endsWith(',' + Provisioning::outcomeWord(Provisioning::Outcome(exitCode)).toUtf8() + '\r'),
             lines.at(1).constData());
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
                                                      : number + 1;
        const QByteArray text = step.kind == K::FixedText ? QByteArray(step.text)
                                : step.kind == K::Text    ? was.chopped(1) + (was.endsWith('A') ? "B" : "A")
                                                          : QByteArray();
        lines.append({&step, value, QString::fromLatin1(text), 0});
    }
    return lines;
}

} // namespace

void ProvisionToolTest::aDeviceThatForgetsOneSettingIsToldOrTheSettingIsNamedAsNotChecked_data()
{
    QTest::addColumn<int>("forgotten"); // index in the write; -1: nothing forgotten
    QTest::newRow("a device that keeps everything") << -1;
    const QVector<Upload::SentLine> lines = fleetWrite();
    for (int i = 0; i < lines.size(); ++i)
        QTest::newRow(qPrintable(ConfigFile::settingName(*lines.at(i).step))) << i;
    QCOMPARE(lines.size(), ConfigFile::entries().size() + 1);
}

void ProvisionToolTest::aDeviceThatForgetsOneSettingIsToldOrTheSettingIsNamedAsNotChecked()
{
    QFETCH(int, forgotten);
    const QVector<Upload::SentLine> lines = fleetWrite();
    SimFirmware device;
    device.handle("DEBUG 1");
    for (int i = 0; i < lines.size(); ++i) {
        const Upload::SentLine &line = lines.at(i);
        const QByteArray sent = buildCommandLine(line.step->cmd, line.step->key, line.value, line.text).withoutEnding();
        QVERIFY2(device.handle(sent, i != forgotten).status == "OK", sent.constData());
    }
    device.handle("SAVEPARAM");
    const Provisioning::Verification told =
        Provisioning::verify(lines, device.handle("DUMP RAM PARAM").wire(), device.handle("LORA GET").wire());

    // What the device cannot tell, on every write.
    const QStringList notChecked = {QStringLiteral("algorithms (VIBRATION)"), QStringLiteral("TILT.inhibition")};
    QCOMPARE(told.notChecked, notChecked);
    QStringList named;
    for (const QString &difference : told.differences)
        named << difference.section(QStringLiteral(": wrote "), 0, 0);
    const QString name = forgotten < 0 ? QString() : ConfigFile::settingName(*lines.at(forgotten).step);
    QCOMPARE(named, name.isEmpty() || notChecked.contains(name) ? QStringList() : QStringList(name));
}

void ProvisionToolTest::eightProcessesStartingOneLogLeaveOneHeader()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    QProcess tools[8];
    for (QProcess &tool : tools) // a file that is not there: refused at once
        tool.start(QStringLiteral(PELKO_PROVISION_PROGRAM),
                   {QStringLiteral("write"), QStringLiteral("ttyUSB9"), dir.filePath("none.json"), "--log", log});
    for (QProcess &tool : tools)
        QVERIFY(tool.waitForFinished(30000) && tool.exitCode() == 2);
    const QByteArray content = contentOf(log), header(Provisioning::kLogHeader);
    QVERIFY(content.startsWith(header));
    QCOMPARE(content.count(header), 1);
    QCOMPARE(content.count('\n'), 9);
}

void ProvisionToolTest::readSavesOnlyToARegularFileOrANewOneAndTellsABusyPort()
{
    SimHarness sim;
    QVERIFY(sim.isReady());
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    for (const QString &path : {fifo, dir.path()}) {
        const Run run = provision({QStringLiteral("read"), QStringLiteral("ttyPELKO0"), path});
        QVERIFY2(run.exitCode == 4 && run.errors.contains("could not be saved to " + path + ": it is "),
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

QTEST_MAIN(ProvisionToolTest)
#include "tst_provisiontool.moc"
