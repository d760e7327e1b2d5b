#include "mainwindow.h"

#include "logic/formrules.h"
#include "messages.h"
#include "readback/dumpscan.h"
#include "ui_mainwindow.h"

#include <QDebug>

#include <iterator>

void MainWindow::on_readAlgoButton_clicked()
{
    readDevice();
}

OperationResult MainWindow::readDevice()
{
    return operation([this] { return readParameters(); });
}

bool MainWindow::readParameters()
{
    if (refuseWithoutLink(this, ui->leVersion, portReady))
        return false;

    // All three are always sent, so that a failed dump still leaves the
    // device's debug output switched off again. The dump is decoded while its
    // answer is dispatched.
    bool failed = false;
    leftUntickedByRead.clear();
    if (sendOneCommand("DEBUG", "1", 0, QString()) != 0) {
        qDebug() << "ERROR when sending command 'DEBUG 1'";
        failed = true;
    }
    if (sendOneCommand("DUMP RAM PARAM", QByteArray(), 0, QString()) != 0) {
        qDebug() << "ERROR when sending command 'DUMP RAM PARAM'";
        failed = true;
    }
    if (sendOneCommand("DEBUG", "0", 0, QString()) != 0) {
        qDebug() << "ERROR when sending command 'DEBUG 0'";
        failed = true;
    }

    if (!leftUntickedByRead.isEmpty()) {
        const QString warning = leftUntickedWarning(leftUntickedByRead);
        qDebug().noquote() << warning;
        noteInConsole(QLatin1Char('\n') + warning + QLatin1Char('\n'));
        showMessage(this, MessageKind::Warning, tr("Read"), warning);
    }
    if (failed)
        reportError(this, ui->leVersion, Error::ReadConfigFailed);
    return !failed;
}

int MainWindow::decodePelkoAlgo(int mode)
{
    if (!splitDumpLines(paramDump, mode))
        return -1;

    // Every algorithm goes off first; the dump's enable sentences switch back
    // on those the device runs, over fields that already hold its values.
    qDebug() << "";
    qDebug() << "*-------- Disabling algorithm --------*";
    ui->cbAlive->setChecked(false);
    struct Algorithm
    {
        QCheckBox *box;
        void (MainWindow::*handler)();
    };
    const Algorithm switchedOff[] = {
        {ui->cbAliveRefreshMode, &MainWindow::on_cbAliveRefreshMode_clicked},
        {ui->cbChoc, &MainWindow::on_cbChoc_clicked},
        {ui->cbTilt, &MainWindow::on_cbTilt_clicked},
        {ui->cbMvt, &MainWindow::on_cbMvt_clicked},
        {ui->cbTemp, &MainWindow::on_cbTemp_clicked},
        {ui->cbRotation, &MainWindow::on_cbRotation_clicked},
        {ui->cbOrient, &MainWindow::on_cbOrient_clicked},
    };
    for (const Algorithm &algorithm : switchedOff) {
        if (algorithm.box->isChecked()) {
            algorithm.box->setChecked(false);
            (this->*algorithm.handler)();
        }
    }
    qDebug() << "*--------------- FINISHED ---------------*";
    qDebug() << "";

    activeAlgorithmCount = 0;

    scanDumpLines(mode);
    applyParameters();

    // Applying ALIVE's frames has counted them already; the enabling below
    // counts them again, so the count starts over.
    activeAlgorithmCount = 0;

    qDebug() << "";
    qDebug() << "*-------- Enabling algorithm --------*";
    if (paramDump.contains("Algorithm ALIVE enable.")) {
        on_cbAlive_clicked();
        if (ui->cbAliveRefreshMode->isChecked())
            on_cbAliveRefreshMode_clicked();
    }
    // The handlers in the order of kDumpAlgorithms.
    void (MainWindow::*const handlers[])() = {
        &MainWindow::on_cbChoc_clicked, &MainWindow::on_cbTilt_clicked,     &MainWindow::on_cbMvt_clicked,
        &MainWindow::on_cbTemp_clicked, &MainWindow::on_cbRotation_clicked, &MainWindow::on_cbOrient_clicked,
    };
    for (int i = 0; i < int(std::size(kDumpAlgorithms)); ++i) {
        auto *box = findChild<QCheckBox *>(QLatin1String(kDumpAlgorithms[i].box));
        if (dumpEnables(paramDump, kDumpAlgorithms[i]) && !box->isChecked()) {
            box->setChecked(true);
            (this->*handlers[i])();
        }
    }
    // A box the form could not switch on (the dump names more than the form
    // holds together) is left unticked rather than ticked, locked and never
    // sent; the count then follows the boxes that are on.
    for (QCheckBox *box : {ui->cbChoc, ui->cbTilt, ui->cbMvt, ui->cbTemp, ui->cbRotation, ui->cbOrient})
        if (box->isChecked() && !box->isEnabled())
            box->setChecked(false);
    if (ui->cbVibe->isChecked() && !ui->cbVibe->isEnabled()) {
        ui->cbVibe->setChecked(false);
        on_cbVibe_clicked();
    }
    checkNumberAlgoCompatibility(FormRules::Recount);
    // The Read click tells the user about them once the exchange is over.
    leftUntickedByRead = algorithmsLeftUnticked(
        paramDump, [this](const char *box) { return findChild<QCheckBox *>(QLatin1String(box))->isChecked(); });
    qDebug() << "*--------------- FINISHED ---------------*";
    qDebug() << "";

    ui->cbAllowPowerOFF->setChecked(paramDump.contains("Poweroff : allowed"));
    return 0;
}
