#include "link/presence.h"

#include <QtTest>

class PresenceTest : public QObject
{
    Q_OBJECT

private slots:
    void everyPortIsTracedEvenAfterTheDeviceIsFound();
};

// Which manufacturer counts as the device's is the connection test's; a
// restart or power-off that looks for the device still traces every port.
void PresenceTest::everyPortIsTracedEvenAfterTheDeviceIsFound()
{
    for (const char *line :
         {"Port name : COM3", "Port manufacturer: Silicon Labs", "Port name : COM7", "Port manufacturer: Prolific"})
        QTest::ignoreMessage(QtDebugMsg, line);
    QVERIFY(pelkoPortStillListed({{"COM3", "Silicon Labs", "c3"}, {"COM7", "Prolific", "c7"}}));
}

QTEST_APPLESS_MAIN(PresenceTest)
#include "tst_presence.moc"
