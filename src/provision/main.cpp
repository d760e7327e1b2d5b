// pelko-provision: reads and writes Pelko devices from configuration files,
// one device per process, so that devices on a USB hub are provisioned side by
// side. It drives the configurator's own window without showing it.
#include "provision/provisioning.h"
#include "provision/session.h"

#include "app/formvalues.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "firmware/releases.h"
#include "link/serialports.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

using Provisioning::Outcome;

namespace {

bool verbose = false;
QString portShown;

void say(const QString &line)
{
    std::fprintf(stderr, "pelko-provision: %s%s\n",
                 portShown.isEmpty() ? "" : qPrintable(portShown + QStringLiteral(": ")), qPrintable(line));
    std::fflush(stderr);
}

// The window's debug traces go to standard error only when asked for; its
// warnings always do.
void traces(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg && !verbose)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

int finish(Outcome outcome, const QString &why = QString())
{
    if (!why.isEmpty())
        say(why);
    say(Provisioning::outcomeWord(outcome));
    return int(outcome);
}

int list()
{
    QTextStream out(stdout);
    for (const SerialPortEntry &port : availableSerialPorts()) {
        if (isPelkoManufacturer(port.manufacturer))
            out << port.portName << '\t' << port.systemLocation << '\t' << port.manufacturer << '\n';
    }
    return int(Outcome::Done);
}

int read(const QString &port, const QString &path)
{
    Session device(port, say);
    if (!device.connect())
        return finish(Outcome::DeviceNotFound);
    const bool saved = device.read() && device.save(path);
    device.disconnect();
    if (!saved)
        return finish(Outcome::WriteFailed, QStringLiteral("the device could not be read and saved"));
    say(QStringLiteral("saved %1").arg(path));
    return int(Outcome::Done);
}

Outcome write(const QString &port, const QString &path, Provisioning::LogEntry &log)
{
    // Whatever does not depend on the device's release is checked before the
    // device is touched.
    const Firmware::Release &newest = Firmware::kReleases[std::size(Firmware::kReleases) - 1];
    const MainWindow fresh;
    const ConfigFile::Reading precheck =
        ConfigFile::read(log.fileContent, formLimits(), newest.version, formValues(fresh));
    for (const QString &problem : precheck.problems)
        say(problem);
    if (!precheck.problems.isEmpty())
        return Outcome::RefusedFile;

    ConfigFile::FormValues written;
    QVector<const Upload::Step *> sent;
    {
        Session device(port, say);
        if (!device.connect())
            return Outcome::DeviceNotFound;
        log.devEui = device.devEui();
        log.firmware = Firmware::releaseName(device.firmwareVersion());
        say(QStringLiteral("connected: firmware %1, DevEUI %2").arg(log.firmware, log.devEui));
        // Read first, so that a setting the upload does not send keeps the
        // device's value in the form, as in the window.
        if (!device.read()) {
            device.disconnect();
            return Outcome::WriteFailed;
        }
        if (!device.load(path)) {
            device.disconnect();
            return Outcome::RefusedFile;
        }
        written = device.values();
        sent = device.rowsSent();
        say(QStringLiteral("writing"));
        const bool started = device.start();
        device.disconnect();
        if (!started)
            return Outcome::WriteFailed;
    }

    // A window of its own for the check: nothing it shows comes from the write.
    say(QStringLiteral("verifying"));
    Session check(port, say);
    if (!check.connect() || !check.read()) {
        check.disconnect();
        say(QStringLiteral("the device could not be read back"));
        return Outcome::WriteFailed;
    }
    const QStringList differences = Provisioning::differences(written, check.values(), sent);
    check.disconnect();
    for (const QString &difference : differences)
        say(difference);
    return differences.isEmpty() ? Outcome::Done : Outcome::Differences;
}

} // namespace

int main(int argc, char *argv[])
{
    // The window is never shown: no display is needed, on any desktop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setApplicationIdentity();
    QCoreApplication::setApplicationName(QStringLiteral("pelko-provision"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads and writes Pelko devices from configuration files.\n\n"
                       "  list              the device ports found\n"
                       "  read PORT FILE    save the device's configuration to FILE\n"
                       "  write PORT FILE   write FILE to the device, save it there, read it back and compare\n\n"
                       "Exit codes: 0 done (written and verified), 1 usage, 2 refused file (nothing written),\n"
                       "3 device not found, 4 write failed, 5 verify found differences."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("CSV log that every write appends one line to."),
                                       QStringLiteral("file"), QStringLiteral("pelko-provision-log.csv"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Also print the configurator's debug traces."));
    parser.addOption(logOption);
    parser.addOption(verboseOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list, read or write"));
    parser.process(app);
    verbose = parser.isSet(verboseOption);
    qInstallMessageHandler(traces);

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (command == QLatin1String("list") && args.size() == 1)
        return list();
    if ((command != QLatin1String("read") && command != QLatin1String("write")) || args.size() != 3) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return int(Outcome::Usage);
    }
    const QString &port = args.at(1);
    const QString &path = args.at(2);
    portShown = port;
    if (command == QLatin1String("read"))
        return read(port, path);

    Provisioning::LogEntry log{QDateTime::currentDateTimeUtc(), port, {},           {},
                               QFileInfo(path).fileName(),      {},   Outcome::Done};
    QFile file(path);
    Outcome outcome = Outcome::RefusedFile;
    if (file.open(QIODevice::ReadOnly)) {
        log.fileContent = file.readAll();
        outcome = write(port, path, log);
    } else {
        say(QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    log.outcome = outcome;

    QFile csv(parser.value(logOption));
    const bool fresh = !csv.exists() || csv.size() == 0;
    // One write a line, so that devices provisioned side by side into one log
    // leave whole lines.
    if (csv.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        csv.write((fresh ? QByteArray(Provisioning::kLogHeader) : QByteArray()) + Provisioning::logLine(log));
    } else {
        say(QStringLiteral("log %1: %2").arg(csv.fileName(), csv.errorString()));
    }
    return finish(outcome);
}
