#include "report/errors.h"

#include <QtTest>

// What the user reads for every error, word for word: the other tests name
// errors by their code and take the words from the catalogue.
class ErrorsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyErrorReadsExactly();
};

void ErrorsTest::everyErrorReadsExactly()
{
    const MessageKind critical = MessageKind::Critical, warning = MessageKind::Warning;
    const struct
    {
        Error error;
        MessageKind kind;
        const char *title, *text, *status;
    } rows[] = {
        {Error::PortNotFound, critical, "Error 1", "The Pelko's CDC port COM could not be find.",
         "ERROR 1: please connect the product and try again"},
        {Error::PortNotOpened, critical, "Error 2",
         "Error while initialize the serial connection.\n\nPlease try this :\n1. Unplug the USB cable\n2. Plug it "
         "again\n3. Close this box then clic 'Connection'",
         "ERROR 2: please try again"},
        {Error::NoAnswerToReady, critical, "Error 3",
         "No product answer... Please verify that the product is well connected, turned on and detected by your "
         "computer. Then please try again.",
         ""},
        {Error::HandshakeFailed, critical, "Error 4", "Serial port is ready but the product didn't answer.",
         "ERROR 4: please try again"},
        {Error::UploadFailed, critical, "Error 5", "The configuration failed. Please try again.", ""},
        {Error::NoVersion, critical, "", "", "ERROR 6: Can't get product version"},
        {Error::NotConnected, critical, "Error 7",
         "Please plug the product, turn it on and connect it to the app before doing anything.",
         "ERROR 7: Product not connected"},
        {Error::FactoryResetFailed, critical, "Error 8", "Factory reset failed ! Please try again.",
         "ERROR 8: Factory reset failed"},
        {Error::VerboseFailed, warning, "Error 9", "Could not change verbose mode.",
         "ERROR 9: Could not change verbose mode on Pelko"},
        {Error::VerboseLedFailed, warning, "Error 9", "Could not change verbose LED mode.",
         "ERROR 9: Could not change verbose LED mode on Pelko"},
        {Error::RebootFailed, warning, "Error 10", "Pelko reboot failed !", "ERROR 10: Could not reboot the Pelko."},
        {Error::PoweroffFailed, warning, "Error 11", "Pelko shutdown failed !",
         "ERROR 11: Could not poweroff the Pelko."},
        {Error::ReadConfigFailed, critical, "Error 12", "Read Pelko config failed ! Please try again.",
         "ERROR 12: Read Pelko config failed"},
        {Error::BatteryFailed, warning, "Error 13", "Could not get battery status !",
         "ERROR 13: Could not get battery status."},
        {Error::DeviceLost, warning, "Disconnected",
         "The Pelko was disconnected (USB cable unplugged or product turned off).\n\nPlug it in again, turn it on, "
         "then click 'Connection'.",
         ""},
    };
    for (const auto &row : rows) {
        const ErrorReport report = errorReport(row.error);
        QVERIFY2(report.kind == row.kind, row.status);
        QCOMPARE(report.title, QString::fromUtf8(row.title));
        QCOMPARE(report.text, QString::fromUtf8(row.text));
        QCOMPARE(report.status, QString::fromUtf8(row.status));
    }
    QCOMPARE(QString(StatusStyle::error), QStringLiteral("color:#ffffff; background:#ee0000;"));
    QCOMPARE(QString(StatusStyle::ok), QStringLiteral("color:#ffffff; background:#32ee00;"));
    QCOMPARE(QString(StatusStyle::cleared), QStringLiteral("color:#ffffff;"));
}

QTEST_GUILESS_MAIN(ErrorsTest)
#include "tst_errors.moc"
