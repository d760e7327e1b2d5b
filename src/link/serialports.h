#ifndef PELKO_SERIALPORTS_H
#define PELKO_SERIALPORTS_H

#include <QList>
#include <QSerialPort>
#include <QString>

// One serial port of the host as the connection sees it.
struct SerialPortEntry
{
    QString portName;       // shown in the debug log
    QString manufacturer;   // USB manufacturer string of the bridge
    QString systemLocation; // what the port is opened by
};

// Name of the environment variable that points at a list of extra ports
// (one per line: name, manufacturer and location separated by tabs). The
// simulated device writes its pseudo-terminal there so the program can be
// tried without hardware; without the variable only the platform's ports are
// listed.
extern const char kExtraPortsVariable[];

// The platform's serial ports in the order it lists them, then the extra
// ports; only the one of this name or system location when `onlyPort` is given.
QList<SerialPortEntry> availableSerialPorts(const QString &onlyPort = QString());

// Parses the extra-ports list; malformed lines are skipped.
QList<SerialPortEntry> parseExtraPorts(const QByteArray &content);

// True when the manufacturer string names the device's USB bridge.
bool isPelkoManufacturer(const QString &manufacturer);

// A port that did not open because another program has it (locked, or open
// for good on a system that gives a port to one program at a time), told
// apart from one this user may not open at all; `portWords` are the port's
// error text.
bool heldByAnotherProgram(QSerialPort::SerialPortError error, const QString &portWords);

#endif // PELKO_SERIALPORTS_H
