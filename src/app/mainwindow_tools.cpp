#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "app/messages.h"
#include "link/timing.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextEdit>

namespace {

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
        const DeviceSession::Outcome outcome = m_session.resetToFactory();
        if (outcome == DeviceSession::Outcome::Failed)
            fail(Error::FactoryResetFailed);
        if (outcome != DeviceSession::Outcome::Done)
            return false;
        inform(this, QStringLiteral("Factory reset finished with success. Please restart your product before use "
                                    "(by pressing the button)."));
        m_session.pause(m_session.limits().toolsWaitMs, true);
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
        if (m_session.setDebug(off ? debug.onArgument : debug.offArgument) != DeviceSession::Outcome::Done) {
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

        const DeviceSession::Outcome outcome = m_session.restart();
        if (outcome == DeviceSession::Outcome::Failed) {
            fail(Error::RebootFailed);
            return false;
        }

        QElapsedTimer sinceReset;
        sinceReset.start();
        if (outcome == DeviceSession::Outcome::Stopped) {
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
        setStopButton(true, tr("Stop"));
        ui->startButton->setText(QStringLiteral("Connection"));

        // However quickly the box was closed, the device gets its full reboot
        // time before it is asked for again.
        const qint64 elapsed = sinceReset.elapsed();
        if (elapsed < m_session.limits().rebootFloorMs)
            m_session.pause(static_cast<int>(m_session.limits().rebootFloorMs - elapsed), true);
        if (m_session.stopping()) {
            // Stopped while the device reboots: nothing is connected.
            ui->startButton->setEnabled(true);
            setStopButton(false);
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
        const DeviceSession::Outcome outcome = m_session.powerOff();
        if (outcome == DeviceSession::Outcome::Failed)
            fail(Error::PoweroffFailed);
        if (outcome != DeviceSession::Outcome::Done)
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
        if (m_session.readBattery() != DeviceSession::Outcome::Done) {
            fail(Error::BatteryFailed);
            return false;
        }
        // An accepted answer that carries no figure was refused above:
        // announcing "Actual battery status: %" would pass it off as one.
        inform(this, QStringLiteral("Actual battery status: ") + QString::fromUtf8(m_session.batteryLevel()) +
                         QLatin1Char('%'));
        return true;
    });
}
