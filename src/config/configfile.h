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
    QString unit; // what follows the number in the field (" s", " mG")
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
    QStringList problems; // the file's own: empty when it can be applied
    // What the release takes otherwise than the file says: the settings it
    // lacks ("group.key"), which are not in `values`, and those the form
    // would show but Start would not send to it ("group.key: why").
    QStringList leftOut;
    QStringList takenDifferently;
};
// Reads and checks a file against the form's limits and the release, and
// reports every problem at once. A setting the file does not hold keeps its
// value from `base`; the rules between settings are checked on the result.
Reading read(const QByteArray &file, const Limits &limits, float firmwareVersion, const FormValues &base);

// Why a file is refused when it must be applied whole: its own problems,
// then every setting the release lacks or would take differently.
QStringList refusal(const Reading &reading, float firmwareVersion);
// What the release takes otherwise, one line each: "left out: group.key
// (...)", "taken differently: group.key: ...". Empty when it takes the file as it is.
QStringList releaseGaps(const Reading &reading, float firmwareVersion);
// The question Load asks before it applies the rest of such a file.
QString releaseGapsQuestion(const QString &path, const Reading &reading, float firmwareVersion);

// The settings two files (without problems of their own) hold differently,
// "group.key: A, B" in the file's units, "missing" for a setting one of them
// lacks; the release and program they name are not settings.
QStringList differences(const QByteArray &first, const QByteArray &second, const Limits &limits);

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
