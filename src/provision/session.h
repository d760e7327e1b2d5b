#ifndef PELKO_SESSION_H
#define PELKO_SESSION_H

#include "model/catalogue.h"
#include "readback/untaken.h"
#include "upload/delivery.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class MainWindow;

// One device driven through the window, without a screen and without anyone
// at it: the buttons are clicked as a technician would click them, so the
// tool puts on the wire exactly what the window does. What the window would
// have shown in a box is handed to `tell` instead.
class Session
{
public:
    using Tell = std::function<void(const QString &line)>;
    Session(const QString &port, Tell tell);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    bool connect(); // "Connection": the port opened and the device answered
    bool read();    // "Read": the device's parameters are in the form
    // Load; a file made for another release is taken for the rest of it
    // only with `takeTheRest`, its gaps told a line each.
    bool load(const QString &path, bool takeTheRest = false);
    bool save(const QString &path);
    bool start(); // "Start": the device took the form and saved it
    void disconnect();

    // What the last "Start" put on the wire, and what the device answered to
    // the parameter dump and to "LORA GET" in this session.
    const Upload::Delivery &delivered() const;
    // The lines "Start" would send for the form as it stands.
    QVector<Upload::SentLine> planned() const;
    QByteArray dump() const;
    // What the last "Read" could not put into the form as the device holds it.
    QVector<Untaken::Row> untaken() const;
    QByteArray loraAnswer() const;
    // After a failed connect: the port's own words when it is there but could
    // not be taken because another program holds it; else empty.
    QString portRefusal() const;
    QString devEui() const;
    float firmwareVersion() const;

private:
    // What the window shows is told, and a file it asks for is `file`.
    void attend(const QString &file = QString(), bool agree = false);
    // Load, Save and Disconnect have no outcome of their own: they did
    // their work when they had nothing to tell.
    bool clickShowingNothing(const char *button, const QString &file = QString(), bool agree = false);

    std::unique_ptr<MainWindow> m_window;
    Tell m_tell;
    bool m_declined = false; // the last click's question was answered No
};

#endif // PELKO_SESSION_H
