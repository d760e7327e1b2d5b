#include "mainwindow.h"

#include "logic/formrules.h"
#include "logic/mainwindow_widgets.h"
#include "readback/firmware.h"
#include "ui_mainwindow.h"

#include <QDebug>

int MainWindow::savedMpuMaxRange = 0;

bool MainWindow::uprightForcedByRotation = false;

namespace {

using FormWidgets::apply;
using FormWidgets::reopenRefreshModes;
using FormWidgets::setAllEnabled;

// The range to restore is first taken from the slider as it stands on the
// first ORIENTATION call of the run.
bool mpuRangeRemembered = false;

// What the common frame of an algorithm handler does for the box's state.
enum class Step { SwitchOn, SwitchOff, Nothing };

Step stepFor(const QCheckBox *box)
{
    if (box->isChecked())
        // A box the limit closed but the readback checked is not counted.
        return box->isEnabled() ? Step::SwitchOn : Step::Nothing;
    return Step::SwitchOff;
}

FormRules::ModeContext modeContext(const Ui::MainWindow *ui, float version)
{
    FormRules::ModeContext c;
    c.version = version;
    c.aliveFrames = ui->cbAliveRefreshMode->isChecked();
    c.shock = ui->cbChoc->isChecked();
    c.motion = ui->cbMvt->isChecked();
    c.temperature = ui->cbTemp->isChecked();
    c.vibration = ui->cbVibe->isChecked();
    c.tilt = ui->cbTilt->isChecked();
    c.tiltRefresh = ui->cbTiltModeRefresh->isChecked();
    c.tiltOnMove = ui->cbTiltModeOnMove->isChecked();
    c.rotation = ui->cbRotation->isChecked();
    c.rotationRefresh = ui->cbRotationModeRefresh->isChecked();
    c.rotationOnMove = ui->cbRotationModeOnMove->isChecked();
    c.orientation = ui->cbOrient->isChecked();
    c.orientRefresh = ui->cbOrientModeRefresh->isChecked();
    c.orientOnMove = ui->cbOrientModeOnMove->isChecked();
    return c;
}

bool orientationHoldsBothModes(const Ui::MainWindow *ui)
{
    return ui->cbOrient->isChecked() && ui->cbOrientModeRefresh->isChecked() && ui->cbOrientModeOnMove->isChecked();
}

} // namespace

void MainWindow::checkNumberAlgoCompatibility(int mode)
{
    activeAlgorithmCount = FormRules::countAfter(activeAlgorithmCount, mode, maxActiveAlgorithms);
    qDebug().nospace() << "Actual actived algorithm : " << activeAlgorithmCount;

    FormRules::AlgoChecks checked;
    checked.shock = ui->cbChoc->isChecked();
    checked.motion = ui->cbMvt->isChecked();
    checked.temperature = ui->cbTemp->isChecked();
    checked.tilt = ui->cbTilt->isChecked();
    checked.rotation = ui->cbRotation->isChecked();
    checked.orientation = ui->cbOrient->isChecked();
    checked.vibration = ui->cbVibe->isChecked();
    const FormRules::AlgoAvailability a = FormRules::availability(activeAlgorithmCount, maxActiveAlgorithms, checked,
                                                                  ui->cbAliveRefreshMode->isChecked(), firmwareVersion);

    apply(ui->cbChoc, a.shock);
    apply(ui->cbOrient, a.orientation);
    apply(ui->cbMvt, a.motion);
    apply(ui->cbTemp, a.temperature);
    apply(ui->cbTilt, a.tilt);
    apply(ui->cbRotation, a.rotation);
    apply(ui->cbVibe, a.vibration);
}

void MainWindow::on_cbAlive_clicked()
{
    qDebug() << "on_cbAlive_clicked";
    // ALIVE always runs on the device: a click never switches it off.
    ui->cbAlive->setChecked(true);
}

void MainWindow::on_cbChoc_clicked()
{
    qDebug() << "on_cbChoc_clicked";
    const Step step = stepFor(ui->cbChoc);
    if (step == Step::SwitchOn) {
        checkNumberAlgoCompatibility(2);
        setAllEnabled({ui->xChocGxSup, ui->xChocGxNeg, ui->xChocGySup, ui->xChocGyNeg, ui->xChocGzSup, ui->xChocGzNeg,
                       ui->cboChocFreq, ui->xChocInhibition, ui->cbChocRemoveGravity},
                      true);
        if (Firmware::from2_2(firmwareVersion)) {
            setAllEnabled({ui->tChocEnableShockLog, ui->cbChocEnableShockLog, ui->tChocNbAliveFrameBeforeShockLog},
                          true);
            if (ui->cbChocEnableShockLog->isChecked())
                ui->xChocNbAliveFrameBeforeShockLog->setEnabled(true);
        }
        if (!Firmware::from1_9_1(firmwareVersion))
            setAllEnabled({ui->cbTiltModeOnMove, ui->xTiltThreshold}, false);
        // Shocks and measuring on motion share the accelerometer's interrupt.
        setAllEnabled({ui->cbRotationModeOnMove, ui->xRotationThreshold, ui->cbOrientModeOnMove, ui->xOrientThreshold},
                      false);
    } else if (step == Step::SwitchOff) {
        checkNumberAlgoCompatibility(0);
        setAllEnabled({ui->xChocGxSup, ui->xChocGxNeg, ui->xChocGySup, ui->xChocGyNeg, ui->xChocGzSup, ui->xChocGzNeg,
                       ui->cboChocFreq, ui->xChocInhibition, ui->cbChocRemoveGravity, ui->cbChocEnableShockLog,
                       ui->xChocNbAliveFrameBeforeShockLog},
                      false);
        if (ui->cbTilt->isChecked()) {
            ui->cbTiltModeOnMove->setEnabled(true);
            if (ui->cbTiltModeOnMove->isChecked())
                ui->xTiltThreshold->setEnabled(true);
        }
        if (ui->cbRotation->isChecked())
            setAllEnabled({ui->cbRotationModeOnMove, ui->xRotationThreshold}, true);
        if (ui->cbOrient->isChecked())
            setAllEnabled({ui->cbOrientModeOnMove, ui->xOrientThreshold}, true);
    }
}

void MainWindow::on_cbMvt_clicked()
{
    qDebug() << "on_cbMvt_clicked";
    const Step step = stepFor(ui->cbMvt);
    if (step == Step::Nothing)
        return;
    const bool on = step == Step::SwitchOn;
    checkNumberAlgoCompatibility(on ? 2 : 0);
    setAllEnabled({ui->xMvtGxSup, ui->xMvtGxNeg, ui->xMvtGySup, ui->xMvtGyNeg, ui->xMvtGzSup, ui->xMvtGzNeg,
                   ui->cboMvtFreq, ui->xMvtTimerX, ui->xMvtTimerY, ui->xMvtSensitivity, ui->cbMvtLoraAtStartMvt,
                   ui->cbMvtLoraAtStopMvt, ui->cbMvtActivity},
                  on);
    on_cbMvtActivity_clicked();
    if (Firmware::from2_1_1(firmwareVersion)) {
        ui->cbMvtTracking->setEnabled(on);
        on_cbMvtTracking_clicked();
    }
    if (on) {
        // Motion detection owns the on-move interrupt, and excludes ORIENTATION.
        setAllEnabled(
            {ui->cbTiltModeOnMove, ui->xTiltThreshold, ui->cbRotationModeOnMove, ui->xRotationThreshold, ui->cbOrient},
            false);
    } else {
        if (ui->cbTilt->isChecked())
            setAllEnabled({ui->cbTiltModeOnMove, ui->xTiltThreshold}, true);
        if (ui->cbRotation->isChecked())
            setAllEnabled({ui->cbRotationModeOnMove, ui->xRotationThreshold}, true);
    }
}

void MainWindow::on_cbTemp_clicked()
{
    qDebug() << "on_cbTemp_clicked";
    const Step step = stepFor(ui->cbTemp);
    if (step == Step::SwitchOn) {
        checkNumberAlgoCompatibility(2);
        setAllEnabled({ui->xTempSlowPeriod, ui->xTempNbSavedValue, ui->cbTempModeThreshold}, true);
        if (ui->cbTempModeThreshold->isChecked())
            setAllEnabled({ui->xTempThetaMax, ui->xTempThetaMin, ui->xTempDeltaTheta, ui->xTempFastPeriod,
                           ui->xTempUltraFastPeriod, ui->xTempNbExcess},
                          true);
        // Temperature measuring takes the periodic wake-up of the refresh modes.
        setAllEnabled({ui->cbTiltModeRefresh, ui->cbRotationModeRefresh, ui->cbOrientModeRefresh}, false);
    } else if (step == Step::SwitchOff) {
        checkNumberAlgoCompatibility(0);
        setAllEnabled({ui->xTempSlowPeriod, ui->xTempNbSavedValue, ui->cbTempModeThreshold, ui->xTempThetaMax,
                       ui->xTempThetaMin, ui->xTempDeltaTheta, ui->xTempFastPeriod, ui->xTempUltraFastPeriod,
                       ui->xTempNbExcess},
                      false);
        reopenRefreshModes(ui);
    }
}

void MainWindow::on_cbTilt_clicked()
{
    qDebug() << "on_cbTilt_clicked";
    const Step step = stepFor(ui->cbTilt);
    if (step == Step::SwitchOn) {
        checkNumberAlgoCompatibility(2);
        const FormRules::ModeContext c = modeContext(ui, firmwareVersion);
        apply(ui->cbTiltModeRefresh, FormRules::tiltOrRotationRefresh(c));
        const FormRules::Action onMove = FormRules::tiltOnMove(c);
        if (onMove != FormRules::Action::Leave) {
            apply(ui->cbTiltModeOnMove, onMove);
            if (ui->cbTiltModeOnMove->isChecked())
                ui->xTiltThreshold->setEnabled(true);
        }
        if (Firmware::from1_9_2(firmwareVersion))
            setAllEnabled({ui->cbTiltModeAlertMultiple, ui->cbTiltModeAlertZone}, true);
        if (Firmware::from1_9_3(firmwareVersion))
            ui->cbTiltModeSignedMeasure->setEnabled(true);
        setAllEnabled({ui->xTiltInhibition, ui->xTiltThresholdPitch, ui->xTiltThresholdRoll}, true);
        if (ui->cbTiltModeRefresh->isChecked())
            ui->xTiltPeriod->setEnabled(true);
        ui->cbRotation->setEnabled(false);
    } else if (step == Step::SwitchOff) {
        checkNumberAlgoCompatibility(0);
        setAllEnabled({ui->cbTiltModeRefresh, ui->cbTiltModeOnMove, ui->cbTiltModeAlertMultiple,
                       ui->cbTiltModeAlertZone, ui->cbTiltModeSignedMeasure, ui->xTiltInhibition,
                       ui->xTiltThresholdPitch, ui->xTiltThresholdRoll, ui->xTiltThreshold, ui->xTiltPeriod},
                      false);
        // The count check above has already reopened ROTATION; an ORIENTATION
        // running both of its modes leaves it no mode to measure in.
        ui->cbRotation->setEnabled(!orientationHoldsBothModes(ui));
    }
}

void MainWindow::on_cbRotation_clicked()
{
    qDebug() << "on_cbRotation_clicked";
    const Step step = stepFor(ui->cbRotation);
    if (step == Step::SwitchOn) {
        checkNumberAlgoCompatibility(2);
        const FormRules::ModeContext c = modeContext(ui, firmwareVersion);
        apply(ui->cbRotationModeRefresh, FormRules::tiltOrRotationRefresh(c));
        const FormRules::Action onMove = FormRules::rotationOnMove(c);
        if (onMove != FormRules::Action::Leave) {
            apply(ui->cbRotationModeOnMove, onMove);
            if (ui->cbRotationModeOnMove->isChecked())
                ui->xRotationThreshold->setEnabled(true);
        }
        if (ui->cbRotationModeRefresh->isChecked())
            ui->xRotationPeriod->setEnabled(true);
        setAllEnabled({ui->cbRotationResetLapButton, ui->xRotationNbLap}, true);
        ui->cbTilt->setEnabled(false);
        // Laps are counted around the upright axis only.
        if (!ui->rbPelkoStayUpright->isChecked()) {
            qDebug() << "ORIENT: Force Stay Upright sense";
            uprightForcedByRotation = true;
            ui->rbPelkoStayUpright->setChecked(true);
            on_rbPelkoStayUpright_clicked();
        }
    } else if (step == Step::SwitchOff) {
        checkNumberAlgoCompatibility(0);
        setAllEnabled({ui->cbRotationModeRefresh, ui->cbRotationModeOnMove, ui->xRotationThreshold, ui->xRotationPeriod,
                       ui->cbRotationResetLapButton, ui->xRotationNbLap},
                      false);
        ui->cbTilt->setEnabled(!orientationHoldsBothModes(ui));
        // Give back the orientation only if ROTATION was the one that changed it.
        if (uprightForcedByRotation) {
            uprightForcedByRotation = false;
            ui->rbPelkoLaidFlat->setChecked(true);
            on_rbPelkoLaidFlat_clicked();
        }
    }
}

void MainWindow::on_cbOrient_clicked()
{
    qDebug() << "on_cbOrient_clicked";
    if (!mpuRangeRemembered) {
        savedMpuMaxRange = ui->MPUmaxRange->value();
        mpuRangeRemembered = true;
    }
    const Step step = stepFor(ui->cbOrient);
    if (step == Step::SwitchOn) {
        checkNumberAlgoCompatibility(2);
        const FormRules::ModeContext c = modeContext(ui, firmwareVersion);
        apply(ui->cbOrientModeRefresh, FormRules::orientationRefresh(c));
        const FormRules::Action onMove = FormRules::orientationOnMove(c);
        if (onMove != FormRules::Action::Leave) {
            apply(ui->cbOrientModeOnMove, onMove);
            if (ui->cbOrientModeOnMove->isChecked())
                ui->xOrientThreshold->setEnabled(true);
        }
        ui->xOrientMesureLength->setEnabled(true);
        if (ui->cbOrientModeRefresh->isChecked())
            ui->xOrientPeriod->setEnabled(true);
        setAllEnabled({ui->xOrientThresholdPitch, ui->xOrientThresholdRoll, ui->xOrientThresholdYaw}, true);
        ui->cbMvt->setEnabled(false);
        // Orientation is computed on the finest scale; the user's range comes
        // back when ORIENTATION is switched off.
        savedMpuMaxRange = ui->MPUmaxRange->value();
        ui->MPUmaxRange->setValue(1);
    } else if (step == Step::SwitchOff) {
        checkNumberAlgoCompatibility(0);
        setAllEnabled({ui->cbOrientModeRefresh, ui->cbOrientModeOnMove, ui->xOrientMesureLength, ui->xOrientPeriod,
                       ui->xOrientThreshold, ui->xOrientThresholdPitch, ui->xOrientThresholdRoll,
                       ui->xOrientThresholdYaw},
                      false);
        ui->cbMvt->setEnabled(true);
        ui->MPUmaxRange->setValue(savedMpuMaxRange);
    }
}

void MainWindow::on_cbVibe_clicked()
{
    qDebug() << "on_cbVibe_clicked";
    const std::initializer_list<QWidget *> fields = {ui->cbVibeOnX,
                                                     ui->cbVibeOnY,
                                                     ui->cbVibeOnZ,
                                                     ui->xVibrationAmplitudeX,
                                                     ui->xVibrationAmplitudeY,
                                                     ui->xVibrationAmplitudeZ,
                                                     ui->xVibrationFreqMax,
                                                     ui->xVibrationFreqMin,
                                                     ui->xVibrationPeriod};
    const Step step = stepFor(ui->cbVibe);
    if (step == Step::SwitchOn) {
        // Vibration analysis takes the whole device: it fills the count.
        activeAlgorithmCount = maxActiveAlgorithms;
        checkNumberAlgoCompatibility(1);
        setAllEnabled(fields, true);
    } else if (step == Step::SwitchOff) {
        setAllEnabled(fields, false);
        const bool aliveFramesCount = !Firmware::from2_0(firmwareVersion) && ui->cbAliveRefreshMode->isChecked();
        activeAlgorithmCount = aliveFramesCount ? 1 : 0;
        checkNumberAlgoCompatibility(1);
    }
}
