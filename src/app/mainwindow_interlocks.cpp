#include "mainwindow.h"

#include "firmware/releases.h"
#include "logic/formrules.h"
#include "mainwindow_widgets.h"
#include "ui_mainwindow.h"

#include <QDebug>

namespace {

using FormWidgets::enabledByForm;
using FormWidgets::isOn;
using FormWidgets::setAllEnabled;

// Upright or laid flat: the checked radio button and the picture that shows it.
void showOrientation(Ui::MainWindow *ui, bool upright)
{
    // Check the chosen button first: the pair is exclusive, and the checked
    // button of an exclusive pair refuses to be unchecked directly.
    if (upright) {
        ui->rbPelkoStayUpright->setChecked(true);
        ui->rbPelkoLaidFlat->setChecked(false);
    } else {
        ui->rbPelkoLaidFlat->setChecked(true);
        ui->rbPelkoStayUpright->setChecked(false);
    }
    ui->imagePelkoFlat->setEnabled(!upright);
    ui->imagePelkoUp->setEnabled(upright);
}

void capThresholds(std::initializer_list<QSpinBox *> boxes, int maximum)
{
    for (QSpinBox *box : boxes)
        box->setMaximum(maximum);
    for (QSpinBox *box : boxes) {
        if (box->value() > maximum)
            box->setValue(maximum);
    }
}

// The activation mode decides which LoRa keys the device needs.
void showJoinModeFields(Ui::MainWindow *ui)
{
    if (ui->rbOTAA->isChecked()) {
        setAllEnabled({ui->leAppSKEY, ui->leNwkSKEY}, false);
        ui->leAppKEY->setEnabled(true);
        setAllEnabled({ui->leNwkID, ui->leDevADDR}, false);
    }
    if (ui->rbABP->isChecked()) {
        setAllEnabled({ui->leAppSKEY, ui->leNwkSKEY}, true);
        ui->leAppKEY->setEnabled(false);
        setAllEnabled({ui->leNwkID, ui->leDevADDR}, true);
    }
}

// An unsigned tilt measure has no negative thresholds.
void clampUnsignedTilt(Ui::MainWindow *ui, QSpinBox *box, int value)
{
    if (!ui->cbTiltModeSignedMeasure->isChecked() && value < 0)
        box->setValue(0);
}

} // namespace

void MainWindow::on_MPUmaxRange_valueChanged(int value)
{
    qDebug().nospace() << "MPUmaxRange: value changed to " << value;
    const int maximum = FormRules::rangeMaxMilliG(value);
    if (maximum <= 0)
        return;
    capThresholds({ui->xChocGxSup, ui->xChocGxNeg, ui->xChocGySup, ui->xChocGyNeg, ui->xChocGzSup, ui->xChocGzNeg},
                  maximum);
    capThresholds({ui->xMvtGxSup, ui->xMvtGxNeg, ui->xMvtGySup, ui->xMvtGyNeg, ui->xMvtGzSup, ui->xMvtGzNeg}, maximum);
}

void MainWindow::on_rbPelkoLaidFlat_clicked()
{
    qDebug() << "on_rbPelkoLaidFlat_clicked";
    // ROTATION counts laps around the upright axis: laid flat is refused while it runs.
    const bool laidFlat = ui->rbPelkoLaidFlat->isChecked() && !ui->cbRotation->isChecked();
    showOrientation(ui, !laidFlat);
}

void MainWindow::on_rbPelkoStayUpright_clicked()
{
    if (ui->rbPelkoStayUpright->isChecked()) {
        qDebug() << "on_rbPelkoStayUpright_clicked : Stand Upright";
        showOrientation(ui, true);
    } else {
        qDebug() << "on_rbPelkoStayUpright_clicked : Laid Flat";
        showOrientation(ui, false);
    }
}

void MainWindow::on_rbOTAA_clicked()
{
    qDebug() << "on_rbOTAA_clicked";
    showJoinModeFields(ui);
}

void MainWindow::on_rbABP_clicked()
{
    qDebug() << "on_rbABP_clicked";
    showJoinModeFields(ui);
}

void MainWindow::on_xChocInhibition_valueChanged(int value)
{
    // Setting the value comes back here with the snapped value, which stays.
    const int snapped = FormRules::snappedInhibition(value);
    if (snapped != value)
        ui->xChocInhibition->setValue(snapped);
}

void MainWindow::on_xTiltThresholdPitch_valueChanged(int value)
{
    clampUnsignedTilt(ui, ui->xTiltThresholdPitch, value);
}

void MainWindow::on_xTiltThresholdRoll_valueChanged(int value)
{
    clampUnsignedTilt(ui, ui->xTiltThresholdRoll, value);
}

void MainWindow::on_cbMvtActivity_clicked()
{
    qDebug() << "on_cbMvtActivity_clicked";
    if (!isOn(ui->cbMvt))
        return;
    ui->tMvtActivity->setEnabled(enabledByForm(ui->cbMvtActivity));
    if (isOn(ui->cbMvtActivity)) {
        setAllEnabled(
            {ui->cbMvtActivityAdditionate, ui->tMvtActivityAdditionate, ui->cbMvtActivityRecap, ui->tMvtActivityRecap},
            true);
        if (ui->cbMvtActivityRecap->isChecked())
            setAllEnabled({ui->xMvtActivityResumePeriod, ui->tMvtActivityResumePeriod}, true);
        // Motion durations and tracking cannot run together.
        setAllEnabled({ui->cbMvtTracking, ui->tMvtTracking}, false);
    } else {
        setAllEnabled({ui->cbMvtActivityAdditionate, ui->tMvtActivityAdditionate, ui->cbMvtActivityRecap,
                       ui->tMvtActivityRecap, ui->xMvtActivityResumePeriod, ui->tMvtActivityResumePeriod},
                      false);
        setAllEnabled({ui->cbMvtLoraAtStartMvt, ui->tMvtLoraAtStartMvt, ui->cbMvtLoraAtStopMvt, ui->tMvtLoraAtStopMvt},
                      true);
        if (Firmware::opens(firmwareVersion, Firmware::Feature::MotionTracking))
            setAllEnabled({ui->cbMvtTracking, ui->tMvtTracking}, true);
    }
}

void MainWindow::on_cbMvtTracking_clicked()
{
    qDebug() << "on_cbMvtTracking_clicked";
    const std::initializer_list<QWidget *> trackingWidgets = {ui->cboMvtTrackingBurstMode,
                                                              ui->tMvtTrackingBurstMode,
                                                              ui->xMvtTrackingFrameNumberBeforeBurst,
                                                              ui->tMvtTrackingFrameNumberBeforeBurst,
                                                              ui->cboMvtTrackingBurstNumberMotion,
                                                              ui->tMvtTrackingBurstNumberMotion,
                                                              ui->cboMvtTrackingBurstNumberStillness,
                                                              ui->tMvtTrackingBurstNumberStillness,
                                                              ui->xMvtTrackingAlertPeriodMotion,
                                                              ui->tMvtTrackingAlertPeriodMotion,
                                                              ui->xMvtTrackingAlertPeriodStillness,
                                                              ui->tMvtTrackingAlertPeriodStillness};
    if (!isOn(ui->cbMvt)) {
        qDebug() << "Disable all tracking options";
        setAllEnabled(trackingWidgets, false);
        return;
    }
    ui->tMvtTracking->setEnabled(enabledByForm(ui->cbMvtTracking));
    if (isOn(ui->cbMvtTracking)) {
        setAllEnabled({ui->cboMvtTrackingBurstMode, ui->tMvtTrackingBurstMode, ui->xMvtTrackingFrameNumberBeforeBurst,
                       ui->tMvtTrackingFrameNumberBeforeBurst, ui->tMvtTrackingBurstNumberMotion,
                       ui->tMvtTrackingBurstNumberStillness},
                      true);
        on_cboMvtTrackingBurstMode_currentIndexChanged(ui->cboMvtTrackingBurstMode->currentIndex());
        setAllEnabled({ui->xMvtTrackingAlertPeriodMotion, ui->tMvtTrackingAlertPeriodMotion,
                       ui->xMvtTrackingAlertPeriodStillness, ui->tMvtTrackingAlertPeriodStillness},
                      true);
        ui->cbMvtActivity->setEnabled(false);
        on_cbMvtActivity_clicked();
        // After the activity slot, which opens them: tracking sends its own frames.
        setAllEnabled({ui->cbMvtLoraAtStartMvt, ui->tMvtLoraAtStartMvt, ui->cbMvtLoraAtStopMvt, ui->tMvtLoraAtStopMvt},
                      false);
    } else {
        setAllEnabled(trackingWidgets, false);
        ui->cbMvtActivity->setEnabled(true);
        on_cbMvtActivity_clicked();
    }
}

void MainWindow::on_cboMvtTrackingBurstMode_currentIndexChanged(int index)
{
    const FormRules::BurstNumbers used = FormRules::burstNumbersFor(index);
    ui->cboMvtTrackingBurstNumberMotion->setEnabled(used.motion);
    ui->cboMvtTrackingBurstNumberStillness->setEnabled(used.stillness);
}

void MainWindow::on_cbEnableLog_clicked()
{
    ui->xNbAliveFrameBeforeLog->setEnabled(isOn(ui->cbEnableLog) &&
                                           Firmware::opens(firmwareVersion, Firmware::Feature::EventLog));
}

void MainWindow::on_cbChocEnableShockLog_clicked()
{
    ui->xChocNbAliveFrameBeforeShockLog->setEnabled(isOn(ui->cbChocEnableShockLog) &&
                                                    Firmware::opens(firmwareVersion, Firmware::Feature::ShockLog));
}

void MainWindow::on_cbTempModeThreshold_clicked()
{
    setAllEnabled({ui->xTempThetaMax, ui->xTempThetaMin, ui->xTempDeltaTheta, ui->xTempFastPeriod,
                   ui->xTempUltraFastPeriod, ui->xTempNbExcess},
                  ui->cbTempModeThreshold->isChecked());
}
