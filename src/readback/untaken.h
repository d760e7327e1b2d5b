#ifndef PELKO_UNTAKEN_H
#define PELKO_UNTAKEN_H

#include "model/catalogue.h"
#include "readback/comparison.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// What a Read could not put into the form as the device holds it: right
// after the form took the dump, every setting whose value Start would send
// differs from the device's, with the reason in the user's words. A value
// outside its field, one its list lacks, two keys that fill one field and
// disagree, a setting an algorithm forces, an algorithm the form left
// unticked. The window (box, console, debug log) and the provisioning tool
// (read, check) all say them from here.
namespace Untaken {

// What a field of the form admits as the Read left it (the acceleration
// range narrows the thresholds, for one), and the unit it shows.
struct Field
{
    double minimum = 0;
    double maximum = 0;
    QStringList items; // a combo box's
    QString unit;      // as the field shows it after the number (" s", " mG")
};
using Fields = QHash<QString, Field>; // by widget name

struct Row
{
    QString name;    // the setting as a check names it ("group.key", "algorithms")
    QString setting; // as the user reads it: "group.key", or the algorithm's name
    QString device;  // what the device holds, in the form's units
    QString form;    // what Start would send instead
    QString reason;
};

// The rows for a device's state as one read reports it and the lines Start
// would send for the form that read left; the LoRa settings, which the
// connection fills, are not Read's.
QVector<Row> rows(const Comparison::DeviceState &device, const QVector<Upload::SentLine> &planned, const Fields &fields,
                  float firmwareVersion);

// "COMMON.alertPeriod: device 600 s, Start sends 60 s (…)".
QString line(const Row &row);
// What the user is told at Read: a sentence, then a line per row; empty
// when there is none.
QString warning(const QVector<Row> &rows);
// A check's differences ("group.key: file A, device B"), each one the form
// cannot hold as the device holds it followed by the reason.
QStringList withReasons(const QStringList &differences, const QVector<Row> &rows);

} // namespace Untaken

#endif // PELKO_UNTAKEN_H
