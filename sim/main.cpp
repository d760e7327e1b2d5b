// pelko-device-sim: a simulated Pelko device on a pseudo-terminal, for trying
// the configurator without hardware. Runs until SIGINT or SIGTERM.

#include "simdevice.h"
#include "simfirmware.h"

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
        {QStringLiteral("Forgets"), SimFault::Forgets},
    };
    return names;
}

int usage(const char *program)
{
    std::fprintf(stderr,
                 "usage: %s --ports-file FILE [--release 2.2] [--log FILE] [--manufacturer TEXT]\n"
                 "          [--battery PERCENT] [--fault PREFIX=FaultName ...] [--back-after MS]\n"
                 "          [--paced] [--interactive]\n"
                 "releases: 1.6 1.7 1.8 1.9 1.9.1 1.9.2 1.9.3 2.0 2.1 2.1.1 2.1.2 2.2\n"
                 "fault names: Refuses NeverAnswers AnswersWithoutOk AnswersInChunks Babbles\n"
                 "             SendsGarbage GoesAway Forgets\n"
                 "--back-after: a device switched off or pulled is plugged in again after MS\n"
                 "              (without it, it stays away)\n"
                 "--paced: bytes take their time on the wire (115,200 baud, 10 bits a byte)\n"
                 "--interactive: for typing at a terminal; a line ends only at CR or LF\n",
                 program);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    SimDevice::Options options;
    QList<QPair<QByteArray, SimFault>> faults;
    int battery = -1;
    int backAfterMs = -1;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--paced")) {
            options.paced = true;
            continue;
        }
        if (arg == QLatin1String("--interactive")) {
            options.interactive = true;
            continue;
        }
        if (i + 1 >= argc)
            return usage(argv[0]);
        const QString value = QString::fromLocal8Bit(argv[++i]);
        if (arg == QLatin1String("--ports-file")) {
            options.portsFile = value;
        } else if (arg == QLatin1String("--release")) {
            if (!SimFirmware::isKnownRelease(value)) {
                std::fprintf(stderr, "unknown release: %s\n", qPrintable(value));
                return usage(argv[0]);
            }
            options.release = value;
        } else if (arg == QLatin1String("--log")) {
            options.wireLogFile = value;
        } else if (arg == QLatin1String("--manufacturer")) {
            options.manufacturer = value;
        } else if (arg == QLatin1String("--battery") || arg == QLatin1String("--back-after")) {
            bool ok = false;
            const int number = value.toInt(&ok);
            if (!ok || number < 0)
                return usage(argv[0]);
            (arg == QLatin1String("--battery") ? battery : backAfterMs) = number;
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

    // A device switched off (or pulled by a fault) stays away, as a real one
    // does, unless it was asked to be plugged in again; a restart comes back
    // by itself.
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
        } else if (backAfterMs >= 0 && away.elapsed() > backAfterMs) {
            device.comeBack();
            away.invalidate();
            std::printf("Plugged in again at %s\n", qPrintable(device.portPath()));
            std::fflush(stdout);
        }
    }
    device.stop();
    return 0;
}
