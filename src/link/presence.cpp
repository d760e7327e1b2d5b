#include "presence.h"

#include <QDebug>

bool pelkoPortStillListed(const QList<SerialPortEntry> &ports)
{
    bool listed = false;
    // Every port is traced, not just up to the first match, so the log shows
    // the whole picture when a technician asks why a restart "failed".
    for (const SerialPortEntry &port : ports) {
        qDebug().noquote() << QStringLiteral("Port name : ") + port.portName;
        qDebug().noquote() << QStringLiteral("Port manufacturer: ") + port.manufacturer;
        if (isPelkoManufacturer(port.manufacturer))
            listed = true;
    }
    return listed;
}
