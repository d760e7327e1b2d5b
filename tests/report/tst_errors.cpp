#include "report/errors.h"

#include <QtTest>

// What the user reads for every error, word for word: the other tests name
// errors by their code and take the words from the catalogue.
class ErrorsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyErrorReadsExactly_data();
    void everyErrorReadsExactly();
};

void ErrorsTest::everyErrorReadsExactly_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");
    const int critical = int(MessageKind::Critical), warning = int(MessageKind::Warning);
    const auto row = [](Error error, int kind, const char *title, const char *text, const char *status) {
        QTest::addRow("%s", *title ? title : status)
            << int(error) << kind << QString::fromUtf8(title) << QString::fromUtf8(text) << QString::fromUtf8(status);
    };
    row(Error::PortNotFound, critical, "Error 1", "The Pelko's CDC port COM could not be find.",
        "ERROR 1: please connect the product and try again");
    row(Error::PortNotOpened, critical, "Error 2",
        "Error while initialize the serial connection.\n\nPlease try this :\n1. Unplug the USB cable\n2. Plug it "
        "again\n3. Close this box then clic 'Connection'",
        "ERROR 2: please try again");
    row(Error::NoAnswerToReady, critical, "Error 3",
        "No product answer... Please verify that the product is well connected, turned on and detected by your "
        "computer. Then please try again.",
        "");
    row(Error::HandshakeFailed, critical, "Error 4", "Serial port is ready but the product didn't answer.",
        "ERROR 4: please try again");
    row(Error::UploadFailed, critical, "Error 5", "The configuration failed. Please try again.", "");
    row(Error::NoVersion, critical, "", "", "ERROR 6: Can't get product version");
    row(Error::NotConnected, critical, "Error 7",
        "Please plug the product, turn it on and connect it to the app before doing anything.",
        "ERROR 7: Product not connected");
    row(Error::FactoryResetFailed, critical, "Error 8", "Factory reset failed ! Please try again.",
        "ERROR 8: Factory reset failed");
    row(Error::VerboseFailed, warning, "Error 9", "Could not change verbose mode.",
        "ERROR 9: Could not change verbose mode on Pelko");
    QTest::addRow("Error 9 (LED)") << int(Error::VerboseLedFailed) << warning << QStringLiteral("Error 9")
                                   << QStringLiteral("Could not change verbose LED mode.")
                                   << QStringLiteral("ERROR 9: Could not change verbose LED mode on Pelko");
    row(Error::RebootFailed, warning, "Error 10", "Pelko reboot failed !", "ERROR 10: Could not reboot the Pelko.");
    row(Error::PoweroffFailed, warning, "Error 11", "Pelko shutdown failed !",
        "ERROR 11: Could not poweroff the Pelko.");
    row(Error::ReadConfigFailed, critical, "Error 12", "Read Pelko config failed ! Please try again.",
        "ERROR 12: Read Pelko config failed");
    row(Error::BatteryFailed, warning, "Error 13", "Could not get battery status !",
        "ERROR 13: Could not get battery status.");
    row(Error::DeviceLost, warning, "Disconnected",
        "The Pelko was disconnected (USB cable unplugged or product turned off).\n\nPlug it in again, turn it on, "
        "then click 'Connection'.",
        "");
}

void ErrorsTest::everyErrorReadsExactly()
{
    QFETCH(int, error);
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, status);
    const ErrorReport report = errorReport(Error(error));
    QCOMPARE(int(report.kind), kind);
    QCOMPARE(report.title, title);
    QCOMPARE(report.text, text);
    QCOMPARE(report.status, status);
    QCOMPARE(QString(StatusStyle::error), QStringLiteral("color:#ffffff; background:#ee0000;"));
    QCOMPARE(QString(StatusStyle::ok), QStringLiteral("color:#ffffff; background:#32ee00;"));
    QCOMPARE(QString(StatusStyle::cleared), QStringLiteral("color:#ffffff;"));
}

QTEST_GUILESS_MAIN(ErrorsTest)
#include "tst_errors.moc"
