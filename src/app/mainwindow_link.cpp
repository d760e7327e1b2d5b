#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "busysequence.h"
#include "formvalues.h"
#include "link/serialports.h"
#include "messages.h"

#include <QDebug>

namespace {
// The form as a disconnected window shows it: nothing to read, the start
// button connects, and no LoRa identity of a device that is no longer there.
void showDisconnected(Ui::MainWindow *ui)
{
    ui->readAlgoButton->setEnabled(false);
    ui->loadAlgoConfigButton->setEnabled(false);
    ui->saveAlgoConfigButton->setEnabled(false);
    ui->startButton->setText(MainWindow::tr("Connection"));

    ui->leDevEUI->clear();
    ui->leAppEUI->clear();
    ui->leAppKEY->clear();
    ui->leNwkSKEY->clear();
    ui->leAppSKEY->clear();
    ui->leDevADDR->clear();
    ui->leNwkID->clear();

    ui->rbMessageConfirmed->setChecked(false);
    ui->rbMessageUnconfirmed->setChecked(false);
    ui->rbABP->setChecked(false);
    ui->rbOTAA->setChecked(false);
    ui->rbADR_OFF->setChecked(false);
    ui->rbADR_ON->setChecked(false);
    ui->rbPrivateNetwork->setChecked(false);
    ui->rbPublicNetwork->setChecked(false);
}
} // namespace

void MainWindow::on_startButton_clicked()
{
    start();
}

OperationResult MainWindow::start()
{
    const bool connecting = !m_session.linkReady();
    OperationResult result = operation(
        [this] {
            qDebug() << "on_startButton_clicked";
            ui->progressBar->setValue(0);
            ui->startButton->setEnabled(false);
            setStopButton(true, tr("Stop"));

            if (!m_session.linkReady()) {
                initSerial();
                return m_session.connected();
            }

            sendParameters();
            const Upload::Delivery &delivered = m_session.delivery();
            if (!delivered.complete()) {
                if (m_session.stopping()) {
                    // Stopped: the device answered all it was sent and stays
                    // connected; what it saved and what it only uses is told.
                    // What the last Read found no longer holds.
                    stopTold = delivered.stopped();
                    if (!delivered.lines().isEmpty())
                        forgetDevice();
                    if (delivered.saved(Upload::Delivery::Part::LoRa) ||
                        delivered.unsaved(Upload::Delivery::Part::LoRa) > 0)
                        loraAnswer.clear();
                    m_session.setConnected(true);
                    ui->startButton->setEnabled(true);
                    setStopButton(true, tr("Disconnect"));
                    return false;
                }
                m_session.setConnected(false);
                reportError(this, ui->leVersion, Error::UploadFailed);
                disconnectDevice();
                return false;
            }
            // A Stop asked while the last line was in flight found nothing
            // left to stop: the device took the whole form.
            m_session.clearStop();
            m_session.setConnected(true);
            // What the device holds now is known again after a Read; its LoRa
            // settings only after the next connection asks for them.
            loraAnswer.clear();
            forgetDevice();
            ui->progressBar->setValue(100);
            setStopButton(true, tr("Disconnect"));
            showMessage(this, MessageKind::Information, tr("Success"),
                        tr("The product has been successfully configured."));
            return true;
        },
        connecting ? Error::ConnectionStopped : Error::UploadStopped);
    // A device lost on the way, told once the click is over, undoes it.
    result.succeeded = result.succeeded && result.error != Error::DeviceLost;
    return result;
}

void MainWindow::initSerial()
{
    const DeviceSession::Opening opening = m_session.openDevicePort();
    if (opening == DeviceSession::Opening::NotFound) {
        reportError(this, ui->leVersion, Error::PortNotFound);
        return;
    }
    if (opening == DeviceSession::Opening::Opened) {
        emit signalSerialPortIsReady();
        return;
    }
    // The port's own words tell "permission denied" from "device busy"; the
    // technician finds them in the console as well as in the debug log.
    const QString openError = m_session.openError();
    noteInConsole(QStringLiteral("\nSerial init error on %1 : %2\n").arg(m_session.port().portName(), openError));
    emit serialError();
    qDebug().noquote() << "Serial init error : " + openError;
}

void MainWindow::managePortReady()
{
    qDebug() << "Port is Ready";
    m_session.setLinkReady(true);
    forgetDevice();

    // A prepared form adapts to the device's release; what that release
    // lacks of it is told once the device is connected.
    const float prepared = preparedFor;
    const QVariantMap preparedForm = prepared != 0.0f ? formValues(*this) : QVariantMap();
    const bool connected = connectToProduct() == 0;
    if (!connected || m_session.stopping())
        endPreparation(prepared, QVariantMap());
    if (connected && !m_session.stopping()) {
        ui->startButton->setEnabled(true);
        ui->startButton->setText(tr("Start"));
        setStopButton(true, tr("Disconnect"));
        m_session.setConnected(true);
        showMessage(this, MessageKind::Information, tr("Information"), tr("Successfully connected to the pelko !"));
        endPreparation(prepared, preparedForm);
        return;
    }
    if (m_session.stopping()) {
        // A stopped connection leaves nothing connected: the port is let go
        // and the window is idle again.
        m_session.setConnected(false);
        disconnectDevice();
        return;
    }
    reportError(this, ui->leVersion, Error::HandshakeFailed);
}

void MainWindow::manageSerialError()
{
    m_session.setLinkReady(false);
    m_session.setConnected(false);
    disconnectDevice();
    reportError(this, ui->leVersion, m_session.heldElsewhere() ? Error::PortBusy : Error::PortNotOpened);
}

void MainWindow::setStopButton(bool enabled, const QString &caption)
{
    ui->stopButton->setEnabled(enabled);
    if (!caption.isEmpty())
        ui->stopButton->setText(caption);
    // The click under way decided what the button offers next.
    stopButtonKept = true;
}

void MainWindow::on_stopButton_clicked()
{
    // During an operation the button stops it; otherwise it disconnects.
    if (m_session.operating()) {
        qDebug() << "Stop asked";
        m_session.requestStop();
        return;
    }
    hangUp();
}

void MainWindow::hangUp()
{
    const BusySequence busy(this);
    disconnectDevice();
}

void MainWindow::disconnectDevice()
{
    // A stopped click sends nothing more and leaves a connected device
    // connected; a connection it stopped is not one yet, and only lets go of
    // the port.
    if (m_session.stopping() && m_session.connected())
        return;
    forgetDevice();

    if (m_session.connected()) {
        // The device may or may not answer; the link comes down either way.
        m_session.sayGoodbye();
        showDisconnected(ui);
    }

    // A stopped connection or restart leaves nothing to read either.
    if (m_session.stopping())
        showDisconnected(ui);
    // The stop button stays a Stop while the goodbye is under way.
    ui->startButton->setEnabled(true);
    setStopButton(false);
    ui->progressBar->setValue(0);
    m_session.close();
    ui->leVersion->clear();
    ui->leVersion->setEnabled(false);
    ui->leVersion->setStyleSheet(StatusStyle::cleared);
}

void MainWindow::reportDeviceLoss()
{
    m_session.clearLoss();
    m_session.setConnected(false);
    m_session.setLinkReady(false);
    forgetDevice();
    m_session.close();
    showDisconnected(ui);
    ui->startButton->setEnabled(true);
    setStopButton(false);
    ui->progressBar->setValue(0);
    ui->leVersion->clear();
    ui->leVersion->setEnabled(false);
    ui->leVersion->setStyleSheet(StatusStyle::cleared);
    qDebug() << "*--------------- PELKO LOST! ---------------*";
    reportError(this, ui->leVersion, Error::DeviceLost);
}
