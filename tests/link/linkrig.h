#ifndef PELKO_LINKRIG_H
#define PELKO_LINKRIG_H

#include "link/serialports.h"
#include "link/timing.h"
#include "simdevice.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Shorter quiet times and waits for tests whose subject is not the time
// itself; everything is put back when the test ends.
class ShortLinkTimes
{
public:
    ShortLinkTimes()
        : m_read(readTimeout), m_saved(savedReadTimeout), m_save(LinkLimits::saveReadTimeoutMs),
          m_fast(LinkLimits::fastReadTimeoutMs), m_duration(LinkLimits::maxReadDurationMs),
          m_bytes(LinkLimits::maxAnswerBytes), m_disconnect(LinkLimits::disconnectWaitMs)
    {
        readTimeout = 100;
        LinkLimits::fastReadTimeoutMs = 100;
        LinkLimits::saveReadTimeoutMs = 400;
        LinkLimits::disconnectWaitMs = 20;
    }
    ~ShortLinkTimes()
    {
        readTimeout = m_read;
        savedReadTimeout = m_saved;
        LinkLimits::saveReadTimeoutMs = m_save;
        LinkLimits::fastReadTimeoutMs = m_fast;
        LinkLimits::maxReadDurationMs = m_duration;
        LinkLimits::maxAnswerBytes = m_bytes;
        LinkLimits::disconnectWaitMs = m_disconnect;
    }
    ShortLinkTimes(const ShortLinkTimes &) = delete;
    ShortLinkTimes &operator=(const ShortLinkTimes &) = delete;

private:
    int m_read, m_saved, m_save, m_fast, m_duration, m_bytes, m_disconnect;
};

// A simulated device listed in a ports file of its own, which the program
// reads through the extra-ports variable.
class LinkRig
{
public:
    explicit LinkRig(SimDevice::Options options = SimDevice::Options(), bool listDevice = true)
    {
        portsFile = dir.filePath(QStringLiteral("ports"));
        QFile touch(portsFile);
        touch.open(QIODevice::WriteOnly);
        touch.close();
        qputenv(kExtraPortsVariable, portsFile.toLocal8Bit());
        if (listDevice)
            options.portsFile = portsFile;
        device.reset(new SimDevice(options));
        started = device->start();
    }
    ~LinkRig()
    {
        device.reset();
        qunsetenv(kExtraPortsVariable);
    }
    LinkRig(const LinkRig &) = delete;
    LinkRig &operator=(const LinkRig &) = delete;

    void addPort(const QString &name, const QString &manufacturer, const QString &location, bool first = false)
    {
        SimDevice::addPortLine(portsFile, (name + '\t' + manufacturer + '\t' + location).toUtf8(), first);
    }

    // True when the host itself lists a port that looks like the device, which
    // would take the place of the simulated one.
    static bool hostListsADevice()
    {
        const QByteArray saved = qgetenv(kExtraPortsVariable);
        qunsetenv(kExtraPortsVariable);
        bool found = false;
        for (const SerialPortEntry &entry : availableSerialPorts())
            found = found || isPelkoManufacturer(entry.manufacturer);
        qputenv(kExtraPortsVariable, saved);
        return found;
    }

    QTemporaryDir dir;
    QString portsFile;
    std::unique_ptr<SimDevice> device;
    bool started = false;
};

#endif // PELKO_LINKRIG_H
