#include "tools/presence.h"

#include <QtTest>

class PresenceTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheDevicesBridgeCountsAsStillThere();
    void everyPortIsTracedEvenAfterTheDeviceIsFound();
};

void PresenceTest::onlyTheDevicesBridgeCountsAsStillThere()
{
    // One port per manufacturer string, in the order the host lists them.
    const QPair<QStringList, bool> rows[] = {
        {{}, false},
        {{"FTDI", "Prolific"}, false},
        {{"FTDI", "Silicon Labs"}, true},
        {{"silicon labs"}, false},
        {{"Not Silicon Labs"}, false},
        {{QString()}, false},
    };
    for (const auto &row : rows) {
        QList<SerialPortEntry> ports;
        for (const QString &maker : row.first)
            ports.append({QStringLiteral("COM%1").arg(ports.size() + 1), maker, QStringLiteral("loc")});
        QVERIFY2(pelkoPortStillListed(ports) == row.second, qPrintable(row.first.join('/')));
    }
}

void PresenceTest::everyPortIsTracedEvenAfterTheDeviceIsFound()
{
    for (const char *line :
         {"Port name : COM3", "Port manufacturer: Silicon Labs", "Port name : COM7", "Port manufacturer: Prolific"})
        QTest::ignoreMessage(QtDebugMsg, line);
    pelkoPortStillListed({{"COM3", "Silicon Labs", "c3"}, {"COM7", "Prolific", "c7"}});
}

QTEST_APPLESS_MAIN(PresenceTest)
#include "tst_presence.moc"
