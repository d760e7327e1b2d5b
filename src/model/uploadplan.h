#ifndef PELKO_UPLOADPLAN_H
#define PELKO_UPLOADPLAN_H

#include "model/catalogue.h"

#include <QString>
#include <QVector>

#include <functional>

// What an upload of this form sends to a device of this release, decided once
// from the parameter table: the window carries the plan out line by line, and
// whoever must know what an upload sends (the provisioning tool's check, the
// tests) reads the same plan.
namespace Upload {

// What one command carries, read from its widget: `ok` is false when the form
// has no such widget, and then nothing can be sent faithfully.
struct Payload
{
    bool ok = true;
    int value = 0;
    QString text;
};

// The form as the plan sees it: the state of a box or field, and what a row's
// widget holds, already converted the way the row sends it (seconds in
// milliseconds, the range in g, ...). Rows without a widget of their own (the
// mask, fixed values and texts) are not asked for.
struct FormReading
{
    std::function<BoxState(const char *widget)> box;
    std::function<Payload(const Step &row)> payload;
};

// What besides the form decides what goes out.
struct UploadContext
{
    float firmwareVersion = 0.0f;
    bool alertPeriodPending = false; // a TILT upload asked for the common alert period
    bool devEuiLocked = false;       // the device holds a DevEUI of its own
    bool appKeyLocked = false;       // ... and an AppKEY
};

// One step of an upload, in the order the upload takes them.
struct PlanStep
{
    enum class Action {
        Trace,          // write `trace` to the debug log
        Progress,       // show `value` per cent
        Send,           // send `row` carrying `value` and `text`
        Pass,           // the row's field is left empty or held by the device: nothing is sent
        Fail,           // the row cannot be sent as the form holds it: a failed command
        ArmAlertPeriod, // no failure so far: the common alert period becomes due
    };
    Action action;
    const Step *row = nullptr;
    int value = 0;
    QString text;
    const char *trace = nullptr;
    bool noteUnsent = false; // Fail: the field holds a text that would split the line
};

struct Plan
{
    int mask = 0;
    bool emptyConfiguration = false; // ALIVE alone without its frames: the algorithm part is left out
    QVector<PlanStep> steps;

    // The lines that reach a device that takes every one of them. Which ones
    // a refusal drops (the saves after it, the alert period it keeps from
    // coming due) is up to whoever carries the plan out: rows flagged
    // OnlyWithoutError, AlertPeriodPending or StopOnFailure.
    QVector<SentLine> lines() const;
};

Plan planUpload(const FormReading &form, const UploadContext &context);

} // namespace Upload

#endif // PELKO_UPLOADPLAN_H
