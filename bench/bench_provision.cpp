#include "benches.h"

#include "simdevice.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

#include <sys/resource.h>

// pelko-provision writes a configuration and checks it, against simulated
// devices paced at the wire's speed. One device of release 2.0, whose every
// answer ends after 200 ms of quiet, is compared with the least the write
// could take (every line waits out its quiet time, 600 ms after a save, 500
// ms before each of the two disconnections, and its bytes cross the wire).
// Then devices of release 2.2, whose answers end sooner, as a factory station
// has them: eight and sixty-four side by side, one process each, against one
// alone, and the most memory one of those processes held.
namespace {

struct Device
{
    std::unique_ptr<SimDevice> sim;
    QString portsFile;
};

Device plugIn(const QTemporaryDir &dir, int number, const QString &release)
{
    SimDevice::Options options;
    options.release = release;
    options.paced = true;
    options.portName = QStringLiteral("ttyPELKO%1").arg(number);
    options.portsFile = dir.filePath(QStringLiteral("ports%1").arg(number));
    auto sim = std::make_unique<SimDevice>(options);
    if (!sim->start())
        std::printf("simulated device %d did not start\n", number);
    return {std::move(sim), options.portsFile};
}

QProcess *provision(const Device &device, int number, const QString &file, const QString &log)
{
    auto *tool = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PELKO_EXTRA_PORTS"), device.portsFile);
    tool->setProcessEnvironment(environment);
    tool->start(
        QStringLiteral(PELKO_PROVISION_PROGRAM),
        {QStringLiteral("write"), QStringLiteral("ttyPELKO%1").arg(number), file, QStringLiteral("--log"), log});
    return tool;
}

// Writes to `count` devices at once; the time until the last one is done.
double writeAll(const QString &release, int count, double *floorMs = nullptr)
{
    QTemporaryDir dir;
    std::vector<Device> devices;
    for (int i = 0; i < count; ++i)
        devices.push_back(plugIn(dir, i, release));
    const QString file = dir.filePath(QStringLiteral("site.json"));
    {
        QProcess reader;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PELKO_EXTRA_PORTS"), devices.front().portsFile);
        reader.setProcessEnvironment(environment);
        reader.start(QStringLiteral(PELKO_PROVISION_PROGRAM),
                     {QStringLiteral("read"), QStringLiteral("ttyPELKO0"), file});
        reader.waitForFinished(60000);
    }
    for (Device &device : devices)
        device.sim->clearReceived();

    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QProcess>> tools;
    for (int i = 0; i < count; ++i)
        tools.emplace_back(provision(devices[std::size_t(i)], i, file, dir.filePath(QStringLiteral("log.csv"))));
    int failed = 0;
    for (std::size_t i = 0; i < tools.size(); ++i) {
        tools[i]->waitForFinished(120000);
        if (tools[i]->exitCode() == 0)
            continue;
        ++failed;
        std::printf("device %zu: %s\n", i, tools[i]->readAllStandardError().right(400).constData());
    }
    const double elapsedMs = clock.nsecsElapsed() / 1e6;
    if (failed)
        std::printf("%d of %d writes failed\n", failed, count);

    if (floorMs) {
        *floorMs = 2 * 500.0;
        qint64 bytes = devices.front().sim->bytesSent();
        for (const QByteArray &line : devices.front().sim->receivedLines()) {
            bytes += line.size();
            *floorMs += line.contains("SAVEPARAM") ? 600 : 200;
        }
        *floorMs += static_cast<double>(bytes * SimDevice::kWireNsPerByte) / 1e6;
    }
    return elapsedMs;
}

} // namespace

PELKO_BENCH(benchProvision)
{
    double floorMs = 0;
    const double pacedMs = writeAll(QStringLiteral("2.0"), 1, &floorMs);
    std::printf("write and verify one device: %.0f ms for a floor of %.0f ms: ratio %.3f (target <= 1.05)\n", pacedMs,
                floorMs, pacedMs / floorMs);
    const QString release = QStringLiteral("2.2");
    const double oneMs = writeAll(release, 1);
    std::printf("one device of release 2.2: %.0f ms\n", oneMs);
    for (int count : {8, 64}) {
        const double manyMs = writeAll(release, count);
        std::printf("%d devices side by side: %.0f ms, %.2f times one device (target <= 1.2)\n", count, manyMs,
                    manyMs / oneMs);
    }
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    std::printf("resident memory of one pelko-provision process: at most %.1f MB\n", children.ru_maxrss / 1024.0);
}
