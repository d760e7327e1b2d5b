#ifndef PELKO_SIMFIRMWARE_H
#define PELKO_SIMFIRMWARE_H

#include <QByteArray>
#include <QMap>
#include <QString>

// What the simulated device makes of one request line.
struct SimReply
{
    enum class Action { None, Restart, PowerOff };

    QByteArray content; // lines, each ending "\r\n" (NUL after each for the dump)
    QByteArray status;  // "OK", "NOK", or empty when the device does not answer
    Action action = Action::None;

    // The whole answer as it goes on the wire: content, status, trailer.
    QByteArray wire() const;
};

// The device's firmware without its port: parameters in RAM (pending) and in
// flash (saved), the debug switches, and the answer to every request. Not
// thread-safe: the owner serialises the calls.
class SimFirmware
{
public:
    SimFirmware();

    // "1.6" ... "2.2", "1.9.1", "2.1.1", ... An unknown text is announced as
    // it is by VERSION and treated as the newest release otherwise.
    void setRelease(const QString &release);
    QString release() const { return m_release; }
    // "1.6" ... "2.2" as the releases name themselves ("1.9.1", "2.1.1", ...).
    static bool isKnownRelease(const QString &release);

    // Handles one request line (CR LF already removed). With `apply` false
    // the answer is worked out but nothing changes (a request the device
    // never carried out).
    SimReply handle(const QByteArray &line, bool apply = true);

    // A restart or power cycle: RAM is lost, debug outputs are off.
    void restart();

    QMap<QByteArray, QByteArray> saved;
    QMap<QByteArray, QByteArray> pending;
    int batteryPercent = 87;
    bool debugOn = false;
    bool ledOn = false;

    static QMap<QByteArray, QByteArray> factoryParameters();
    static const QByteArray &trailer();

private:
    bool atLeast(const char *release) const;
    // Whether the release takes this value for the parameter (a LoRa text as it is).
    bool accepts(const QByteArray &word, const QByteArray &key, const QByteArray &value) const;
    qint64 savedNumber(const char *key) const;
    QByteArray versionContent() const;
    QByteArray loraContent() const;
    QByteArray dumpContent() const;
    void resetGroup(bool lora, bool algo);
    void commit(bool lora, bool algo);

    QString m_release;
    int m_rank = 0;
};

#endif // PELKO_SIMFIRMWARE_H
