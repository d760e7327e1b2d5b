#include "simharness.h"

#include "link/serialports.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

SimHarness::SimHarness(const SimDevice::Options &options, bool plugIn)
{
    SimDevice::Options own = options;
    own.portsFile = portsFile();
    QFile file(own.portsFile);
    m_ready = m_dir.isValid() && file.open(QIODevice::WriteOnly);
    file.close();

    m_hadVariable = qEnvironmentVariableIsSet(kExtraPortsVariable);
    m_previousVariable = qgetenv(kExtraPortsVariable);
    qputenv(kExtraPortsVariable, QFile::encodeName(own.portsFile));

    m_device.reset(new SimDevice(own));
    if (plugIn && m_ready)
        m_ready = m_device->start();
}

SimHarness::~SimHarness()
{
    m_device.reset();
    if (m_hadVariable)
        qputenv(kExtraPortsVariable, m_previousVariable);
    else
        qunsetenv(kExtraPortsVariable);
}

QString SimHarness::portsFile() const
{
    return m_dir.filePath(QStringLiteral("ports"));
}

void SimHarness::addPort(const QString &name, const QString &manufacturer, const QString &location, bool beforeDevice)
{
    SimDevice::addPortLine(portsFile(), name.toUtf8() + '\t' + manufacturer.toUtf8() + '\t' + location.toUtf8(),
                           beforeDevice);
}

bool SimHarness::waitForPresence(bool present, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (m_device->isPresent() != present) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    return true;
}
