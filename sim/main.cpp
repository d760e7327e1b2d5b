// pelko-device-sim: a simulated Pelko device on a pseudo-terminal, for trying
// the configurator without hardware. Runs until SIGINT or SIGTERM.

#include "simdevice.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QString>

#include <csignal>
#include <cstdio>
#include <ctime>

#include <signal.h>

namespace {

const QMap<QString, SimFault> &faultNames()
{
    static const QMap<QString, SimFault> names = {
        {QStringLiteral("Refuses"), SimFault::Refuses},
        {QStringLiteral("NeverAnswers"), SimFault::NeverAnswers},
        {QStringLiteral("AnswersWithoutOk"), SimFault::AnswersWithoutOk},
        {QStringLiteral("AnswersInChunks"), SimFault::AnswersInChunks},
        {QStringLiteral("Babbles"), SimFault::Babbles},
        {QStringLiteral("SendsGarbage"), SimFault::SendsGarbage},
        {QStringLiteral("GoesAway"), SimFault::GoesAway},
    };
    return names;
}

int usage(const char *program)
{
    std::fprintf(stderr,
                 "usage: %s --ports-file FILE [--release 2.2] [--log FILE] [--manufacturer TEXT]\n"
                 "          [--battery PERCENT] [--fault PREFIX=FaultName ...]\n"
                 "fault names: Refuses NeverAnswers AnswersWithoutOk AnswersInChunks Babbles\n"
                 "             SendsGarbage GoesAway\n",
                 program);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    SimDevice::Options options;
    QList<QPair<QByteArray, SimFault>> faults;
    int battery = -1;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (i + 1 >= argc)
            return usage(argv[0]);
        const QString value = QString::fromLocal8Bit(argv[++i]);
        if (arg == QLatin1String("--ports-file")) {
            options.portsFile = value;
        } else if (arg == QLatin1String("--release")) {
            options.release = value;
        } else if (arg == QLatin1String("--log")) {
            options.wireLogFile = value;
        } else if (arg == QLatin1String("--manufacturer")) {
            options.manufacturer = value;
        } else if (arg == QLatin1String("--battery")) {
            bool ok = false;
            battery = value.toInt(&ok);
            if (!ok)
                return usage(argv[0]);
        } else if (arg == QLatin1String("--fault")) {
            const int at = value.lastIndexOf(QLatin1Char('='));
            if (at <= 0 || !faultNames().contains(value.mid(at + 1))) {
                std::fprintf(stderr, "bad fault: %s\n", qPrintable(value));
                return usage(argv[0]);
            }
            faults.append({value.left(at).toUtf8(), faultNames().value(value.mid(at + 1))});
        } else {
            return usage(argv[0]);
        }
    }
    if (options.portsFile.isEmpty())
        return usage(argv[0]);

    // Signals are taken synchronously below; block them before the device's
    // thread starts so that it inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimDevice device(options);
    for (const auto &fault : faults)
        device.setFault(fault.first, fault.second);
    if (battery >= 0)
        device.setBatteryLevel(battery);
    if (!device.start()) {
        std::fprintf(stderr, "could not open a pseudo-terminal\n");
        return 1;
    }
    std::printf("Pelko %s simulated at %s, listed in %s\n", qPrintable(options.release), qPrintable(device.portPath()),
                qPrintable(options.portsFile));
    std::fflush(stdout);

    // A device switched off (or pulled by a fault) is plugged back after a
    // few seconds so that a demo can go on; a restart comes back by itself.
    const int awayLimitMs = 4000;
    QElapsedTimer away;
    const timespec tick = {0, 200 * 1000 * 1000};
    for (;;) {
        const int received = sigtimedwait(&stopSignals, nullptr, &tick);
        if (received == SIGINT || received == SIGTERM)
            break;
        if (device.isPresent()) {
            away.invalidate();
        } else if (!away.isValid()) {
            away.start();
        } else if (away.elapsed() > awayLimitMs) {
            device.comeBack();
            away.invalidate();
            std::printf("Plugged in again at %s\n", qPrintable(device.portPath()));
            std::fflush(stdout);
        }
    }
    device.stop();
    return 0;
}
