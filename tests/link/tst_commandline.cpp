#include "link/commandline.h"

#include <QtTest>

#include <tuple>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void eachCommandTakesItsLineForm();
    void verdictFollowsTheKeywordsOfTheTrimmedAnswer();
};

void CommandLineTest::eachCommandTakesItsLineForm()
{
    // The upload's lines are in its transcripts; here, the arguments a line
    // leaves out. The NWKID and DEVADDR lines go bare, and are logged with
    // everything they send.
    // command, parameter, value, text, line sent
    const std::tuple<QByteArray, QByteArray, int, QString, QByteArray> rows[] = {
        {"READY", "x", 5, "t", "READY\r\n"},
        {"ALGO", "period", 60, "", "ALGO period 60\r\n"},
        {"LORA SET", "OTAA", 0, QString::fromUtf8("\xc3\xa9"), "LORA SET OTAA \xc3\xa9\r\n"},
        {"LORA SET", "NWKID", 0, "00\r\n", "LORA SET NWKID 00\r\n"},
        {"DEBUG", "LEDON", 42, "", "DEBUG LEDON\r\n"},
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

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
