#ifndef PELKO_ERRORS_H
#define PELKO_ERRORS_H

#include <QString>

// How loud a message box is.
enum class MessageKind { Information, Warning, Critical };

// Every error the window tells the user about. Most carry the number the user
// quotes to support; the lost device does not have one.
enum class Error {
    PortNotFound,
    PortNotOpened,
    PortBusy, // it would not open: another program holds it
    NoAnswerToReady,
    HandshakeFailed,
    UploadFailed,
    NoVersion,
    NotConnected,
    FactoryResetFailed,
    VerboseFailed,
    VerboseLedFailed,
    RebootFailed,
    PoweroffFailed,
    ReadConfigFailed,
    BatteryFailed,
    DeviceLost,
    // A Stop cut an operation short; what the user is told of the device.
    ConnectionStopped,
    UploadStopped,                // nothing of this Start saved
    UploadStoppedAlgorithmsSaved, // the algorithm settings saved, no LoRa setting taken
    UploadStoppedLoRaUnsaved,     // the algorithm settings saved, LoRa settings in use but not saved
    ToolStopped,
};

// What the user is shown for one error: a message box (none when the title is
// empty) and a status-box text on red (the box is left alone when empty).
struct ErrorReport
{
    MessageKind kind;
    QString title;
    QString text;
    QString status;
};

ErrorReport errorReport(Error error);

// The status box's looks: the device's version on green, an error on red,
// and neither while disconnected.
namespace StatusStyle {
extern const QLatin1String ok;
extern const QLatin1String error;
extern const QLatin1String cleared;
extern const QLatin1String preparing; // a form prepared without a device
} // namespace StatusStyle

#endif // PELKO_ERRORS_H
