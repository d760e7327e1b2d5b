#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "app/messages.h"
#include "link/serialports.h"
#include "link/timing.h"
#include "firmware/releases.h"
#include "tools/presence.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextEdit>

namespace {

void trace(const QString &text)
{
    qDebug().noquote() << text;
}

void traceFailedCommand(const QString &line)
{
    trace(QStringLiteral("ERROR when sending command '") + line + QLatin1Char('\''));
}

void inform(QWidget *parent, const QString &text)
{
    showMessage(parent, MessageKind::Information, QStringLiteral("Information"), text);
}

} // namespace

void MainWindow::on_pbResetParam_clicked()
{
    resetToFactory();
}

void MainWindow::on_pbEnableDebug_clicked()
{
    toggleDebug();
}

void MainWindow::on_pbEnableDebugLed_clicked()
{
    toggleLedDebug();
}

void MainWindow::on_pbRestartProduct_clicked()
{
    restartDevice();
}

void MainWindow::on_pbTurnOffProduct_clicked()
{
    powerOff();
}

void MainWindow::on_pbGetBatteryStatus_clicked()
{
    readBattery();
}

OperationResult MainWindow::resetToFactory()
{
    return operation([this] {
        if (refuseWithoutLink(this, ui->leVersion, m_session.linkReady()))
            return false;

        // Releases up to 1.9 reset everything at once and need an explicit save;
        // later ones reset (and store) the LoRa and algorithm halves separately.
        const bool split = Firmware::opens(firmwareVersion, Firmware::Feature::TwoCommandFactoryReset);
        const QByteArray first = split ? QByteArrayLiteral("RESETPARAM LORA") : QByteArrayLiteral("RESETPARAM 1");
        const QByteArray second = split ? QByteArrayLiteral("RESETPARAM ALGO") : QByteArrayLiteral("SAVEPARAM");

        int failures = 0;
        if (m_session.sendOneCommand(first, QByteArray(), 0, QString()) != 0) {
            ++failures;
            traceFailedCommand(QString::fromLatin1(first));
        }
        // Both halves always go out; either one failing fails the reset.
        if (m_session.sendOneCommand(second, QByteArray(), 0, QString()) != 0)
            ++failures;

        if (failures != 0) {
            traceFailedCommand(QString::fromLatin1(second));
            fail(Error::FactoryResetFailed);
            return false;
        }

        // The device only takes the factory values into use after a power cycle.
        if (m_session.sendOneCommand(QByteArrayLiteral("poweroff"), QByteArray(), 0, QString()) != 0)
            traceFailedCommand(QStringLiteral("poweroff"));
        if (m_session.haltAsked())
            return false;
        inform(this, QStringLiteral("Factory reset finished with success. Please restart your product before use "
                                    "(by pressing the button)."));
        m_session.pause(LinkLimits::toolsWaitMs, true);
        disconnectDevice();
        return !m_session.stopping();
    });
}

// The two debug switches behave alike: one line each way, a box, and the
// button naming what the next click does.
struct DebugSwitch
{
    bool MainWindow::*off;
    QPushButton *Ui::MainWindow::*button;
    const char *onArgument;
    const char *offArgument;
    Error failure;
    const char *enabledText;
    const char *disabledText;
    const char *disableLabel;
    const char *enableLabel;
};

namespace {

const DebugSwitch kVerbose{&MainWindow::verboseOff,
                           &Ui::MainWindow::pbEnableDebug,
                           "1",
                           "0",
                           Error::VerboseFailed,
                           "Verbose mode enabled.",
                           "Verbose mode disabled.",
                           "Disable debug",
                           "Enable debug"};
const DebugSwitch kVerboseLed{&MainWindow::verboseLedOff,
                              &Ui::MainWindow::pbEnableDebugLed,
                              "LEDON",
                              "LEDOFF",
                              Error::VerboseLedFailed,
                              "Verbose LED mode enabled.",
                              "Verbose LED mode disabled.",
                              "Disable LED debug",
                              "Enable LED debug"};

} // namespace

OperationResult MainWindow::toggleDebug()
{
    return toggleDebugSwitch(kVerbose);
}

OperationResult MainWindow::toggleLedDebug()
{
    return toggleDebugSwitch(kVerboseLed);
}

OperationResult MainWindow::toggleDebugSwitch(const DebugSwitch &debug)
{
    return operation([this, &debug] {
        if (refuseWithoutLink(this, ui->leVersion, m_session.linkReady()))
            return false;

        const bool off = this->*debug.off;
        const QByteArray param(off ? debug.onArgument : debug.offArgument);
        if (m_session.sendOneCommand(QByteArrayLiteral("DEBUG"), param, 0, QString()) != 0) {
            traceFailedCommand(QStringLiteral("DEBUG ") + QString::fromLatin1(param));
            fail(debug.failure);
            return false;
        }

        inform(this, QString::fromLatin1(off ? debug.enabledText : debug.disabledText));
        (ui->*debug.button)->setText(QString::fromLatin1(off ? debug.disableLabel : debug.enableLabel));
        this->*debug.off = !off;
        return true;
    });
}

OperationResult MainWindow::restartDevice()
{
    return operation([this] {
        if (refuseWithoutLink(this, ui->leVersion, m_session.linkReady()))
            return false;

        if (m_session.sendOneCommand(QByteArrayLiteral("reset"), QByteArray(), 0, QString()) != 0) {
            // A device that reboots at once may drop off the bus before it
            // answers: give it a moment, then only its port still being listed
            // means the reset really failed.
            m_session.pause(LinkLimits::toolsWaitMs, true);
            if (!m_session.stopping() && pelkoPortStillListed(m_session.listedPorts())) {
                traceFailedCommand(QStringLiteral("reset"));
                fail(Error::RebootFailed);
                return false;
            }
        }

        QElapsedTimer sinceReset;
        sinceReset.start();
        if (m_session.haltAsked()) {
            // The device reboots all the same: its link is gone, and no
            // goodbye is sent after a Stop.
            m_session.setConnected(false);
            stopTold = Error::ConnectionStopped;
            disconnectDevice();
            return false;
        }
        disconnectDevice();
        inform(this, QStringLiteral("Please wait 5s for Pelko reboot... then click 'OK'"));

        // The device reboots: a Stop now leaves it unconnected.
        ui->startButton->setEnabled(false);
        ui->stopButton->setEnabled(true);
        ui->stopButton->setText(tr("Stop"));
        ui->startButton->setText(QStringLiteral("Connection"));

        // However quickly the box was closed, the device gets its full reboot
        // time before it is asked for again.
        const qint64 elapsed = sinceReset.elapsed();
        if (elapsed < LinkLimits::rebootFloorMs)
            m_session.pause(static_cast<int>(LinkLimits::rebootFloorMs - elapsed), true);
        if (m_session.stopping()) {
            // Stopped while the device reboots: nothing is connected.
            ui->startButton->setEnabled(true);
            ui->stopButton->setEnabled(false);
            stopTold = Error::ConnectionStopped;
            return false;
        }

        // Restarted means answering again.
        return start().succeeded;
    });
}

OperationResult MainWindow::powerOff()
{
    return operation([this] {
        if (refuseWithoutLink(this, ui->leVersion, m_session.linkReady()))
            return false;

        if (m_session.sendOneCommand(QByteArrayLiteral("poweroff"), QByteArray(), 0, QString()) != 0) {
            // The device may switch off before answering; only if its port is
            // still listed did the command really fail.
            if (!m_session.haltAsked() && pelkoPortStillListed(m_session.listedPorts())) {
                traceFailedCommand(QStringLiteral("poweroff"));
                fail(Error::PoweroffFailed);
                return false;
            }
        }

        if (m_session.haltAsked())
            return false;
        inform(this, QStringLiteral("Pelko is now off. You can safely unplug it."));
        disconnectDevice();
        return true;
    });
}

OperationResult MainWindow::readBattery()
{
    return operation([this] {
        if (refuseWithoutLink(this, ui->leVersion, m_session.linkReady()))
            return false;

        // The device reports its battery only with its debug output on; all three
        // commands go out whatever happens so that it is never left verbose.
        // A figure from an earlier query must never pass for this one's.
        batteryAnswer.clear();
        int failures = 0;
        if (m_session.sendOneCommand(QByteArrayLiteral("DEBUG"), QByteArrayLiteral("1"), 0, QString()) != 0) {
            ++failures;
            traceFailedCommand(QStringLiteral("DEBUG 1"));
        }
        if (m_session.sendOneCommand(QByteArrayLiteral("BATTERY GET LIFE"), QByteArray(), 0, QString()) != 0)
            ++failures;
        if (failures != 0)
            traceFailedCommand(QStringLiteral("BATTERY GET LIFE"));
        if (m_session.sendOneCommand(QByteArrayLiteral("DEBUG"), QByteArrayLiteral("0"), 0, QString()) != 0)
            ++failures;

        // An accepted answer that carries no figure is a failed reading too:
        // announcing "Actual battery status: %" would pass it off as one.
        if (failures == 0 && !batteryAnswer.isEmpty()) {
            inform(this,
                   QStringLiteral("Actual battery status: ") + QString::fromUtf8(batteryAnswer) + QLatin1Char('%'));
            return true;
        }

        if (failures != 0)
            traceFailedCommand(QStringLiteral("DEBUG 0"));
        else
            trace(QStringLiteral("ERROR 13: the battery answer holds no figure"));
        fail(Error::BatteryFailed);
        return false;
    });
}
