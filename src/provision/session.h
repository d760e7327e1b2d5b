#ifndef PELKO_SESSION_H
#define PELKO_SESSION_H

#include "config/configfile.h"
#include "model/catalogue.h"
#include "readback/untaken.h"
#include "upload/delivery.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>

class DeviceSession;
class MainWindow;

// The configurator's form without a screen, one per process: the rules of
// the form decide what a write of a file sends to a device of its release,
// as Start would, and a Read puts the device's values where Save finds
// them. It talks to the device through its own device session; what the
// window would have shown in a box is handed to `tell` instead.
class Session
{
public:
    using Tell = std::function<void(const QString &line)>;
    // Which port it looks at and which flag stops it are set on `link()`.
    explicit Session(Tell tell);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // The form's values before anything was connected or loaded.
    QVariantMap freshValues() const { return m_freshValues; }
    // What a configuration file may hold.
    ConfigFile::Limits limits() const;

    // The device session under the form: the tool aims it before connecting.
    DeviceSession &link();

    bool connect(); // the port opened and the whole handshake made
    bool read();    // the device's parameters are in the form
    // Load; a file made for another release is taken for the rest of it
    // only with `takeTheRest`, its gaps told a line each.
    bool load(const QString &path, bool takeTheRest = false);
    bool save(const QString &path);
    bool start(); // the device took the form and saved it
    void disconnect();

    // The lines "Start" would send for the form as it stands.
    QVector<Upload::SentLine> planned() const;
    // What the last "Read" could not put into the form as the device holds it.
    QVector<Untaken::Row> untaken() const;

    // The device session's record, not the form's: what the last "Start"
    // put on the wire, what the device answered to the parameter dump and
    // to "LORA GET" in this session (and the DevEUI in it), and its release.
    const Upload::Delivery &delivered() const;
    QByteArray dump() const;
    QByteArray loraAnswer() const;
    QString devEui() const;
    float firmwareVersion() const;
    // After a failed connect: the port's own words when it is there but could
    // not be taken because another program holds it; else empty.
    QString portRefusal() const;

private:
    // What the window shows is told; a question is answered `agree`.
    void attend(bool agree = false);

    std::unique_ptr<MainWindow> m_window;
    QVariantMap m_freshValues;
    Tell m_tell;
};

// What needs no form: the device connected, its parameter dump read, the
// goodbye; the session holds what the device reported (release, LoRa
// answer, dump). Each is false when it did not go through, or was stopped.
namespace BareDevice {
bool connect(DeviceSession &link);
bool read(DeviceSession &link);
// One line as it stands, its result as the exchange judges it (0: "OK").
int send(DeviceSession &link, const QByteArray &line);
void disconnect(DeviceSession &link);
} // namespace BareDevice

#endif // PELKO_SESSION_H
