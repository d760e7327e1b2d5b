#ifndef PELKO_SIMDEVICE_H
#define PELKO_SIMDEVICE_H

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <memory>

// What a simulated device does wrong when asked a given command.
enum class SimFault {
    None,
    Refuses,          // answers with "NOK" instead of "OK"
    NeverAnswers,     // stays silent
    AnswersWithoutOk, // answers its usual content but no "OK"/"NOK"
    AnswersInChunks,  // the usual answer, cut in pieces with pauses shorter than the quiet time
    Babbles,          // sends text without ever pausing, for babbleMs
    SendsGarbage,     // random bytes (no "OK") instead of the answer
    GoesAway,         // sends part of the answer, then its port vanishes (cable pulled)
    Forgets,          // answers "OK" as usual but keeps its old value (a setting that does not stick)
};

// One line the device received, as it came over the wire (CR LF included
// when the program sent one).
struct SimWireLine
{
    qint64 atMs = 0; // since the device started
    QByteArray bytes;
};

// A simulated Pelko device on a pseudo-terminal. It answers the command
// protocol from a thread of its own, lists its port in a ports file (see
// PELKO_EXTRA_PORTS) while it is "plugged in", stores what it is sent, and can
// be told to misbehave per command.
class SimDevice
{
public:
    struct Options
    {
        QString release = QStringLiteral("2.2"); // "1.6" ... "2.2", "1.9.1", "2.1.1", ...
        QString portsFile;                       // where the port is listed; empty: not listed
        QString portName = QStringLiteral("ttyPELKO0");
        QString manufacturer = QStringLiteral("Silicon Labs");
        QString wireLogFile;      // timestamped log of the dialogue; empty: none
        int chunkPauseMs = 40;    // pause between chunks (AnswersInChunks)
        int babbleMs = 3000;      // how long Babbles goes on
        int rebootDelayMs = 2000; // time away after "reset"
        int lineIdleMs = 10;      // a line without CR LF ends after this quiet time
        // Bytes take their time on the wire in both directions, ten bits a
        // byte at 115,200 baud, as on the device's real link.
        bool paced = false;
        // For a person at a terminal: a line ends only at CR or LF, never by
        // a pause, and empty lines are ignored.
        bool interactive = false;
    };

    SimDevice();
    explicit SimDevice(const Options &options);
    ~SimDevice();
    SimDevice(const SimDevice &) = delete;
    SimDevice &operator=(const SimDevice &) = delete;

    // Opens the pseudo-terminal, starts answering and lists the port.
    bool start();
    void stop();

    // Location of the pseudo-terminal the program opens ("/dev/pts/N").
    QString portPath() const;
    // True while the port is listed (plugged in and powered).
    bool isPresent() const;
    // Cable pulled: the port vanishes and the link breaks.
    void goAway();
    // Cable plugged again: a new pseudo-terminal is listed.
    void comeBack();

    void setRelease(const QString &release);

    // The device prints something nobody asked for (a late answer, a trace);
    // it waits in the port for whoever reads next.
    void sendUnasked(const QByteArray &bytes);

    // Misbehave for every received line that starts with `linePrefix` (for
    // example "READY", "CHOC gxSup", "LORA SET DEVEUI", "SAVEPARAM LORA").
    // `times` < 0: for good; otherwise only for the next `times` matches.
    // The longest matching prefix wins; a new rule replaces one with the same
    // prefix. Only AnswersWithoutOk and AnswersInChunks still carry the
    // request out (stored, saved, restarted); with any other fault the device
    // did nothing.
    void setFault(const QByteArray &linePrefix, SimFault fault, int times = -1);
    void clearFaults();

    // Replaces the whole answer (trailer included) to lines starting with
    // `linePrefix`, for tests of what the program makes of odd answers.
    void setRawAnswer(const QByteArray &linePrefix, const QByteArray &answer);
    void clearRawAnswers();

    // Every line received since start (or since clearReceived), in order.
    QList<SimWireLine> received() const;
    QList<QByteArray> receivedLines() const;
    void clearReceived();
    // Bytes the device has put on the wire since start (or since clearReceived).
    qint64 bytesSent() const;

    // Parameter state, keyed "WORD key" as on the wire ("CHOC gxSup",
    // "LORA SET DEVEUI", "ALGO" for the mask, "ALGO alertPeriod", ...), values
    // as sent. `pending` holds what was sent since the last save; `saved` what
    // SAVEPARAM stored (starts at factory values).
    QMap<QByteArray, QByteArray> savedParameters() const;
    QMap<QByteArray, QByteArray> pendingParameters() const;
    void setSavedParameter(const QByteArray &key, const QByteArray &value);

    void setBatteryLevel(int percent);

    // What the device believes of its debug outputs ("DEBUG 1"/"DEBUG 0",
    // "DEBUG LEDON"/"DEBUG LEDOFF"); a restart switches both off.
    bool isDebugOn() const;
    bool isLedDebugOn() const;

    QString release() const;

    // Adds (at the end, or first) or removes one "name<TAB>manufacturer<TAB>location"
    // line of a ports file, safely against the devices of this process that
    // list themselves in the same file. The file is replaced atomically.
    static bool addPortLine(const QString &portsFile, const QByteArray &line, bool first = false);
    static bool removePortLine(const QString &portsFile, const QByteArray &line);

    // Time one byte takes on the wire at 115,200 baud, ten bits a byte.
    static constexpr qint64 kWireNsPerByte = 10LL * 1000000000LL / 115200LL;

    // The three-byte trailer that ends every answer.
    static QByteArray trailer();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

#endif // PELKO_SIMDEVICE_H
