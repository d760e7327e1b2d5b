// pelko-provision: reads and writes Pelko devices from configuration files,
// one device per process, so that devices on a USB hub are provisioned side by
// side. It drives the configurator's own window without showing it.
#include "provision/provisioning.h"
#include "provision/session.h"

#include "app/formvalues.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "config/configfile.h"
#include "firmware/releases.h"
#include "link/consoletext.h"
#include "link/devicesession.h"
#include "link/serialports.h"
#include "tools/typedline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

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

// The device's port as the first connection of this run found it: the
// later ones open it again without listing the host's ports anew.
SerialPortEntry portFound;

void remember(const DeviceSession &link)
{
    if (portFound.systemLocation.isEmpty())
        portFound = link.foundPort();
}

// A session of the tool's own looks at the port it was given, and stops on
// its signals.
void aim(DeviceSession &link)
{
    link.setOnlyPort(portShown);
    if (!portFound.systemLocation.isEmpty())
        link.setKnownPort(portFound);
    link.watchStopFlag(&interrupted);
}

bool checking = false; // the command is check: it writes nothing and says so
// A file made for another release is applied for the rest of it, its gaps told.
bool allowMissing = false;

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
    Session device(say);
    aim(device.link());
    if (!device.connect())
        return finish(stopped() ? Outcome::Interrupted : notConnected(device));
    const bool saved = device.read() && device.save(path);
    device.disconnect();
    if (!saved)
        return finish(Outcome::WriteFailed, QStringLiteral("the device could not be read and saved"));
    say(QStringLiteral("saved %1").arg(path));
    return int(Outcome::Done);
}

// What a window shows and admits before a device or a file changed
// anything: the values a file's unset settings keep, and the limits of each.
struct FreshForm
{
    ConfigFile::FormValues values;
    ConfigFile::Limits limits;
};

// The fresh form of the commands that have no form of their own (validate,
// diff). One window per process is enough.
const FreshForm &freshForm()
{
    static const FreshForm fresh = [] {
        const MainWindow window;
        return FreshForm{formValues(window), window.fileLimits()};
    }();
    return fresh;
}

const float newestRelease = Firmware::kReleases[std::size(Firmware::kReleases) - 1].version;

// Why a file is refused for a release: its own problems, and without
// --allow-missing what the release lacks or takes otherwise.
QStringList refusalFor(const QByteArray &content, float version, const FreshForm &fresh)
{
    const ConfigFile::Reading reading = ConfigFile::read(content, fresh.limits, version, fresh.values);
    return allowMissing ? reading.problems : ConfigFile::refusal(reading, version);
}

// The problems of a file. Those that depend on the release (a setting it
// lacks) are named with the device's release once it is known, so that one
// refusal names them all.
QStringList fileProblems(const QByteArray &content, const FreshForm &fresh)
{
    const auto problems = [&](float version) {
        return refusalFor(content, version, fresh);
    };
    QStringList newest = problems(newestRelease);
    if (newest.isEmpty() || problems(Firmware::kReleases[0].version) == newest)
        return newest;
    DeviceSession link;
    aim(link);
    if (!BareDevice::connect(link))
        return newest;
    remember(link);
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
    auto device = std::make_unique<Session>(say);
    const QStringList problems = fileProblems(log.fileContent, {device->freshValues(), device->limits()});
    for (const QString &problem : problems)
        say(problem);
    failed = problems.isEmpty() ? Outcome::Interrupted : Outcome::RefusedFile;
    if (!problems.isEmpty() || stopped())
        return nullptr;

    aim(device->link());
    if (!device->connect()) {
        failed = stopped() ? Outcome::Interrupted : notConnected(*device);
        return nullptr;
    }
    remember(device->link());
    log.devEui = device->devEui();
    log.firmware = Firmware::releaseName(device->firmwareVersion());
    say(QStringLiteral("connected: firmware %1, DevEUI %2").arg(log.firmware, log.devEui));
    // Read first, so that a setting the upload does not send keeps the
    // device's value in the form, as in the window.
    const bool read = device->read() && !stopped();
    if (!read || !device->load(path, allowMissing)) {
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
    aim(check);
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

// Checks a file for a release as Load would, opening no port: its own
// problems and what the release would take otherwise are all named, as no
// one is there to agree to leaving anything out.
Outcome validate(const QString &path, float version)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        say(QStringLiteral("%1: %2").arg(path, file.errorString()));
        return Outcome::RefusedFile;
    }
    const ConfigFile::Reading reading =
        ConfigFile::read(file.readAll(), freshForm().limits, version, freshForm().values);
    const QStringList lines = reading.problems + ConfigFile::releaseGaps(reading, version);
    for (const QString &line : lines)
        say(line);
    say(lines.isEmpty() ? QStringLiteral("valid for firmware %1").arg(Firmware::releaseName(version))
                        : Provisioning::outcomeWord(Outcome::RefusedFile));
    return lines.isEmpty() ? Outcome::Done : Outcome::RefusedFile;
}

// The settings two files hold differently, on standard output; files with
// problems of their own are not compared.
Outcome diff(const QString &first, const QString &second)
{
    QByteArray contents[2];
    QStringList problems;
    for (int i = 0; i < 2; ++i) {
        const QString &path = i == 0 ? first : second;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            problems << QStringLiteral("%1: %2").arg(path, file.errorString());
            continue;
        }
        contents[i] = file.readAll();
        for (const QString &problem :
             ConfigFile::read(contents[i], freshForm().limits, newestRelease, freshForm().values).problems)
            problems << QStringLiteral("%1: %2").arg(path, problem);
    }
    for (const QString &problem : problems)
        say(problem);
    if (!problems.isEmpty()) {
        say(Provisioning::outcomeWord(Outcome::RefusedFile));
        return Outcome::RefusedFile;
    }
    const QStringList differing = ConfigFile::differences(contents[0], contents[1], freshForm().limits);
    QTextStream out(stdout);
    for (const QString &line : differing)
        out << line << '\n';
    out.flush();
    say(differing.isEmpty() ? QStringLiteral("the same settings") : QStringLiteral("differs"));
    return differing.isEmpty() ? Outcome::Done : Outcome::Differences;
}

// validate and diff: files alone, no device and no log. Null when the
// command line is wrong, after saying why.
std::optional<Outcome> withoutDevice(const QStringList &args, const QString &release, bool releaseGiven)
{
    if (args.value(0) == QLatin1String("diff")) {
        if (args.size() == 3)
            return diff(args.at(1), args.at(2));
        say(QStringLiteral("diff needs two files"));
        return std::nullopt;
    }
    if (args.size() != 2 || !releaseGiven) {
        say(QStringLiteral("validate needs a file and --release"));
        return std::nullopt;
    }
    const float version = Firmware::releaseNamed(release);
    if (version != 0.0f)
        return validate(args.at(1), version);
    QStringList known;
    for (const Firmware::Release &r : Firmware::kReleases)
        known << Firmware::releaseName(r.version);
    say(QStringLiteral("unknown release \"%1\" (the releases are %2)")
            .arg(ConfigFile::printable(release), known.join(QLatin1String(", "))));
    return std::nullopt;
}

// Each line in turn after the handshake, each answer on standard output as
// the console shows it; the first that does not answer "OK" ends it.
int send(const QStringList &lines)
{
    for (const QString &line : lines) {
        const QString refusal = TypedLine::refusal(line);
        if (!refusal.isEmpty())
            return finish(Outcome::Usage,
                          QStringLiteral("\"%1\" not sent: %2").arg(ConfigFile::printable(line), refusal));
    }
    DeviceSession link;
    aim(link);
    QByteArray answer;
    link.setAnswerReader([&answer](const QByteArray &, const QByteArray &received) { answer = received; });
    if (!BareDevice::connect(link)) {
        if (stopped())
            return finish(Outcome::Interrupted);
        if (!link.isOpen() && link.heldElsewhere())
            return finish(Outcome::PortBusy,
                          QStringLiteral("the port is busy: another program holds it (%1)").arg(link.openError()));
        return finish(Outcome::DeviceNotFound);
    }
    QTextStream out(stdout);
    Outcome outcome = Outcome::Done;
    for (const QString &line : lines) {
        answer.clear();
        const int result = BareDevice::send(link, TypedLine::wireText(line));
        out << consoleEcho(answer);
        if (!answer.endsWith('\n'))
            out << '\n';
        out.flush();
        if (stopped()) {
            outcome = Outcome::Interrupted;
            break;
        }
        if (result != 0) {
            say(QStringLiteral("\"%1\" was not answered \"OK\"").arg(ConfigFile::printable(maskKeys(line.trimmed()))));
            outcome = Outcome::WriteFailed;
            break;
        }
    }
    BareDevice::disconnect(link);
    return finish(outcome);
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
    // asks for, and nothing of the platform's is shown. The minimal platform
    // loads no font, which a form no one sees does not need; where it is not
    // installed, the offscreen one does. The event loop only waits on the
    // port and on timers: Qt's own, without GLib, wakes more cheaply for
    // each piece of an answer.
#ifdef Q_OS_WIN
    // Where neither is deployed, the desktop's own, its window never shown.
    qputenv("QT_QPA_PLATFORM", "minimal;offscreen;windows");
#else
    qputenv("QT_QPA_PLATFORM", "minimal;offscreen");
#endif
    qputenv("QT_NO_GLIB", "1");
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
                       "  check PORT FILE   read the device and compare it with FILE, writing nothing\n"
                       "  validate FILE --release R\n"
                       "                    check FILE for release R (\"1.9.2\", \"2.1.1\") as Load would,\n"
                       "                    opening no port; a setting R lacks is named as left out\n"
                       "  diff A B          the settings files A and B hold differently, one per line on\n"
                       "                    standard output (setting, A, B; \"missing\" for one a file lacks)\n"
                       "  send PORT LINE... send each line to the device in turn, each answer on standard\n"
                       "                    output (keys masked); stops at the first not answered \"OK\"\n\n"
                       "A write or check refuses a file made for another release, naming the settings the\n"
                       "device's release lacks or would take differently; with --allow-missing it applies the\n"
                       "rest and names them, a line each.\n"
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
                       "during the read-back), 10 interrupted after the algorithm save (LoRa not saved).\n"
                       "validate: 0 valid for the release, 2 not; diff: 0 the same settings, 5 they differ,\n"
                       "2 a file refused; send: 0 every line answered \"OK\", 4 one was not (the rest not\n"
                       "sent), 1 a line the device would not take (empty, over 64 characters, a control\n"
                       "character), 3, 6 and 7 as above."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("CSV log that every write and check appends one line to."),
                                       QStringLiteral("file"), QStringLiteral("pelko-provision-log.csv"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Also print the configurator's debug traces."));
    const QCommandLineOption allowMissingOption(
        QStringLiteral("allow-missing"),
        QStringLiteral("write, check: apply a file made for another release, leaving out what it lacks."));
    const QCommandLineOption releaseOption(QStringLiteral("release"),
                                           QStringLiteral("validate: the release to check the file for."),
                                           QStringLiteral("release"));
    parser.addOption(logOption);
    parser.addOption(verboseOption);
    parser.addOption(allowMissingOption);
    parser.addOption(releaseOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("list, read, write, check, validate, diff or send"));
    parser.process(app);
    verbose = parser.isSet(verboseOption);
    // Traces no one reads are not even composed.
    if (!verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    allowMissing = parser.isSet(allowMissingOption);

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (command == QLatin1String("list") && args.size() == 1)
        return list();
    if (command == QLatin1String("validate") || command == QLatin1String("diff")) {
        const std::optional<Outcome> outcome =
            withoutDevice(args, parser.value(releaseOption), parser.isSet(releaseOption));
        if (outcome)
            return int(*outcome);
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return int(Outcome::Usage);
    }
    if (command == QLatin1String("send") && args.size() >= 3) {
        portShown = args.at(1);
        std::signal(SIGINT, stopAtNextLine);
        std::signal(SIGTERM, stopAtNextLine);
        return send(args.mid(2));
    }
    checking = command == QLatin1String("check");
    const bool known = command == QLatin1String("read") || command == QLatin1String("write") || checking;
    if (!known || args.size() != 3) {
        // What was wrong first, then how it is used.
        const QString why = command.isEmpty()                  ? QStringLiteral("no command given")
                            : command == QLatin1String("list") ? QStringLiteral("list takes no port or file")
                            : command == QLatin1String("send") ? QStringLiteral("send needs a port and a line")
                            : !known ? QStringLiteral("unknown command \"%1\"").arg(ConfigFile::printable(command))
                                     : QStringLiteral("%1 needs a port and a file").arg(command);
        say(why);
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return int(Outcome::Usage);
    }
    const QString &port = args.at(1);
    const QString &path = args.at(2);
    portShown = port;
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
