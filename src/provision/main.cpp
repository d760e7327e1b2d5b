// pelko-provision: reads and writes Pelko devices from configuration files,
// one device per process, so that devices on a USB hub are provisioned side by
// side. It drives the configurator's own window without showing it.
#include "provision/provisioning.h"
#include "provision/session.h"

#include "config/formvalues.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "config/configfile.h"
#include "firmware/releases.h"
#include "link/devicesession.h"
#include "link/serialports.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <memory>

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
// warnings always do. The platform's remarks (no display is used, and no
// runtime folder is needed) are not the tool's to make.
void traces(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool platform = QByteArray(context.category ? context.category : "").startsWith("qt.") ||
                          message.startsWith(QLatin1String("QStandardPaths: "));
    if ((type == QtDebugMsg || platform) && !verbose)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

// SIGINT and SIGTERM stop the window's operation as its stop button does
// (the line in flight finishes, nothing more goes out) and the tool takes no
// further step; a second one ends the process as it would have without the tool.
volatile std::sig_atomic_t interrupted = 0;

void stopAtNextLine(int signalNumber)
{
    interrupted = 1;
    std::signal(signalNumber, SIG_DFL);
}

bool stopped()
{
    return interrupted != 0;
}

bool checking = false; // the command is check: it writes nothing and says so

int finish(Outcome outcome, const QString &why = QString())
{
    if (!why.isEmpty())
        say(why);
    say(Provisioning::outcomeWord(outcome, checking));
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

Outcome notConnected(const Session &device)
{
    const QString refusal = device.portRefusal();
    if (!refusal.isEmpty()) {
        say(QStringLiteral("the port is busy: another program holds it (%1)").arg(refusal));
        return Outcome::PortBusy;
    }
    return Outcome::DeviceNotFound;
}

int read(const QString &path)
{
    // A file that cannot be written is refused before the device is read, as a log is.
    const QString refusal = ConfigFile::whyNotWritable(path);
    if (!refusal.isEmpty())
        return finish(Outcome::Usage,
                      QStringLiteral("the configuration could not be saved to %1: %2").arg(path, refusal));
    Session device(say, &interrupted);
    if (!device.connect())
        return finish(stopped() ? Outcome::Interrupted : notConnected(device));
    const bool saved = device.read() && device.save(path);
    device.disconnect();
    if (!saved)
        return finish(Outcome::WriteFailed, QStringLiteral("the device could not be read and saved"));
    say(QStringLiteral("saved %1").arg(path));
    return int(Outcome::Done);
}

// The problems of a file. Those that depend on the release (a setting it
// lacks) are named with the device's release once it is known, so that one
// refusal names them all.
QStringList fileProblems(const QByteArray &content, const QVariantMap &freshForm)
{
    const auto problems = [&](float version) {
        return ConfigFile::read(content, formLimits(), version, freshForm).problems;
    };
    QStringList newest = problems(Firmware::kReleases[std::size(Firmware::kReleases) - 1].version);
    if (newest.isEmpty() || problems(Firmware::kReleases[0].version) == newest)
        return newest;
    DeviceSession link;
    link.watchStopFlag(&interrupted);
    if (!BareDevice::connect(link))
        return newest;
    const float version = link.release();
    BareDevice::disconnect(link);
    return problems(version);
}

// Every difference, then what was not compared, so that an outcome without
// differences never stands for settings the device does not report.
Outcome told(const Provisioning::Verification &verification)
{
    for (const QString &difference : verification.differences)
        say(difference);
    if (!verification.notChecked.isEmpty())
        say(QStringLiteral("not checked, the device does not report them: %1")
                .arg(verification.notChecked.join(QLatin1String(", "))));
    return verification.differences.isEmpty() ? Outcome::Done : Outcome::Differences;
}

// What write and check share: the file checked, the device connected and
// read, and the file loaded over what it holds, as a technician would before
// Start. Null, with the outcome in `failed`, when a step did not go through.
std::unique_ptr<Session> readThenLoad(const QString &path, Provisioning::LogEntry &log, Outcome &failed)
{
    auto device = std::make_unique<Session>(say, &interrupted);
    const QStringList problems = fileProblems(log.fileContent, device->freshValues());
    for (const QString &problem : problems)
        say(problem);
    failed = problems.isEmpty() ? Outcome::Interrupted : Outcome::RefusedFile;
    if (!problems.isEmpty() || stopped())
        return nullptr;

    if (!device->connect()) {
        failed = stopped() ? Outcome::Interrupted : notConnected(*device);
        return nullptr;
    }
    log.devEui = device->devEui();
    log.firmware = Firmware::releaseName(device->firmwareVersion());
    say(QStringLiteral("connected: firmware %1, DevEUI %2").arg(log.firmware, log.devEui));
    // Read first, so that a setting the upload does not send keeps the
    // device's value in the form, as in the window.
    const bool read = device->read() && !stopped();
    if (!read || !device->load(path)) {
        device->disconnect();
        failed = stopped() ? Outcome::Interrupted : read ? Outcome::RefusedFile : Outcome::WriteFailed;
        return nullptr;
    }
    return device;
}

Outcome write(const QString &path, Provisioning::LogEntry &log)
{
    Upload::Delivery delivered;
    {
        Outcome failed = Outcome::Done;
        const std::unique_ptr<Session> device = readThenLoad(path, log, failed);
        if (!device)
            return failed;
        if (stopped()) {
            device->disconnect();
            return Outcome::Interrupted;
        }
        say(QStringLiteral("writing"));
        const bool started = device->start();
        delivered = device->delivered();
        device->disconnect();
        // What the device took is told from what reached it, whenever the
        // signal came: a stop after the last save finds the write saved.
        if (stopped()) {
            say(delivered.stoppedAccount());
            if (delivered.complete())
                return Outcome::SavedNotVerified;
            return delivered.saved(Upload::Delivery::Part::Algorithms) ? Outcome::PartlySaved : Outcome::Interrupted;
        }
        if (!started || !delivered.complete()) {
            const QString failedLine = Provisioning::failedLine(delivered.lines());
            if (!failedLine.isEmpty())
                say(failedLine);
            return Outcome::WriteFailed;
        }
    }

    // A session of its own for the check, with no form: nothing it reads comes
    // from the write. A signal on the way leaves the write saved but not verified.
    say(QStringLiteral("verifying"));
    DeviceSession check;
    check.watchStopFlag(&interrupted);
    const bool readBack = BareDevice::connect(check) && !stopped() && BareDevice::read(check);
    const Provisioning::Verification verification =
        Provisioning::verify(delivered.lines(), check.dump(), check.loraAnswer());
    BareDevice::disconnect(check);
    if (!readBack) {
        if (stopped())
            return Outcome::SavedNotVerified;
        say(QStringLiteral("the device could not be read back"));
        return Outcome::WriteFailed;
    }
    return told(verification);
}

// Compares the device with the file without writing: the lines a write of
// the file would send, planned on the device's own values as the window
// plans them after Read and Load, against what the device reports.
Outcome check(const QString &path, Provisioning::LogEntry &log)
{
    Outcome failed = Outcome::Done;
    const std::unique_ptr<Session> device = readThenLoad(path, log, failed);
    if (!device)
        return failed;
    Provisioning::Verification verification =
        Provisioning::check(device->planned(), device->dump(), device->loraAnswer());
    // A difference the form could not help (the file was read from this very
    // device, perhaps) says why: a write would still change the device.
    verification.differences = Untaken::withReasons(verification.differences, device->untaken());
    device->disconnect();
    return stopped() ? Outcome::Interrupted : told(verification);
}

// The log is opened before the device is touched. The process that makes it
// writes its header at once; one that finds it empty gives the maker a moment
// to, so that processes starting a new log together leave one header.
bool openLog(QFile &csv)
{
    const QIODevice::OpenMode append = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
    const bool made = csv.open(append | QIODevice::NewOnly);
    if (!made && !csv.open(append))
        return false;
    for (int wait = 0; !made && csv.size() == 0 && wait < 20; ++wait)
        QThread::msleep(10);
    const QByteArray header(Provisioning::kLogHeader);
    return (!made && csv.size() > 0) || csv.write(header) == header.size();
}

} // namespace

int main(int argc, char *argv[])
{
    // The window is never shown: no display is needed, whatever the desktop
    // asks for, and nothing of the platform's is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(traces);
    QApplication app(argc, argv);
    setApplicationIdentity();
    QCoreApplication::setApplicationName(QStringLiteral("pelko-provision"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads and writes Pelko devices from configuration files.\n\n"
                       "  list              the device ports found\n"
                       "  read PORT FILE    save the device's configuration to FILE\n"
                       "  write PORT FILE   write FILE to the device, save it there, read it back and compare\n"
                       "  check PORT FILE   read the device and compare it with FILE, writing nothing\n\n"
                       "A write is verified by reading the device back: every setting it sent is compared with\n"
                       "what the device reports. A check compares every setting a write of FILE would send\n"
                       "with what the device reports, and lists each difference (setting, file, device).\n"
                       "Read names each setting the form cannot hold as the device holds it, and why; check\n"
                       "gives that reason beside the difference.\n"
                       "The device does not report TILT's inhibition, whether VIBRATION runs, nor (before\n"
                       "release 1.9) the join-request time-out: these are listed as not checked.\n\n"
                       "Exit codes: 0 done (written and verified; check: the device holds the file's settings),\n"
                       "1 usage, log or read's file not writable (nothing sent), 2 refused file (nothing written),\n"
                       "3 device not found, 4 write failed (check: the read failed),\n"
                       "5 verify found differences (check: the device differs from the file),\n"
                       "6 interrupted (SIGINT, SIGTERM: nothing of the write saved), 7 port busy,\n"
                       "8 written and verified but its log line lost, 9 saved but not verified (interrupted\n"
                       "during the read-back), 10 interrupted after the algorithm save (LoRa not saved)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("CSV log that every write and check appends one line to."),
                                       QStringLiteral("file"), QStringLiteral("pelko-provision-log.csv"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Also print the configurator's debug traces."));
    parser.addOption(logOption);
    parser.addOption(verboseOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list, read, write or check"));
    parser.process(app);
    verbose = parser.isSet(verboseOption);

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (command == QLatin1String("list") && args.size() == 1)
        return list();
    checking = command == QLatin1String("check");
    const bool known = command == QLatin1String("read") || command == QLatin1String("write") || checking;
    if (!known || args.size() != 3) {
        // What was wrong first, then how it is used.
        const QString why = command.isEmpty()                  ? QStringLiteral("no command given")
                            : command == QLatin1String("list") ? QStringLiteral("list takes no port or file")
                            : !known ? QStringLiteral("unknown command \"%1\"").arg(ConfigFile::printable(command))
                                     : QStringLiteral("%1 needs a port and a file").arg(command);
        say(why);
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return int(Outcome::Usage);
    }
    const QString &port = args.at(1);
    const QString &path = args.at(2);
    portShown = port;
    // A tool given one port must not take another device's.
    listOnlyPort(port);
    if (command == QLatin1String("read"))
        return read(path);

    QFile csv(parser.value(logOption));
    if (!openLog(csv))
        return finish(Outcome::Usage, QStringLiteral("log %1: %2").arg(csv.fileName(), csv.errorString()));
    std::signal(SIGINT, stopAtNextLine);
    std::signal(SIGTERM, stopAtNextLine);

    Provisioning::LogEntry log{{}, port, {}, {}, QFileInfo(path).fileName(), {}, Outcome::Done, checking};
    QFile file(path);
    Outcome outcome = Outcome::RefusedFile;
    if (file.open(QIODevice::ReadOnly)) {
        log.fileContent = file.readAll();
        outcome = checking ? check(path, log) : write(path, log);
    } else {
        say(QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    log.outcome = outcome;
    log.time = QDateTime::currentDateTimeUtc();
    finish(outcome);

    // One write or check a line, so that devices provisioned side by side into one log
    // leave whole lines.
    const QByteArray line = Provisioning::logLine(log);
    if (csv.write(line) != line.size()) {
        say(QStringLiteral("log %1: %2: this write's line is lost").arg(csv.fileName(), csv.errorString()));
        return int(outcome == Outcome::Done ? Outcome::LogFailed : outcome);
    }
    return int(outcome);
}
