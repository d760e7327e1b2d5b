#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "busysequence.h"
#include "link/serialports.h"
#include "link/timing.h"
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
    const bool connecting = !portReady;
    OperationResult result = operation(
        [this] {
            qDebug() << "on_startButton_clicked";
            ui->progressBar->setValue(0);
            ui->startButton->setEnabled(false);
            ui->stopButton->setEnabled(true);
            ui->stopButton->setText(tr("Stop"));
            stopButtonKept = true;

            if (!portReady) {
                initSerial();
                return productConnected;
            }

            sendParameters();
            const Upload::Delivery &delivered = uploadDelivery;
            if (!delivered.complete()) {
                if (stopping) {
                    // Stopped: the device answered all it was sent and stays
                    // connected; what it saved and what it only uses is told.
                    // What the last Read found no longer holds.
                    stopTold = delivered.stopped();
                    if (!delivered.lines().isEmpty())
                        forgetDevice();
                    if (delivered.saved(Upload::Delivery::Part::LoRa) ||
                        delivered.unsaved(Upload::Delivery::Part::LoRa) > 0)
                        loraAnswer.clear();
                    productConnected = true;
                    ui->startButton->setEnabled(true);
                    ui->stopButton->setText(tr("Disconnect"));
                    return false;
                }
                productConnected = false;
                reportError(this, ui->leVersion, Error::UploadFailed);
                disconnectDevice();
                return false;
            }
            // A Stop asked while the last line was in flight found nothing
            // left to stop: the device took the whole form.
            stopping = false;
            productConnected = true;
            // What the device holds now is known again after a Read; its LoRa
            // settings only after the next connection asks for them.
            loraAnswer.clear();
            forgetDevice();
            ui->progressBar->setValue(100);
            ui->stopButton->setText(tr("Disconnect"));
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
    // Listing the ports takes the system some milliseconds: the window
    // catches up before and after.
    pause(0, false);
    const QList<SerialPortEntry> ports = availableSerialPorts();
    pause(0, false);
    for (const SerialPortEntry &entry : ports) {
        qDebug().noquote() << "Port name : " + entry.portName;
        qDebug().noquote() << "Port manufacturer: " + entry.manufacturer;
        if (!isPelkoManufacturer(entry.manufacturer))
            continue;
        qDebug().noquote() << "Pelko detected ! (" + entry.portName + ":" + entry.manufacturer + ")";
        portFound = true;
        // A port left open by a stalled handshake is let go before the new one opens.
        if (serial.isOpen())
            serial.close();
        serial.setPortName(entry.systemLocation);
        serial.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
        serial.setDataBits(QSerialPort::Data8);
        serial.setParity(QSerialPort::NoParity);
        serial.setStopBits(QSerialPort::OneStop);
        serial.setFlowControl(QSerialPort::NoFlowControl);
        break;
    }

    if (!portFound) {
        reportError(this, ui->leVersion, Error::PortNotFound);
        return;
    }

    portFound = false;
    lossPending = false;
    if (serial.open(QIODevice::ReadWrite)) {
        qDebug() << "Serial opened";
        emit signalSerialPortIsReady();
        return;
    }

    // Taken before the error handling runs: closing the port would replace it.
    // The port's own words tell "permission denied" from "device busy"; the
    // technician finds them in the console as well as in the debug log.
    const QString openError = serial.errorString();
    portHeldElsewhere = heldByAnotherProgram(serial.error(), openError);
    portReady = false;
    if (serial.isOpen())
        serial.close();
    noteInConsole(QStringLiteral("\nSerial init error on %1 : %2\n").arg(serial.portName(), openError));
    emit serialError();
    qDebug().noquote() << "Serial init error : " + openError;
}

void MainWindow::managePortReady()
{
    qDebug() << "Port is Ready";
    portReady = true;
    forgetDevice();

    const bool connected = connectToProduct() == 0;
    if (connected && !stopping) {
        ui->startButton->setEnabled(true);
        ui->stopButton->setEnabled(true);
        ui->startButton->setText(tr("Start"));
        ui->stopButton->setText(tr("Disconnect"));
        productConnected = true;
        showMessage(this, MessageKind::Information, tr("Information"), tr("Successfully connected to the pelko !"));
        return;
    }
    if (stopping) {
        // A stopped connection leaves nothing connected: the port is let go
        // and the window is idle again.
        productConnected = false;
        disconnectDevice();
        return;
    }
    reportError(this, ui->leVersion, Error::HandshakeFailed);
}

void MainWindow::manageSerialError()
{
    portReady = false;
    productConnected = false;
    disconnectDevice();
    reportError(this, ui->leVersion, portHeldElsewhere ? Error::PortBusy : Error::PortNotOpened);
}

void MainWindow::on_stopButton_clicked()
{
    // During an operation the button stops it; otherwise it disconnects.
    if (sequenceDepth > 0) {
        qDebug() << "Stop asked";
        stopRequested = 1;
        return;
    }
    const BusySequence busy(this);
    disconnectDevice();
}

void MainWindow::disconnectDevice()
{
    // A stopped click sends nothing more and leaves a connected device
    // connected; a connection it stopped is not one yet, and only lets go of
    // the port.
    if (stopping && productConnected)
        return;
    forgetDevice();

    if (productConnected) {
        // The device may or may not answer; the link comes down either way.
        sendOneCommand("DISCONNECTE", QByteArray(), 0, QString());
        pause(LinkLimits::disconnectWaitMs, false);
        productConnected = false;
        portReady = false;
        // A device that went away on being disconnected, switched off or
        // restarted did what it was asked.
        lossPending = false;
        showDisconnected(ui);
        qDebug() << "*--------------- PELKO DISCONNECTED! ---------------*";
    }

    // A stopped connection or restart leaves nothing to read either.
    if (stopping)
        showDisconnected(ui);
    // The stop button stays a Stop while the goodbye is under way.
    ui->startButton->setEnabled(true);
    ui->stopButton->setEnabled(false);
    ui->progressBar->setValue(0);
    portReady = false;
    if (serial.isOpen())
        serial.close();
    ui->leVersion->clear();
    ui->leVersion->setEnabled(false);
    ui->leVersion->setStyleSheet(StatusStyle::cleared);
}

void MainWindow::manageDeviceLoss(QSerialPort::SerialPortError error)
{
    // A read or resource error on an open port: the device's end hung up
    // (cable pulled, battery dead). The port is closed at once, or it keeps
    // signalling the hang-up and the window spins on it.
    if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || !serial.isOpen())
        return;
    qDebug().noquote() << "Serial port lost : " + serial.errorString();
    lossPending = true;
    serial.close();
    // During a click the user is told once it is over, after its own outcome.
    if (sequenceDepth == 0)
        reportDeviceLoss();
}

void MainWindow::reportDeviceLoss()
{
    lossPending = false;
    productConnected = false;
    portReady = false;
    forgetDevice();
    if (serial.isOpen())
        serial.close();
    showDisconnected(ui);
    ui->startButton->setEnabled(true);
    ui->stopButton->setEnabled(false);
    ui->progressBar->setValue(0);
    ui->leVersion->clear();
    ui->leVersion->setEnabled(false);
    ui->leVersion->setStyleSheet(StatusStyle::cleared);
    qDebug() << "*--------------- PELKO LOST! ---------------*";
    reportError(this, ui->leVersion, Error::DeviceLost);
}
