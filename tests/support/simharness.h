#ifndef PELKO_SIMHARNESS_H
#define PELKO_SIMHARNESS_H

#include "simdevice.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// One simulated device listed in a temporary ports file that the program
// under test reads (PELKO_EXTRA_PORTS points at it while the harness lives).
// Usage:
//     SimHarness sim;                         // a 2.2 device, plugged in
//     QVERIFY(sim.isReady());
//     MainWindow window; ... click "Connection" ...
//     QCOMPARE(sim.device().savedParameters().value("CHOC gxSup"), "5000");
class SimHarness
{
public:
    explicit SimHarness(const SimDevice::Options &options = SimDevice::Options(), bool plugIn = true);
    ~SimHarness();
    SimHarness(const SimHarness &) = delete;
    SimHarness &operator=(const SimHarness &) = delete;

    // True when the ports file exists and, if asked for, the device runs.
    bool isReady() const { return m_ready; }
    QString portsFile() const;
    QString dirPath() const { return m_dir.path(); }
    SimDevice &device() { return *m_device; }

    // Lists another port (for example a "Silicon Labs" port whose location
    // does not exist, or a lower-case "silicon labs" one), after the device's
    // line or before it.
    void addPort(const QString &name, const QString &manufacturer, const QString &location, bool beforeDevice = false);

    // Waits (processing events) until the device is present or gone.
    bool waitForPresence(bool present, int timeoutMs = 5000);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SimDevice> m_device;
    QByteArray m_previousVariable;
    bool m_hadVariable = false;
    bool m_ready = false;
};

#endif // PELKO_SIMHARNESS_H
