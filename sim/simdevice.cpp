#include "simdevice.h"

#include "simfirmware.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

// Devices of one process may share a ports file.
std::mutex &portsFileMutex()
{
    static std::mutex mutex;
    return mutex;
}

bool rewritePortsFile(const QString &path, const QByteArray &remove, const QByteArray &add, bool first)
{
    if (path.isEmpty())
        return false;
    std::lock_guard<std::mutex> lock(portsFileMutex());
    QList<QByteArray> lines;
    QFile current(path);
    if (current.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : current.readAll().split('\n'))
            if (!line.isEmpty() && line != remove && line != add)
                lines.append(line);
        current.close();
    }
    if (!add.isEmpty()) {
        if (first)
            lines.prepend(add);
        else
            lines.append(add);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray &line : lines)
        file.write(line + '\n');
    return file.commit();
}

// Control bytes written out so that a log line stays one line.
QByteArray escaped(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (u < 0x20 || u >= 0x7f)
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

// Random bytes, any but 'O', so that neither "OK" nor "NOK" can appear.
QByteArray garbage(int size)
{
    QByteArray bytes(size, '\0');
    for (char &c : bytes) {
        c = char(QRandomGenerator::global()->bounded(256));
        if (c == 'O')
            c = 'o';
    }
    return bytes;
}

// Longest request line the device buffers before taking it as it is.
constexpr int kMaxLineBytes = 4096;

struct FaultRule
{
    QByteArray prefix;
    SimFault fault = SimFault::None;
    int times = -1;
};

} // namespace

struct SimDevice::Impl
{
    Options options;

    mutable std::mutex mutex; // guards everything below up to the thread-owned part
    SimFirmware firmware;
    QList<SimWireLine> received;
    QList<FaultRule> faults;
    QList<QPair<QByteArray, QByteArray>> rawAnswers;
    bool present = false;
    QString path;
    QByteArray listedLine;
    bool stopping = false;
    std::deque<std::function<void()>> requests;
    qint64 bytesSent = 0;
    quint64 requestsQueued = 0;
    quint64 requestsDone = 0;
    std::condition_variable requestDone;

    // Owned by the device's thread once it runs (by the caller before).
    std::thread thread;
    int masterFd = -1;
    int slaveFd = -1; // kept open so the master never sees a hang-up
    int wakeRead = -1;
    int wakeWrite = -1;
    QElapsedTimer clock;
    QByteArray inbox;
    qint64 lastByteAt = 0;
    qint64 inboxSinceNs = 0; // when the first byte still in the inbox came
    qint64 wireFreeAtNs = 0; // paced: when the line from the program is through
    qint64 comeBackAt = -1;

    std::mutex logMutex;
    QFile wireLog;

    void log(const QByteArray &text);
    bool plugIn();
    void unplug();
    void wake();
    void run();
    bool interrupted();
    bool pause(int ms);
    void send(const QByteArray &bytes);
    void sleepUntilNs(qint64 dueNs);
    QByteArray settingsMismatch();
    int lineEnd() const;
    void waitDrained(int maxMs);
    void handleLine(const QByteArray &bytes);
    void babble();
    void runOnThread(const std::function<void()> &task);
};

void SimDevice::Impl::log(const QByteArray &text)
{
    std::lock_guard<std::mutex> lock(logMutex);
    if (!wireLog.isOpen())
        return;
    wireLog.write("[" + QByteArray::number(clock.elapsed()).rightJustified(6, ' ') + " ms] " + text + '\n');
    wireLog.flush();
}

bool SimDevice::Impl::plugIn()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return false;
    char name[128] = {};
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return false;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        ::close(master);
        return false;
    }
    termios tio;
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, B115200);
        cfsetospeed(&tio, B115200);
        tcsetattr(slave, TCSANOW, &tio);
    }
    const QString location = QString::fromLocal8Bit(name);
    const QByteArray line =
        options.portName.toUtf8() + '\t' + options.manufacturer.toUtf8() + '\t' + location.toLocal8Bit();
    // Listed before it counts as present, so whoever sees it present also
    // finds it in the ports file.
    inbox.clear();
    if (!options.portsFile.isEmpty())
        rewritePortsFile(options.portsFile, QByteArray(), line, false);
    {
        std::lock_guard<std::mutex> lock(mutex);
        masterFd = master;
        slaveFd = slave;
        path = location;
        present = true;
        listedLine = line;
    }
    log("-- plugged in at " + location.toLocal8Bit());
    return true;
}

void SimDevice::Impl::unplug()
{
    int master, slave;
    QByteArray line;
    {
        std::lock_guard<std::mutex> lock(mutex);
        master = masterFd;
        slave = slaveFd;
        line = listedLine;
    }
    if (master < 0)
        return;
    // Unlisted before the link breaks and before it counts as gone: a program
    // that sees its port fail and looks for the device must not find it.
    if (!options.portsFile.isEmpty())
        rewritePortsFile(options.portsFile, line, QByteArray(), false);
    ::close(master);
    ::close(slave);
    {
        std::lock_guard<std::mutex> lock(mutex);
        masterFd = slaveFd = -1;
        present = false;
        listedLine.clear();
    }
    inbox.clear();
    log("-- unplugged");
}

void SimDevice::Impl::wake()
{
    if (wakeWrite >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite, &byte, 1);
    }
}

bool SimDevice::Impl::interrupted()
{
    std::lock_guard<std::mutex> lock(mutex);
    return stopping || !requests.empty();
}

// Waits, but gives up early when the device is being stopped or asked to do
// something else (so a long babble never holds up a test).
bool SimDevice::Impl::pause(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (interrupted())
            return false;
        pollfd fd = {wakeRead, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(qMin<qint64>(ms - timer.elapsed(), 50))) > 0) {
            char drain[64];
            while (::read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
    }
    return !interrupted();
}

void SimDevice::Impl::send(const QByteArray &bytes)
{
    if (masterFd < 0 || bytes.isEmpty())
        return;
    log("-> " + escaped(bytes));
    const qint64 startNs = clock.nsecsElapsed();
    qint64 done = 0;
    QElapsedTimer timer;
    timer.start();
    // Never block for good: nobody may be reading the other end.
    while (done < bytes.size() && timer.elapsed() < 2000) {
        qint64 slice = bytes.size() - done;
        if (options.paced) {
            // A few bytes at a time, each slice once its wire time is over.
            slice = qMin<qint64>(slice, 8);
            sleepUntilNs(startNs + (done + slice) * kWireNsPerByte);
            if (interrupted())
                return;
        }
        const ssize_t n = ::write(masterFd, bytes.constData() + done, size_t(slice));
        if (n > 0) {
            done += n;
            std::lock_guard<std::mutex> lock(mutex);
            bytesSent += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return;
        if (interrupted())
            return;
        pollfd fd = {masterFd, POLLOUT, 0};
        ::poll(&fd, 1, 20);
    }
}

void SimDevice::Impl::sleepUntilNs(qint64 dueNs)
{
    const qint64 aheadNs = dueNs - clock.nsecsElapsed();
    if (aheadNs > 0) {
        const timespec wait = {time_t(aheadNs / 1000000000), long(aheadNs % 1000000000)};
        nanosleep(&wait, nullptr);
    }
}

// What the program set on its end of the link that a UART at 115,200 baud,
// 8N1, without flow control would not understand; empty when all is right.
// (A Linux pseudo-terminal keeps 8 bits without parity whatever it is told,
// so those two are only checked where the platform keeps them.)
QByteArray SimDevice::Impl::settingsMismatch()
{
    termios tio;
    if (slaveFd < 0 || tcgetattr(slaveFd, &tio) != 0)
        return QByteArray();
    QByteArrayList wrong;
    if (cfgetispeed(&tio) != B115200 || cfgetospeed(&tio) != B115200)
        wrong << "baud rate";
    if ((tio.c_cflag & CSIZE) != CS8)
        wrong << "data bits";
    if (tio.c_cflag & PARENB)
        wrong << "parity";
    if (tio.c_cflag & CSTOPB)
        wrong << "stop bits";
    if ((tio.c_cflag & CRTSCTS) || (tio.c_iflag & (IXON | IXOFF)))
        wrong << "flow control";
    return wrong.join(", ");
}

// Where the first whole line in the inbox ends (its last byte), or -1.
int SimDevice::Impl::lineEnd() const
{
    const int lf = inbox.indexOf('\n');
    if (!options.interactive)
        return lf;
    const int cr = inbox.indexOf('\r');
    return (cr < 0 || (lf >= 0 && lf < cr)) ? lf : cr;
}

// Waits until the program has taken what was sent, so that a last answer is
// not lost when the port vanishes.
void SimDevice::Impl::waitDrained(int maxMs)
{
    QElapsedTimer timer;
    timer.start();
    pause(20);
    while (slaveFd >= 0 && timer.elapsed() < maxMs) {
        int queued = 0;
        if (ioctl(slaveFd, FIONREAD, &queued) != 0 || queued == 0)
            return;
        if (!pause(5))
            return;
    }
}

void SimDevice::Impl::babble()
{
    QElapsedTimer timer;
    timer.start();
    int n = 0;
    qint64 sent = 0;
    while (timer.elapsed() < options.babbleMs && masterFd >= 0 && !interrupted()) {
        // No faster than the wire: 115,200 baud carry about 11.5 bytes per ms.
        if (sent > timer.elapsed() * 23 / 2 + 64) {
            pause(2);
            continue;
        }
        const QByteArray text = "acc x=" + QByteArray::number(-12 + n % 25) + " y=" + QByteArray::number(n % 7) +
                                " z=" + QByteArray::number(1000 + n % 9) + " t=" + QByteArray::number(n) + "\r\n";
        ++n;
        const ssize_t written = ::write(masterFd, text.constData(), size_t(text.size()));
        if (written > 0)
            sent += written;
        else {
            pollfd fd = {masterFd, POLLOUT, 0};
            ::poll(&fd, 1, 5);
        }
    }
    log("-> (babbled " + QByteArray::number(n) + " lines)");
}

void SimDevice::Impl::handleLine(const QByteArray &bytes)
{
    if (options.paced) {
        // The line is through once its last byte has crossed the wire.
        wireFreeAtNs = qMax(wireFreeAtNs, inboxSinceNs) + bytes.size() * kWireNsPerByte;
        sleepUntilNs(wireFreeAtNs);
    }
    QByteArray line = bytes;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (options.interactive && line.isEmpty())
        return;

    // At the wrong speed or framing a UART reads noise, and what it sends
    // back is noise at the other end.
    const QByteArray mismatch = settingsMismatch();
    if (!mismatch.isEmpty()) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            received.append({clock.elapsed(), bytes});
        }
        log("<- " + escaped(bytes) + " (not understood: the other end's " + mismatch + " differ)");
        send(garbage(qMax(8, bytes.size())));
        return;
    }

    SimFault fault = SimFault::None;
    QByteArray raw;
    bool hasRaw = false;
    SimReply reply;
    {
        std::lock_guard<std::mutex> lock(mutex);
        received.append({clock.elapsed(), bytes});
        if (received.size() > 100000)
            received.removeFirst();

        int best = -1;
        for (int i = 0; i < faults.size(); ++i)
            if (line.startsWith(faults.at(i).prefix) &&
                (best < 0 || faults.at(i).prefix.size() > faults.at(best).prefix.size()))
                best = i;
        if (best >= 0) {
            fault = faults.at(best).fault;
            if (faults.at(best).times > 0 && --faults[best].times == 0)
                faults.removeAt(best);
        }
        for (const auto &answer : qAsConst(rawAnswers))
            if (line.startsWith(answer.first)) {
                raw = answer.second;
                hasRaw = true;
                break;
            }
        // Only a mangled answer still means the request was carried out, or a
        // cable pulled after the acknowledgement had gone out: a device acts
        // before it says "OK".
        bool carriedOut =
            fault == SimFault::None || fault == SimFault::AnswersWithoutOk || fault == SimFault::AnswersInChunks;
        if (fault == SimFault::GoesAway) {
            const QByteArray whole = hasRaw ? raw : firmware.handle(line, false).wire();
            const QByteArray sent = whole.left(whole.size() / 2);
            carriedOut = sent.contains("OK") && !sent.contains("NOK");
        }
        reply = firmware.handle(line, carriedOut);
        if (!carriedOut)
            reply.action = SimReply::Action::None;
    }
    log("<- " + escaped(bytes));

    QByteArray answer = hasRaw ? raw : reply.wire();
    switch (fault) {
    case SimFault::None:
    case SimFault::Forgets:
        send(answer);
        break;
    case SimFault::Refuses:
        send("NOK" + SimDevice::trailer());
        break;
    case SimFault::NeverAnswers:
        break;
    case SimFault::AnswersWithoutOk:
        if (hasRaw)
            send(QByteArray(raw).replace("OK", ""));
        else if (!reply.status.isEmpty())
            send(reply.content + SimDevice::trailer());
        break;
    case SimFault::AnswersInChunks: {
        const int size = qMax(1, (answer.size() + 3) / 4);
        for (int at = 0; at < answer.size(); at += size) {
            if (at > 0 && !pause(options.chunkPauseMs))
                break;
            send(answer.mid(at, size));
        }
        break;
    }
    case SimFault::Babbles:
        babble();
        break;
    case SimFault::SendsGarbage:
        send(garbage(64));
        break;
    case SimFault::GoesAway: {
        // Half of a short answer may still hold its "OK": acknowledged, then gone.
        send(answer.left(answer.size() / 2));
        waitDrained(300);
        unplug();
        return;
    }
    }

    if (reply.action == SimReply::Action::Restart) {
        waitDrained(500);
        unplug();
        {
            std::lock_guard<std::mutex> lock(mutex);
            firmware.restart();
        }
        comeBackAt = clock.elapsed() + options.rebootDelayMs;
    } else if (reply.action == SimReply::Action::PowerOff) {
        unplug();
        std::lock_guard<std::mutex> lock(mutex);
        firmware.restart();
    }
}

void SimDevice::Impl::run()
{
    char buffer[4096];
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping)
                return;
            if (!requests.empty()) {
                task = requests.front();
                requests.pop_front();
            }
        }
        if (task) {
            task();
            std::lock_guard<std::mutex> lock(mutex);
            ++requestsDone;
            requestDone.notify_all();
            continue;
        }

        const qint64 now = clock.elapsed();
        if (masterFd < 0 && comeBackAt >= 0 && now >= comeBackAt) {
            comeBackAt = -1;
            plugIn();
            continue;
        }
        if (masterFd >= 0 && !inbox.isEmpty() && !options.interactive && now - lastByteAt >= options.lineIdleMs) {
            // A line sent without CR LF ends with the quiet after it.
            const QByteArray line = inbox;
            inbox.clear();
            handleLine(line);
            continue;
        }

        int timeout = 500;
        if (!inbox.isEmpty() && !options.interactive)
            timeout = int(qMax<qint64>(1, lastByteAt + options.lineIdleMs - now));
        if (masterFd < 0 && comeBackAt >= 0)
            timeout = int(qBound(qint64(1), comeBackAt - now, qint64(timeout)));

        pollfd fds[2] = {{wakeRead, POLLIN, 0}, {masterFd, POLLIN, 0}};
        const int count = masterFd >= 0 ? 2 : 1;
        if (::poll(fds, nfds_t(count), timeout) <= 0)
            continue;
        if (fds[0].revents & POLLIN)
            while (::read(wakeRead, buffer, sizeof buffer) > 0) {
            }
        if (count < 2 || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            pause(20); // the other end is not there: do not spin
            continue;
        }
        if (inbox.isEmpty())
            inboxSinceNs = clock.nsecsElapsed();
        inbox.append(buffer, int(n));
        lastByteAt = clock.elapsed();
        for (int end = lineEnd(); end >= 0 && masterFd >= 0; end = lineEnd()) {
            const QByteArray line = inbox.left(end + 1);
            inbox.remove(0, end + 1);
            handleLine(line);
        }
        while (inbox.size() > kMaxLineBytes && masterFd >= 0) {
            // The firmware's line buffer is full: what it holds is one (bad) line.
            const QByteArray line = inbox.left(kMaxLineBytes);
            inbox.remove(0, kMaxLineBytes);
            handleLine(line);
        }
    }
}

// Port changes happen on the device's thread, which alone touches the
// descriptors while it runs; the caller waits until it is done.
void SimDevice::Impl::runOnThread(const std::function<void()> &task)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (!thread.joinable() || stopping) {
        lock.unlock();
        task();
        return;
    }
    requests.push_back(task);
    const quint64 ticket = ++requestsQueued;
    wake();
    requestDone.wait_for(lock, std::chrono::seconds(10), [&] { return requestsDone >= ticket; });
}

SimDevice::SimDevice() : SimDevice(Options()) {}

SimDevice::SimDevice(const Options &options) : d(new Impl)
{
    d->options = options;
    d->firmware.setRelease(options.release);
    d->clock.start();
}

SimDevice::~SimDevice()
{
    stop();
}

bool SimDevice::start()
{
    if (d->thread.joinable())
        return true;
    int pipeFds[2];
    if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    d->wakeRead = pipeFds[0];
    d->wakeWrite = pipeFds[1];
    if (!d->options.wireLogFile.isEmpty()) {
        std::lock_guard<std::mutex> lock(d->logMutex);
        d->wireLog.setFileName(d->options.wireLogFile);
        d->wireLog.open(QIODevice::WriteOnly | QIODevice::Append);
    }
    if (d->masterFd < 0 && !d->plugIn()) {
        ::close(d->wakeRead);
        ::close(d->wakeWrite);
        d->wakeRead = d->wakeWrite = -1;
        return false;
    }
    d->stopping = false;
    d->thread = std::thread([this] { d->run(); });
    return true;
}

void SimDevice::stop()
{
    if (d->thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(d->mutex);
            d->stopping = true;
        }
        d->wake();
        d->thread.join();
    }
    d->unplug();
    d->comeBackAt = -1;
    if (d->wakeRead >= 0) {
        ::close(d->wakeRead);
        ::close(d->wakeWrite);
        d->wakeRead = d->wakeWrite = -1;
    }
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = false;
        d->requests.clear();
    }
    std::lock_guard<std::mutex> lock(d->logMutex);
    d->wireLog.close();
}

QString SimDevice::portPath() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->path;
}

bool SimDevice::isPresent() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->present;
}

void SimDevice::goAway()
{
    d->runOnThread([this] {
        d->comeBackAt = -1;
        d->unplug();
    });
}

void SimDevice::comeBack()
{
    d->runOnThread([this] {
        d->comeBackAt = -1;
        if (d->masterFd < 0)
            d->plugIn();
    });
}

void SimDevice::sendUnasked(const QByteArray &bytes)
{
    d->runOnThread([this, bytes] { d->send(bytes); });
}

void SimDevice::setRelease(const QString &release)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->firmware.setRelease(release);
}

QString SimDevice::release() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->firmware.release();
}

void SimDevice::setFault(const QByteArray &linePrefix, SimFault fault, int times)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (int i = d->faults.size() - 1; i >= 0; --i)
        if (d->faults.at(i).prefix == linePrefix)
            d->faults.removeAt(i);
    if (fault != SimFault::None && times != 0)
        d->faults.append({linePrefix, fault, times});
}

void SimDevice::clearFaults()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults.clear();
}

void SimDevice::setRawAnswer(const QByteArray &linePrefix, const QByteArray &answer)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (auto &entry : d->rawAnswers)
        if (entry.first == linePrefix) {
            entry.second = answer;
            return;
        }
    d->rawAnswers.append({linePrefix, answer});
}

void SimDevice::clearRawAnswers()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->rawAnswers.clear();
}

QList<SimWireLine> SimDevice::received() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->received;
}

QList<QByteArray> SimDevice::receivedLines() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QList<QByteArray> lines;
    for (const SimWireLine &line : d->received)
        lines.append(line.bytes);
    return lines;
}

void SimDevice::clearReceived()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->received.clear();
    d->bytesSent = 0;
}

qint64 SimDevice::bytesSent() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->bytesSent;
}

QMap<QByteArray, QByteArray> SimDevice::savedParameters() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->firmware.saved;
}

QMap<QByteArray, QByteArray> SimDevice::pendingParameters() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->firmware.pending;
}

void SimDevice::setSavedParameter(const QByteArray &key, const QByteArray &value)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->firmware.saved.insert(key, value);
}

void SimDevice::setBatteryLevel(int percent)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->firmware.batteryPercent = percent;
}

bool SimDevice::isDebugOn() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->firmware.debugOn;
}

bool SimDevice::isLedDebugOn() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->firmware.ledOn;
}

QByteArray SimDevice::trailer()
{
    return SimFirmware::trailer();
}

bool SimDevice::addPortLine(const QString &portsFile, const QByteArray &line, bool first)
{
    return rewritePortsFile(portsFile, QByteArray(), line, first);
}

bool SimDevice::removePortLine(const QString &portsFile, const QByteArray &line)
{
    return rewritePortsFile(portsFile, line, QByteArray(), false);
}
