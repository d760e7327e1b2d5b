#include "debuglog.h"
#include "tools/presence.h"

#include <QtTest>

class PresenceTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheDevicesBridgeCountsAsStillThere_data();
    void onlyTheDevicesBridgeCountsAsStillThere();
    void everyPortIsTracedEvenAfterTheDeviceIsFound();
};

void PresenceTest::onlyTheDevicesBridgeCountsAsStillThere_data()
{
    // One port per manufacturer string, in the order the host lists them.
    QTest::addColumn<QStringList>("manufacturers");
    QTest::addColumn<bool>("listed");

    QTest::newRow("no ports at all") << QStringList() << false;
    QTest::newRow("only other bridges") << QStringList{"FTDI", "Prolific"} << false;
    QTest::newRow("the bridge after another port") << QStringList{"FTDI", "Silicon Labs"} << true;
    QTest::newRow("lower-case maker is someone else") << QStringList{"silicon labs"} << false;
    QTest::newRow("maker name not at the start") << QStringList{"Not Silicon Labs"} << false;
    QTest::newRow("port without a maker") << QStringList{QString()} << false;
}

void PresenceTest::onlyTheDevicesBridgeCountsAsStillThere()
{
    QFETCH(QStringList, manufacturers);
    QFETCH(bool, listed);
    QList<SerialPortEntry> ports;
    for (const QString &maker : manufacturers)
        ports.append({QStringLiteral("COM%1").arg(ports.size() + 1), maker, QStringLiteral("loc")});
    DebugLog log;
    QCOMPARE(pelkoPortStillListed(ports), listed);
}

void PresenceTest::everyPortIsTracedEvenAfterTheDeviceIsFound()
{
    DebugLog log;
    pelkoPortStillListed({{"COM3", "Silicon Labs", "c3"}, {"COM7", "Prolific", "c7"}});
    QCOMPARE(log.lines(), QStringList({"Port name : COM3", "Port manufacturer: Silicon Labs", "Port name : COM7",
                                       "Port manufacturer: Prolific"}));
}

QTEST_APPLESS_MAIN(PresenceTest)
#include "tst_presence.moc"
