#include "serialports.h"

#include <QFile>
#include <QSerialPortInfo>

#include <algorithm>

const char kExtraPortsVariable[] = "PELKO_EXTRA_PORTS";

QList<SerialPortEntry> parseExtraPorts(const QByteArray &content)
{
    QList<SerialPortEntry> ports;
    const QList<QByteArray> lines = content.split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 3 || fields.at(0).isEmpty() || fields.at(2).isEmpty())
            continue;
        ports.append(
            {QString::fromUtf8(fields.at(0)), QString::fromUtf8(fields.at(1)), QString::fromUtf8(fields.at(2))});
    }
    return ports;
}

QList<SerialPortEntry> availableSerialPorts(const QString &onlyPort)
{
    QList<SerialPortEntry> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append({info.portName(), info.manufacturer(), info.systemLocation()});

    const QByteArray listPath = qgetenv(kExtraPortsVariable);
    if (!listPath.isEmpty()) {
        QFile list(QString::fromLocal8Bit(listPath));
        if (list.open(QIODevice::ReadOnly))
            ports.append(parseExtraPorts(list.read(64 * 1024)));
    }
    if (!onlyPort.isEmpty()) {
        ports.erase(std::remove_if(ports.begin(), ports.end(),
                                   [&onlyPort](const SerialPortEntry &port) {
                                       return port.portName != onlyPort && port.systemLocation != onlyPort;
                                   }),
                    ports.end());
    }
    return ports;
}

bool isPelkoManufacturer(const QString &manufacturer)
{
    return manufacturer.startsWith(QLatin1String("Silicon Lab"), Qt::CaseSensitive);
}

bool heldByAnotherProgram(QSerialPort::SerialPortError error, const QString &portWords)
{
    // The system's own "Permission denied" is a right the user lacks; a lock
    // or an exclusive open refused is another program's.
    return error == QSerialPort::PermissionError && !portWords.contains(QLatin1String("Permission denied"));
}
