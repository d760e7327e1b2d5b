#include "mainwindow.h"
#include "messages.h"

#include "formprobe.h"
#include "simharness.h"

#include <QProcess>
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
};

namespace {

struct Run
{
    int exitCode = -1;
    QString errors;
};

Run provision(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(PELKO_PROVISION_PROGRAM), arguments);
    tool.waitForFinished(60000);
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromUtf8(tool.readAllStandardError())};
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
    QTest::addColumn<QByteArray>("faultOn");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told");

    const QByteArray good = R"({"format": "Pelko configuration", "version": 1, "ALIVE": {"period": 1800}})";
    const QString pelko = QStringLiteral("ttyPELKO0");
    QTest::newRow("a file that is not JSON is refused before the device is touched")
        << pelko << QByteArray() << 0 << QByteArray("{ALIVE") << 2 << QStringLiteral("refused file");
    QTest::newRow("a port that is not listed is no device")
        << QStringLiteral("ttyUSB9") << QByteArray() << 0 << good << 3 << QStringLiteral("Error 1");
    QTest::newRow("a device that refuses the save fails the write")
        << pelko << QByteArray("SAVEPARAM ALGO") << int(SimFault::Refuses) << good << 4 << QStringLiteral("Error 5");
    QTest::newRow("a device that forgets a setting fails the check")
        << pelko << QByteArray("ALIVE period") << int(SimFault::Forgets) << good << 5
        << QStringLiteral("ALIVE.period: wrote 1800, read back 7200");
}

void ProvisionToolTest::everyOutcomeHasItsExitCodeAndLogLine()
{
    QFETCH(QString, port);
    QFETCH(QByteArray, faultOn);
    QFETCH(int, fault);
    QFETCH(QByteArray, file);
    QFETCH(int, exitCode);
    QFETCH(QString, told);

    SimHarness sim;
    QVERIFY(sim.isReady());
    if (!faultOn.isEmpty())
        sim.device().setFault(faultOn, SimFault(fault));
    QTemporaryDir dir;
    // A name with a separator and quotes stays one field of the log.
    const QString path = dir.filePath(QStringLiteral("site \"north\", v2.json"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    const QString log = dir.filePath(QStringLiteral("log.csv"));

    const Run run = provision({QStringLiteral("write"), port, path, QStringLiteral("--log"), log});
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.errors));
    QVERIFY2(run.errors.contains(told), qPrintable(run.errors));
    const QList<QByteArray> lines = contentOf(log).split('\n');
    QCOMPARE(lines.size(), 3); // header, this write, nothing after the last line break
    const char *const words[] = {"verified",         "usage",        "refused file",
                                 "device not found", "write failed", "differences"};
    QVERIFY2(lines.at(1).contains(",\"site \"\"north\"\", v2.json\","), lines.at(1).constData());
    QVERIFY2(lines.at(1).endsWith(QByteArray(",") + words[exitCode] + "\r"), lines.at(1).constData());
    if (exitCode == 2)
        QVERIFY(sim.device().receivedLines().isEmpty());
}

QTEST_MAIN(ProvisionToolTest)
#include "tst_provisiontool.moc"
