#ifndef PELKO_DEVICESESSION_H
#define PELKO_DEVICESESSION_H

#include "model/dumpkeytable.h"
#include "link/serialports.h"
#include "link/timing.h"
#include "upload/delivery.h"

#include <QByteArray>
#include <QList>
#include <QEventLoop>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <csignal>
#include <functional>
#include <optional>

struct CommandLine;

// One device on one serial port, for as long as a window or the tool
// talks to it: the port, the exchange of a line and its answer, the quiet
// time that ends an answer, the stop of the operation under way and what
// the device last reported. Everything runs on the thread that owns it; the
// waits turn its event loop, so a window keeps repainting. Two sessions
// share nothing: each device keeps its own quiet time and its own answers.
class DeviceSession : public QObject
{
    Q_OBJECT

public:
    // Where the link stands. The port is open in every state but Idle and
    // NotFound; Busy while an operation runs, Stopping once it was asked to stop.
    enum class State { Idle, NotFound, Stalled, Connected, Configured, Busy, Stopping };
    Q_ENUM(State)

    explicit DeviceSession(QObject *parent = nullptr);
    ~DeviceSession() override;
    DeviceSession(const DeviceSession &) = delete;
    DeviceSession &operator=(const DeviceSession &) = delete;

    State state() const;

    // The link's own flags: the port answered READY (`linkReady`), and the
    // whole handshake went through (`connected`); `configured` after a
    // whole upload.
    bool linkReady() const { return m_linkReady; }
    bool connected() const { return m_connected; }
    void setLinkReady(bool ready);
    void setConnected(bool connected, bool configured = false);

    // The port: given the settings of the device's link and opened, or
    // closed (flushed first).
    QSerialPort &port() { return m_port; }
    const QSerialPort &port() const { return m_port; }
    bool isOpen() const { return m_port.isOpen(); }
    // The session looks for its device on this port only (a name or a
    // system location; empty: the first of the device's ports listed). A
    // tool given one port must not take another device's.
    void setOnlyPort(const QString &nameOrLocation) { m_onlyPort = nameOrLocation; }
    // The port a session of the same device opened moments ago: opened again
    // as it was, without listing the host's ports anew (which costs a
    // program that writes many devices at once more than anything it sends).
    void setKnownPort(const SerialPortEntry &entry) { m_knownPort = entry; }
    // The device's port as this session last found it (empty before).
    const SerialPortEntry &foundPort() const { return m_foundPort; }
    // The ports the session would look at, as the system lists them now.
    QList<SerialPortEntry> listedPorts() const;
    // Finds the device's port among the host's (the first whose bridge is
    // the device's) and opens it with the link's settings.
    enum class Opening { Opened, NotFound, Failed };
    Opening openDevicePort();
    // After a failed open: the port's own words, and whether another program holds it.
    QString openError() const { return m_openError; }
    bool heldElsewhere() const { return m_heldElsewhere; }
    void close();

    // One line and its answer: 0 accepted, -1 not written or refused ("NOK"),
    // -2 no "OK". The answer goes to `setAnswerReader`'s reader before it
    // is judged.
    int sendOneCommand(const QByteArray &cmd, const QByteArray &param, int value, const QString &text);
    // A line typed by hand, as it stands with CR LF: the same exchange, its
    // answer read and judged under the line itself.
    int sendTypedLine(const QByteArray &line);
    int write(const QByteArray &writeData);
    int read(QByteArray &readData);
    using AnswerReader = std::function<void(const QByteArray &cmd, const QByteArray &answer)>;
    void setAnswerReader(AnswerReader reader) { m_answerReader = std::move(reader); }

    // The quiet time that ends an answer now: the short one for good once a
    // release that answers promptly has been identified in this session.
    int quietMs() const;
    // The session's waits and limits: those of the process until changed.
    LinkLimits &limits() { return m_limits; }
    const LinkLimits &limits() const { return m_limits; }
    float release() const { return m_release; }
    // What the device last answered to "LORA GET" and "DUMP RAM PARAM"
    // (accepted answers only) in this session.
    QByteArray loraAnswer() const { return m_loraAnswer; }
    QByteArray dump() const { return m_dump; }
    // The dump's values as read so far in this session, key by key.
    DumpValues &dumpValues() { return m_dumpValues; }
    const DumpValues &dumpValues() const { return m_dumpValues; }

    // The steps of the operations, on the open port; a Stop sends nothing
    // more of them. The handshake: READY, then the device describes itself
    // with its debug output on (DEBUG 1, VERSION, LORA GET, DEBUG 0); after
    // READY the link is ready, after the whole of it connected.
    enum class Handshake { Done, NoAnswerToReady, Failed };
    Handshake handshake();
    // The device's port found, opened and the handshake made: what a
    // connection is, without a window.
    Handshake connectDevice();
    // The parameter dump, asked with the debug output on: all three lines
    // are sent whatever happens, so that the device is never left verbose.
    // True when all three were accepted.
    bool readDump();
    // The goodbye of a connected device (answered or not), the pause after
    // it, and the port closed.
    void sayGoodbye();

    // A whole upload of a plan, line by line, into `delivery`: the sum of
    // the lines' results (0 when every line was accepted), -1 as soon as a
    // line that must go through did not, and at a Stop, a device gone or an
    // answer cut off (nothing more is sent, least of all a save).
    int upload(const Upload::Plan &plan);
    // What reached the device in the last upload, line by line with the
    // device's verdict: everything said of the device after a Start.
    const Upload::Delivery &delivery() const { return m_delivery; }
    // A TILT upload asked for the common alert period, which the next
    // uploads send as well.
    bool alertPeriodPending() const { return m_alertPeriodPending; }

    // The tools, each a few lines. Failed: the device refused or did not
    // answer (a device gone from the bus after "reset" or "poweroff" did
    // what it was asked); Stopped: a Stop came before it was over.
    enum class Outcome { Done, Failed, Stopped };
    // The factory values, in the two halves or the one line and save of
    // the device's release, then the power cycle that takes them into use.
    Outcome resetToFactory();
    // "DEBUG" with this argument: 1 or 0 for the verbose output, LEDON or
    // LEDOFF for its LED.
    Outcome setDebug(const QByteArray &argument);
    Outcome restart();
    Outcome powerOff();
    // The battery's figure, asked with the debug output on; Failed also for
    // an accepted answer without a figure.
    Outcome readBattery();
    QByteArray batteryLevel() const { return m_batteryLevel; }

    // One operation at a time. `beginOperation` is refused (false) while
    // one runs; a Stop asked meanwhile is cleared at its end.
    bool beginOperation();
    void endOperation();
    bool operating() const { return m_operating; }
    // True while a wait of the operation turns the event loop.
    bool waiting() const { return m_waitDepth > 0; }
    // Lets the event loop catch up (a window repaints) as a wait does.
    void catchUp(QEventLoop::ProcessEventsFlags flags);

    // A Stop: the line in flight finishes, nothing more of the operation is
    // sent. `stopFlag` is one a signal handler may set (it can do no more).
    void requestStop();
    void watchStopFlag(const volatile std::sig_atomic_t *stopFlag) { m_stopFlag = stopFlag; }
    bool haltAsked();
    bool stopping() const { return m_stopping; }
    // Forgets a Stop that found nothing left to stop.
    void clearStop();

    // A pause of the operation with the event loop turning, cut short by a
    // Stop when `stoppable`.
    void pause(int ms, bool stoppable);
    // The device went (its port failed) during the operation: told once it is over.
    bool lossPending() const { return m_lossPending; }
    void clearLoss() { m_lossPending = false; }
    // A read of this operation hit its cap: the rest is not sent.
    bool answerCutOff() const { return m_cutOff; }

signals:
    void stateChanged(DeviceSession::State state);
    // Text for the console: bytes the device sent unasked, banners.
    void consoleText(const QString &text);
    // The note of a refused command, to stand just before the end of its echoed answer.
    void refusalNoted(const QString &note);
    // The port failed under an open link: the device's end hung up. Emitted
    // at once outside an operation, else at its end.
    void deviceLost();
    // How far an upload is, in percent.
    void progressed(int percent);

private:
    int exchange(const QByteArray &cmd, const QByteArray &param, const CommandLine &line);
    void takeStaleBytes();
    void portFailed(QSerialPort::SerialPortError error);
    void noteState();

    QSerialPort m_port;
    LinkLimits m_limits = LinkLimits::ofThisProcess();
    AnswerReader m_answerReader;
    bool m_promptSeen = false; // a release that answers promptly was identified
    bool m_savingRead = false;
    float m_release = 0.0f;
    QByteArray m_loraAnswer;
    QByteArray m_dump;
    QByteArray m_batteryLevel;
    Upload::Delivery m_delivery;
    bool m_alertPeriodPending = false;
    DumpValues m_dumpValues = unreadDumpValues();
    QString m_onlyPort;
    std::optional<SerialPortEntry> m_knownPort;
    SerialPortEntry m_foundPort;
    QString m_openError;
    bool m_heldElsewhere = false;
    bool m_notFound = false;
    bool m_linkReady = false;
    bool m_connected = false;
    bool m_configured = false;
    bool m_operating = false;
    int m_waitDepth = 0;
    bool m_stopping = false;
    const volatile std::sig_atomic_t *m_stopFlag = nullptr;
    bool m_flagSeen = false; // the stop flag was raised for an operation already over
    bool m_stopAsked = false;
    bool m_cutOff = false;
    bool m_lossPending = false;
    State m_shown = State::Idle;
};

#endif // PELKO_DEVICESESSION_H
