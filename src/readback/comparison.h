#ifndef PELKO_COMPARISON_H
#define PELKO_COMPARISON_H

#include "model/catalogue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

#include <optional>

// What an upload's lines would change on a device, setting by setting: the
// lines against what the device reports of itself, its parameter dump and
// its answer to "LORA GET". The provisioning tool checks a write (and a
// device against a file) with it; the window marks the fields Start would
// change with it.
namespace Comparison {

// What one read of the device reports, decoded once.
struct DeviceState
{
    QByteArray dump;
    QByteArray loraAnswer;
    QVector<std::optional<int>> dumpValues; // by dump key; none: the dump does not carry it
};
DeviceState deviceState(const QByteArray &dump, const QByteArray &loraAnswer);

// One setting the lines send (the last line of it counts).
struct Setting
{
    const Upload::Step *row = nullptr; // the row that reads it back and says how it is shown
    QString name;                      // "group.key", "algorithms" for the algorithm set
    bool checked = false;              // the device reports it; when not, nothing below is known
    bool differs = false;
    bool isText = false; // `sent` and `device` are texts as they are, not numbers
    QString sent;        // what the lines send, in the file's units
    QString device;      // what the device holds, in the same units
    // The algorithm set: as mask bits, without VIBRATION, which the device
    // does not report.
    int sentMask = 0;
    int deviceMask = 0;
};
QVector<Setting> compare(const QVector<Upload::SentLine> &lines, const DeviceState &device);

// The algorithm bit the device does not report.
constexpr int kUnreportedAlgorithmBit = 256;

// A field of the form whose upload line would change the device: its widget
// (an algorithm's box for the algorithm set) and the device's value as the
// form shows it, as plain text. Settings the device does not report are
// never marked.
struct Mark
{
    const char *widget;
    QString onDevice;
};
QVector<Mark> marks(const QVector<Setting> &settings);

// A form's values (by widget, as the configuration file's view gives them)
// with what the device reports over them: the numbers, boxes and sampling
// rates of its dump and LoRa answer, and the algorithm boxes. The widgets of
// `form` the device does not report keep the form's value and are listed in
// `kept`; VIBRATION's box is always one of them.
QVariantMap held(const DeviceState &device, QVariantMap form, QStringList *kept);

// "3 settings differ from the Pelko"; empty when none do.
QString differenceCount(int marked);

} // namespace Comparison

#endif // PELKO_COMPARISON_H
