#ifndef PELKO_CATALOGUE_H
#define PELKO_CATALOGUE_H

#include "firmware/releases.h"
#include "model/algorithms.h"

#include <QString>
#include <QVector>

#include <array>
#include <cstddef>
#include <functional>

// Every device parameter, one row each, in the order the device is sent
// them, grouped in blocks: the command that writes it, the dump key that
// reads it back, its form widget and the conversion between the two. The
// upload walks this table from top to bottom; applying a dump walks it from
// the dump keys back to the widgets. The form widgets are named by object
// name so that the table needs nothing but QtCore.
namespace Upload {

enum class Kind {
    BlockStart, // opens a block; `widget`/`need` say when it runs, `trace` is its debug line
    BlockEnd,   // closes it; `number` >= 0 is the progress shown afterwards, run or not
    Progress,   // progress bar to `number` per cent (inside a running block)
    Value,      // spin box value as it is
    Checked,    // 1 when the box or radio button is checked, else 0
    Seconds,    // seconds spin box, sent in milliseconds
    Hundredths, // two-decimal spin box, sent in hundredths
    Item,       // combo box item text as a base-10 integer; read back, the value is the index
    Frequency,  // sampling-frequency combo box ("0,24" ... "500"), sent as its text
    BurstCount, // burst-number combo box ("2", "3", "4"), sent as its text
    Range,      // acceleration range slider position, sent in g
    Text,       // line edit text, in the text argument
    FixedText,  // the constant `text` ("1" or "0"), in the text argument
    FixedValue, // the constant `number`; read back, the widget (if any) takes it
    Mask,       // the set of enabled algorithms
};

// State a widget must be in: `needWidget`, or the step's own widget.
enum class Need { None, Checked, Enabled, CheckedAndEnabled };

enum Flag : unsigned {
    NonEmptyText = 1u << 0,           // an empty field sends nothing
    DevEuiUnlocked = 1u << 1,         // not while the device holds a DevEUI of its own
    AppKeyUnlocked = 1u << 2,         // not while the device holds an AppKEY of its own
    NotMaskedKey = 1u << 3,           // never send back the X mask the readback shows
    AlertPeriodPending = 1u << 4,     // only once a TILT upload asked for the common alert period
    ArmsAlertPeriod = 1u << 5,        // after it: widget enabled and no failure yet -> alert period pending
    StopOnFailure = 1u << 6,          // a failure ends the whole upload at once
    OnlyWithoutError = 1u << 7,       // saves: only when everything before them succeeded
    AlgorithmPart = 1u << 8,          // on a BlockStart: skipped with the empty-configuration warning
    ReadBackOnly = 1u << 9,           // a dump key with no command of its own: the upload passes it by
    UprightUnlessRotating = 1u << 10, // read back: ROTATION keeps the sensor upright, whatever the dump says
    OpensWithAlgorithm = 1u << 11,    // the form opens the field while its block's algorithm runs
};

struct Step
{
    Kind kind;
    const char *cmd = nullptr;
    const char *key = nullptr;
    const char *widget = nullptr;
    const char *text = nullptr;                       // FixedText
    int number = -1;                                  // FixedValue value; Progress/BlockEnd per cent
    Firmware::Feature gate = Firmware::Feature::None; // the release feature the step needs, if any
    Need need = Need::None;
    const char *needWidget = nullptr;
    unsigned flags = 0;
    const char *trace = nullptr; // debug line written before the step or block
    int dump = -1;               // index in the dump key table of the value read back; -1: not in the dump
    int bit = 0;                 // Checked: read back from a mode value, checked while this bit is set

    constexpr Step(Kind k, const char *c, const char *p, const char *w) : kind(k), cmd(c), key(p), widget(w) {}

    constexpr Step onlyWith(Firmware::Feature g) const
    {
        Step s = *this;
        s.gate = g;
        return s;
    }
    constexpr Step needs(Need n, const char *w = nullptr) const
    {
        Step s = *this;
        s.need = n;
        s.needWidget = w;
        return s;
    }
    constexpr Step with(unsigned f) const
    {
        Step s = *this;
        s.flags |= f;
        return s;
    }
    constexpr Step traced(const char *t) const
    {
        Step s = *this;
        s.trace = t;
        return s;
    }
    constexpr Step fixedText(const char *t) const
    {
        Step s = *this;
        s.text = t;
        return s;
    }
    constexpr Step fixedNumber(int n) const
    {
        Step s = *this;
        s.number = n;
        return s;
    }
    constexpr Step readBack(int dumpKey, int modeBit = 0) const
    {
        Step s = *this;
        s.dump = dumpKey;
        s.bit = modeBit;
        return s;
    }

    // The widget the step's condition looks at.
    constexpr const char *conditionWidget() const { return needWidget ? needWidget : widget; }
    constexpr bool isCommand() const
    {
        return kind != Kind::BlockStart && kind != Kind::BlockEnd && kind != Kind::Progress;
    }
};

extern const Step kCatalogue[];
extern const std::size_t kCatalogueSize;

// Debug lines of the upload.
extern const char *const kStartTrace;
extern const char *const kSuccessTrace;

// The acceleration ranges in g of the range slider's positions 1, 2, 3, 4.
inline constexpr int kRangesG[] = {2, 4, 8, 16};
// Acceleration range slider position 1..4 -> 2, 4, 8, 16 g; anything else 8.
int rangeFromSlider(int position);
// Position of the acceleration-range slider (1..4) for a range in g; values
// other than 2, 4, 8 and 16 are passed through for the slider to clamp.
int rangeSliderPositionForG(int g);
// Seconds to milliseconds, saturated to the int range: the device takes the
// value as a 32-bit signed integer.
int secondsToMilliseconds(qint64 seconds);
// Degrees to hundredths of a degree, the way the device stores temperatures.
int toHundredths(double degrees);
// Milliseconds back to whole seconds, the fraction cut.
int secondsFromMilliseconds(int milliseconds);
// Hundredths of a degree back to degrees.
double fromHundredths(int hundredths);
// Combo box item text as a base-10 integer; anything else (such as "0,24") is 0.
int itemValue(const QString &item);
// What the row's widget shows for a value the dump reports: the spin box
// value, the slider position, the combo box index, or 1 and 0 for a box.
double formValue(const Step &step, int deviceValue);
// True when the AppKEY field holds the mask the LoRa readback shows in place
// of a stored key.
bool isMaskedAppKey(const QString &text);
// A LoRa text holding a line break or another control character would split
// its line into several device commands: such a text is never sent.
bool isSendableText(const QString &text);
// Whether a device of this version takes a step needing this feature.
bool gatePasses(Firmware::Feature gate, float firmwareVersion);

// One line an upload sent: its row, what it carried and the device's verdict
// (0 accepted, negative refused or unanswered).
// "group.key" of a row as the configuration file names it ("algorithms" for
// the algorithm mask), for the rows the file leaves out too (the device's keys).
QString settingName(const Step &step);
// A text from a file or a device as it can be shown on one line: control
// characters are written as escapes ("\n", "\x1b").
QString printable(const QString &text);

struct SentLine
{
    const Step *step = nullptr;
    int value = 0;
    QString text;
    int result = 0;
};

struct BoxState
{
    bool checked = false;
    bool enabled = false;
};

// The algorithms by mask bit, lowest first, as the algorithm table gives them.
struct AlgorithmBit
{
    int bit;
    const char *checkBox;
};
extern const std::array<AlgorithmBit, Model::kAlgorithmCount> kAlgorithmBits;

// Bits of the algorithms whose check box is both checked and enabled.
int algorithmMask(const std::function<BoxState(const char *checkBox)> &boxState);
// ALIVE alone with its automatic frames off: the device would have nothing to do.
bool isEmptyConfiguration(int mask, bool aliveFramesOn);

// The widgets of an algorithm's block that the form opens while the
// algorithm runs and closes when it stops.
const QVector<const char *> &fieldsOpenedWith(Model::AlgorithmIndex algorithm);

// Whether the form meets a step's condition (the state of its widget or of the
// widget it names).
using FormState = std::function<BoxState(const char *widget)>;
bool needMet(const Step &step, const FormState &form);

} // namespace Upload

#endif // PELKO_CATALOGUE_H
