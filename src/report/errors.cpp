#include "errors.h"

namespace StatusStyle {
const QLatin1String ok("color:#ffffff; background:#32ee00;");
const QLatin1String error("color:#ffffff; background:#ee0000;");
const QLatin1String cleared("color:#ffffff;");
// Grey: nothing is connected, so nothing has succeeded or failed.
const QLatin1String preparing("color:#202020; background:#d8d8d8;");
} // namespace StatusStyle

namespace {

struct Row
{
    Error error;
    MessageKind kind;
    const char *title;
    const char *text;
    const char *status;
};

const char kNotConnected[] = "Please plug the product, turn it on and connect it to the app before doing anything.";

const Row kRows[] = {
    {Error::PortNotFound, MessageKind::Critical, "Error 1", "The Pelko's CDC port COM could not be find.",
     "ERROR 1: please connect the product and try again"},
    {Error::PortNotOpened, MessageKind::Critical, "Error 2",
     "Error while initialize the serial connection.\n\nPlease try this :\n1. Unplug the USB cable\n"
     "2. Plug it again\n3. Close this box then clic 'Connection'",
     "ERROR 2: please try again"},
    {Error::PortBusy, MessageKind::Critical, "Error 2",
     "The Pelko's port is held by another program (pelko-provision, a terminal).\n\nClose it or let it finish, then "
     "clic 'Connection'.",
     "ERROR 2: the port is busy, please try again"},
    {Error::NoAnswerToReady, MessageKind::Critical, "Error 3",
     "No product answer... Please verify that the product is well connected, turned on and detected by your "
     "computer. Then please try again.",
     ""},
    {Error::HandshakeFailed, MessageKind::Critical, "Error 4", "Serial port is ready but the product didn't answer.",
     "ERROR 4: please try again"},
    {Error::UploadFailed, MessageKind::Critical, "Error 5", "The configuration failed. Please try again.", ""},
    // A VERSION answer with nothing in it is only shown in the status box.
    {Error::NoVersion, MessageKind::Critical, "", "", "ERROR 6: Can't get product version"},
    {Error::NotConnected, MessageKind::Critical, "Error 7", kNotConnected, "ERROR 7: Product not connected"},
    {Error::FactoryResetFailed, MessageKind::Critical, "Error 8", "Factory reset failed ! Please try again.",
     "ERROR 8: Factory reset failed"},
    {Error::VerboseFailed, MessageKind::Warning, "Error 9", "Could not change verbose mode.",
     "ERROR 9: Could not change verbose mode on Pelko"},
    {Error::VerboseLedFailed, MessageKind::Warning, "Error 9", "Could not change verbose LED mode.",
     "ERROR 9: Could not change verbose LED mode on Pelko"},
    {Error::RebootFailed, MessageKind::Warning, "Error 10", "Pelko reboot failed !",
     "ERROR 10: Could not reboot the Pelko."},
    {Error::PoweroffFailed, MessageKind::Warning, "Error 11", "Pelko shutdown failed !",
     "ERROR 11: Could not poweroff the Pelko."},
    {Error::ReadConfigFailed, MessageKind::Critical, "Error 12", "Read Pelko config failed ! Please try again.",
     "ERROR 12: Read Pelko config failed"},
    {Error::BatteryFailed, MessageKind::Warning, "Error 13", "Could not get battery status !",
     "ERROR 13: Could not get battery status."},
    {Error::DeviceLost, MessageKind::Warning, "Disconnected",
     "The Pelko was disconnected (USB cable unplugged or product turned off).\n\n"
     "Plug it in again, turn it on, then click 'Connection'.",
     ""},
    {Error::ConnectionStopped, MessageKind::Information, "Stopped", "The connection was stopped: nothing is connected.",
     ""},
    {Error::UploadStopped, MessageKind::Warning, "Stopped",
     "Start was stopped before the end: nothing new was saved in the Pelko's flash.\n\n"
     "The settings sent so far are in use until the Pelko restarts. Read shows them; Start writes the whole form "
     "again.",
     ""},
    {Error::UploadStoppedAlgorithmsSaved, MessageKind::Warning, "Stopped",
     "Start was stopped before the end: the algorithm settings were saved in the Pelko's flash, and it took none of "
     "the LoRa settings.\n\nThe Pelko keeps the LoRa settings it had. Start writes the whole form again.",
     ""},
    {Error::UploadStoppedLoRaUnsaved, MessageKind::Warning, "Stopped",
     "Start was stopped before the end: the algorithm settings were saved in the Pelko's flash, the LoRa settings "
     "were not.\n\nThe LoRa settings sent so far are in use until the Pelko restarts; the next connection shows "
     "them. Start writes the whole form again.",
     ""},
    {Error::ToolStopped, MessageKind::Information, "Stopped",
     "Stopped before the end: nothing more was sent to the Pelko, which is still connected. Read shows what it "
     "holds.",
     ""},
};

} // namespace

ErrorReport errorReport(Error error)
{
    for (const Row &row : kRows) {
        if (row.error == error)
            return {row.kind, QString::fromUtf8(row.title), QString::fromUtf8(row.text), QString::fromUtf8(row.status)};
    }
    return {MessageKind::Critical, QString(), QString(), QString()};
}
