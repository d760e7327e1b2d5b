#include "link/commandline.h"

#include <QtTest>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void eachCommandTakesItsLineForm_data();
    void eachCommandTakesItsLineForm();
    void loggedLineLosesOnlyARealEnding_data();
    void loggedLineLosesOnlyARealEnding();
    void trailerIsCutOnlyFromAnswersLongEnough_data();
    void trailerIsCutOnlyFromAnswersLongEnough();
    void verdictFollowsTheKeywordsOfTheTrimmedAnswer_data();
    void verdictFollowsTheKeywordsOfTheTrimmedAnswer();
    void refusalNoteNamesCommandAndParameterButNotValue();
    void onlyPoweroffAndResetGetABanner();
    void saveLinesAreRecognisedAnywhereInTheLine();
};

void CommandLineTest::eachCommandTakesItsLineForm_data()
{
    QTest::addColumn<QByteArray>("cmd");
    QTest::addColumn<QByteArray>("param");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("crLf");

    QTest::newRow("READY alone") << QByteArray("READY") << QByteArray("x") << 5 << "t" << QByteArray("READY\r\n")
                                 << true;
    QTest::newRow("reset alone") << QByteArray("reset") << QByteArray() << 0 << QString() << QByteArray("reset\r\n")
                                 << true;
    QTest::newRow("ALGO mask in lower-case hex")
        << QByteArray("ALGO") << QByteArray() << 26 << QString() << QByteArray("ALGO 0x1a\r\n") << true;
    QTest::newRow("ALGO mask 0x1ff") << QByteArray("ALGO") << QByteArray() << 511 << QString()
                                     << QByteArray("ALGO 0x1ff\r\n") << true;
    QTest::newRow("ALGO key in decimal") << QByteArray("ALGO") << QByteArray("period") << 60 << QString()
                                         << QByteArray("ALGO period 60\r\n") << true;
    QTest::newRow("LORA SET text") << QByteArray("LORA SET") << QByteArray("APPEUI") << 7 << "70B3D57ED0000001"
                                   << QByteArray("LORA SET APPEUI 70B3D57ED0000001\r\n") << true;
    QTest::newRow("LORA SET text is UTF-8")
        << QByteArray("LORA SET") << QByteArray("OTAA") << 0 << QString::fromUtf8("\xc3\xa9")
        << QByteArray("LORA SET OTAA \xc3\xa9\r\n") << true;
    QTest::newRow("DEVADDR without ending") << QByteArray("LORA SET") << QByteArray("DEVADDR") << 0 << "26011BDA"
                                            << QByteArray("LORA SET DEVADDR 26011BDA") << false;
    QTest::newRow("NWKID without ending") << QByteArray("LORA SET") << QByteArray("NWKID") << 0 << "000013"
                                          << QByteArray("LORA SET NWKID 000013") << false;
    QTest::newRow("JRERROR is a number") << QByteArray("LORA SET") << QByteArray("JRERROR") << 3 << "ignored"
                                         << QByteArray("LORA SET JRERROR 3\r\n") << true;
    QTest::newRow("DEBUG ignores the value")
        << QByteArray("DEBUG") << QByteArray("LEDON") << 42 << QString() << QByteArray("DEBUG LEDON\r\n") << true;
    QTest::newRow("LORA GET two blanks") << QByteArray("LORA GET") << QByteArray() << 0 << QString()
                                         << QByteArray("LORA GET  0\r\n") << true;
    QTest::newRow("negative value") << QByteArray("TEMP") << QByteArray("thetaMin") << -1500 << QString()
                                    << QByteArray("TEMP thetaMin -1500\r\n") << true;
}

void CommandLineTest::eachCommandTakesItsLineForm()
{
    QFETCH(QByteArray, cmd);
    QFETCH(QByteArray, param);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(QByteArray, line);
    QFETCH(bool, crLf);
    const CommandLine built = buildCommandLine(cmd, param, value, text);
    QCOMPARE(built.bytes, line);
    QCOMPARE(built.endsWithCrLf, crLf);
}

void CommandLineTest::loggedLineLosesOnlyARealEnding_data()
{
    QTest::addColumn<QByteArray>("param");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("logged");
    QTest::newRow("ordinary line") << QByteArray("APPEUI") << "0011" << QByteArray("LORA SET APPEUI 0011");
    // A bare line keeps everything it sends, even a text that happens to end like a line.
    QTest::newRow("bare line ending in CR LF text") << QByteArray("NWKID") << "00\r\n"
                                                    << QByteArray("LORA SET NWKID 00\r\n");
}

void CommandLineTest::loggedLineLosesOnlyARealEnding()
{
    QFETCH(QByteArray, param);
    QFETCH(QString, text);
    QFETCH(QByteArray, logged);
    QCOMPARE(buildCommandLine("LORA SET", param, 0, text).withoutEnding(), logged);
}

void CommandLineTest::trailerIsCutOnlyFromAnswersLongEnough_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("trimmed");
    QTest::newRow("usual answer") << QByteArray("OK\r\n>") << QByteArray("OK");
    QTest::newRow("exactly three bytes") << QByteArray("OK\n") << QByteArray();
    QTest::newRow("two bytes kept whole") << QByteArray("OK") << QByteArray("OK");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void CommandLineTest::trailerIsCutOnlyFromAnswersLongEnough()
{
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, trimmed);
    QCOMPARE(trimAnswer(answer), trimmed);
}

void CommandLineTest::verdictFollowsTheKeywordsOfTheTrimmedAnswer_data()
{
    QTest::addColumn<QByteArray>("cmd");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("OK accepts") << QByteArray("READY") << QByteArray("OK\r\n>") << 0;
    QTest::newRow("NOK refuses") << QByteArray("CHOC") << QByteArray("NOK\r\n>") << -1;
    QTest::newRow("NOK inside a word refuses") << QByteArray("CHOC") << QByteArray("xNOKx OK\r\n>") << -1;
    QTest::newRow("NOK accepted for VERSION") << QByteArray("VERSION") << QByteArray("Firmware : v2.2 NOK\r\n>") << 0;
    QTest::newRow("OK only in the trailer") << QByteArray("READY") << QByteArray("done\r\nOK>") << -2;
    QTest::newRow("silence") << QByteArray("READY") << QByteArray() << -2;
    QTest::newRow("short answer judged whole") << QByteArray("READY") << QByteArray("OK") << 0;
    QTest::newRow("lower-case ok") << QByteArray("READY") << QByteArray("ok\r\nok\r\n>") << -2;
    QTest::newRow("lower-case nok is no refusal") << QByteArray("CHOC") << QByteArray("nok OK\r\n>") << 0;
}

void CommandLineTest::verdictFollowsTheKeywordsOfTheTrimmedAnswer()
{
    QFETCH(QByteArray, cmd);
    QFETCH(QByteArray, answer);
    QFETCH(int, result);
    QCOMPARE(judgeAnswer(cmd, trimAnswer(answer)), result);
}

void CommandLineTest::refusalNoteNamesCommandAndParameterButNotValue()
{
    QCOMPARE(refusalNote("CHOC", "gxSup"), QStringLiteral(" : Command 'CHOC gxSup' failed"));
    QCOMPARE(refusalNote("LORA GET", QByteArray()), QStringLiteral(" : Command 'LORA GET ' failed"));
}

void CommandLineTest::onlyPoweroffAndResetGetABanner()
{
    QCOMPARE(consoleBannerFor("poweroff"),
             QStringLiteral("\n--------------------------> POWEROFF <--------------------------\n"));
    QCOMPARE(consoleBannerFor("reset"),
             QStringLiteral("\n---------------------------> REBOOT <---------------------------\n"));
    QVERIFY(consoleBannerFor("POWEROFF").isEmpty());
    QVERIFY(consoleBannerFor("READY").isEmpty());
}

void CommandLineTest::saveLinesAreRecognisedAnywhereInTheLine()
{
    QVERIFY(isSaveLine("SAVEPARAM LORA 0\r\n"));
    QVERIFY(isSaveLine("LORA SET APPEUI SAVEPARAM\r\n"));
    QVERIFY(!isSaveLine("saveparam ALGO 0\r\n"));
}

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
