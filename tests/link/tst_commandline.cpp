#include "link/commandline.h"

#include <QtTest>

#include <tuple>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void eachCommandTakesItsLineForm();
    void verdictFollowsTheKeywordsOfTheTrimmedAnswer();
    void refusalsAndRebootsLeaveTheirNoteInTheConsole();
    void saveLinesAreRecognisedAnywhereInTheLine();
};

void CommandLineTest::eachCommandTakesItsLineForm()
{
    // The NWKID and DEVADDR lines go bare, and are logged with everything they send.
    // command, parameter, value, text, line sent
    const std::tuple<QByteArray, QByteArray, int, QString, QByteArray> rows[] = {
        {"READY", "x", 5, "t", "READY\r\n"},
        {"reset", "", 0, "", "reset\r\n"},
        {"ALGO", "", 26, "", "ALGO 0x1a\r\n"},
        {"ALGO", "", 511, "", "ALGO 0x1ff\r\n"},
        {"ALGO", "period", 60, "", "ALGO period 60\r\n"},
        {"LORA SET", "APPEUI", 7, "70B3D57ED0000001", "LORA SET APPEUI 70B3D57ED0000001\r\n"},
        {"LORA SET", "OTAA", 0, QString::fromUtf8("\xc3\xa9"), "LORA SET OTAA \xc3\xa9\r\n"},
        {"LORA SET", "DEVADDR", 0, "26011BDA", "LORA SET DEVADDR 26011BDA"},
        {"LORA SET", "NWKID", 0, "00\r\n", "LORA SET NWKID 00\r\n"},
        {"LORA SET", "JRERROR", 3, "ignored", "LORA SET JRERROR 3\r\n"},
        {"DEBUG", "LEDON", 42, "", "DEBUG LEDON\r\n"},
        {"LORA GET", "", 0, "", "LORA GET  0\r\n"},
        {"TEMP", "thetaMin", -1500, "", "TEMP thetaMin -1500\r\n"},
    };
    for (const auto &[cmd, param, value, text, line] : rows) {
        const CommandLine built = buildCommandLine(cmd, param, value, text);
        const bool bare = param == "DEVADDR" || param == "NWKID";
        QCOMPARE(built.bytes, line);
        QCOMPARE(built.endsWithCrLf, !bare);
        QCOMPARE(built.withoutEnding(), bare ? line : line.chopped(2));
    }
}

void CommandLineTest::verdictFollowsTheKeywordsOfTheTrimmedAnswer()
{
    // The last three bytes are the prompt trailer; a shorter answer is judged whole.
    // command, answer, answer as judged, verdict
    const std::tuple<QByteArray, QByteArray, QByteArray, int> rows[] = {
        {"READY", "OK\r\n>", "OK", CommandAccepted},
        {"READY", "OK\n", "", CommandNoAnswer},
        {"READY", "OK", "OK", CommandAccepted},
        {"READY", "", "", CommandNoAnswer},
        {"CHOC", "NOK\r\n>", "NOK", CommandRefused},
        {"CHOC", "xNOKx OK\r\n>", "xNOKx OK", CommandRefused},
        {"VERSION", "Firmware : v2.2 NOK\r\n>", "Firmware : v2.2 NOK", CommandAccepted},
        {"READY", "done\r\nOK>", "done\r\n", CommandNoAnswer},
        {"READY", "ok\r\nok\r\n>", "ok\r\nok", CommandNoAnswer},
        {"CHOC", "nok OK\r\n>", "nok OK", CommandAccepted},
    };
    for (const auto &[cmd, answer, trimmed, verdict] : rows) {
        QCOMPARE(trimAnswer(answer), trimmed);
        QCOMPARE(judgeAnswer(cmd, trimmed), verdict);
    }
}

void CommandLineTest::refusalsAndRebootsLeaveTheirNoteInTheConsole()
{
    QCOMPARE(refusalNote("CHOC", "gxSup"), QStringLiteral(" : Command 'CHOC gxSup' failed"));
    QCOMPARE(refusalNote("LORA GET", QByteArray()), QStringLiteral(" : Command 'LORA GET ' failed"));
    // The banners' words are seen in the console with the link; only the
    // lower-case restart and power-off lines have one.
    QVERIFY(!consoleBannerFor("reset").isEmpty() && !consoleBannerFor("poweroff").isEmpty());
    QVERIFY(consoleBannerFor("POWEROFF").isEmpty() && consoleBannerFor("READY").isEmpty());
}

void CommandLineTest::saveLinesAreRecognisedAnywhereInTheLine()
{
    QVERIFY(isSaveLine("SAVEPARAM LORA 0\r\n"));
    QVERIFY(isSaveLine("LORA SET APPEUI SAVEPARAM\r\n"));
    QVERIFY(!isSaveLine("saveparam ALGO 0\r\n"));
}

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
