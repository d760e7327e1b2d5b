#ifndef PELKO_CONFIGFILE_H
#define PELKO_CONFIGFILE_H

#include "model/algorithms.h"
#include "model/catalogue.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

// The configuration file: the algorithm selection, the Algos tab and the LoRa
// network settings as JSON, in the units the form shows (seconds, °C, g, Hz),
// grouped by algorithm. Its rows are the parameter catalogue's; the device's
// identity and keys never go into it. Needs nothing but QtCore, so that a tool
// without a window can read and write the same files.
namespace ConfigFile {

constexpr int kFormatVersion = 1;
// Algorithms the device runs together beside ALIVE, as the form allows.
constexpr int kMostAlgorithms = 2;
extern const char *const kFormatName;
// The program's version, which a saved file names.
extern const char *const kProgramVersion;

// One setting of the file: "group.key", the widget it fills and how.
struct Entry
{
    QString group;
    QString key;
    const char *widget;
    const char *partner; // the other button of a LoRa pair, checked when `widget` is not
    Upload::Kind kind;
    Firmware::Feature gate;
};
const QVector<Entry> &entries();

// What a field of the form admits, taken from the form itself: a spin box or
// slider range, a line edit's length (in `maximum`), or a combo box's items.
struct Limit
{
    double minimum = 0;
    double maximum = 0;
    QStringList items;
};
using Limits = QHash<QString, Limit>; // by widget name

// The form as a plain map, widget name -> what it shows: a box or radio
// button true/false (an algorithm box: whether the upload sends it), a spin
// box its number, the slider its position, a combo box its item text, a line
// edit its text.
using FormValues = QVariantMap;

// The file for a form. Settings the release does not offer are left out.
QByteArray write(const FormValues &form, float firmwareVersion);

struct Reading
{
    FormValues values;    // `base` with every setting of the file over it
    QStringList problems; // empty: the file can be applied whole
};
// Reads and checks a file against the form's limits and the release, and
// reports every problem at once. A setting the file does not hold keeps its
// value from `base`; the rules between settings are checked on the result.
Reading read(const QByteArray &file, const Limits &limits, float firmwareVersion, const FormValues &base);

// "group.key" of a catalogue row as the file names it ("algorithms" for the
// algorithm mask), for the rows the file leaves out too (the device's keys).
QString settingName(const Upload::Step &step);

// A text from a file or a device as it can be shown on one line: control
// characters are written as escapes ("\n", "\x1b"), and a long text is cut
// to its start, its length given.
QString printable(const QString &text);

// Why a configuration may not be written to `path`, or nothing when it may:
// only a regular file is replaced, or a new one made in an existing folder.
// A pipe, a device or a folder in its place would be lost or never hold it.
QString whyNotWritable(const QString &path);

} // namespace ConfigFile

#endif // PELKO_CONFIGFILE_H
