#include "tools/typedline.h"

#include <QtTest>

class TypedLineTest : public QObject
{
    Q_OBJECT

private slots:
    void aLineGoesOutWhenTheDeviceTakesItAndTheHistoryKeepsTheLastHundredKeysMasked();
};

void TypedLineTest::aLineGoesOutWhenTheDeviceTakesItAndTheHistoryKeepsTheLastHundredKeysMasked()
{
    // The line, part of why it is refused (empty: it goes), the reading command it is.
    const struct
    {
        QString line;
        const char *refused, *reading;
    } rows[] = {{" VERSION ", "", "VERSION"},
                {"DUMP RAM PARAM", "", "DUMP RAM PARAM"},
                {"version", "", ""},
                {"   ", "empty", ""},
                {"VERSION\r\nRESETPARAM 1", "control", ""},
                {QString(64, 'A'), "", ""},
                {QString(33, QChar(0xe9)), "longer than the 64", ""}};
    for (const auto &row : rows) {
        const QString why = TypedLine::refusal(row.line);
        QVERIFY2(why.contains(QLatin1String(row.refused)) && why.isEmpty() == !*row.refused, qPrintable(why));
        QCOMPARE(TypedLine::readingCommand(row.line), QByteArray(row.reading));
    }
    TypedLine::History history;
    for (int i = 0; i < 120; ++i)
        history.add(QStringLiteral("ALIVE period %1").arg(i));
    history.add(QStringLiteral("LORA SET APPKEY 2B7E151628AED2A6ABF7158809CF4F3C"));
    const QString masked = QStringLiteral("LORA SET APPKEY ") + QString(26, 'X') + QStringLiteral("CF4F3C");
    QVERIFY(history.older() == masked && history.isMaskedEntry(masked) && history.lines().size() == 100);
    for (int i = 0; i < 200; ++i)
        history.older();
    QVERIFY(history.older() == QStringLiteral("ALIVE period 21") && !history.isMaskedEntry("ALIVE period 21"));
}

QTEST_APPLESS_MAIN(TypedLineTest)
#include "tst_typedline.moc"
