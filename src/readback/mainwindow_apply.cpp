#include "mainwindow.h"

#include "readback/dumpkeytable.h"
#include "ui_mainwindow.h"

#include <QDebug>

void MainWindow::applyParameters()
{
    qDebug() << "";
    qDebug() << "*----- Applying detected value to parameters -----*";

    // Values the form shows as the device stores them. The widgets clamp what
    // lies outside their ranges.
    struct AsIs
    {
        int key;
        QSpinBox *box;
    };
    const AsIs asIs[] = {
        {KeyAlertRepeatPeriod, ui->xAlgoPeriod},
        {KeyNbAliveFrameBeforeLog, ui->xNbAliveFrameBeforeLog},
        {KeyNbSecondBeforeStart, ui->xNbSecondBeforeStart},
        {KeyButtonDelay, ui->xButtonDelay},
        {KeyAliveNbSavedValue, ui->xAliveNbSavedValue},
        {KeyShockGxSup, ui->xChocGxSup},
        {KeyShockGxInf, ui->xChocGxNeg},
        {KeyShockGySup, ui->xChocGySup},
        {KeyShockGyInf, ui->xChocGyNeg},
        {KeyShockGzSup, ui->xChocGzSup},
        {KeyShockGzInf, ui->xChocGzNeg},
        {KeyShockInhibition, ui->xChocInhibition},
        {KeyShockNbAliveFrameBeforeShockLog, ui->xChocNbAliveFrameBeforeShockLog},
        {KeyMvtSensitivity, ui->xMvtSensitivity},
        {KeyMvtTimerX, ui->xMvtTimerX},
        {KeyMvtTimerY, ui->xMvtTimerY},
        {KeyMvtGxSup, ui->xMvtGxSup},
        {KeyMvtGxInf, ui->xMvtGxNeg},
        {KeyMvtGySup, ui->xMvtGySup},
        {KeyMvtGyInf, ui->xMvtGyNeg},
        {KeyMvtGzSup, ui->xMvtGzSup},
        {KeyMvtGzInf, ui->xMvtGzNeg},
        {KeyMvtActivityResumePeriod, ui->xMvtActivityResumePeriod},
        {KeyMvtFrameNbBeforeNextBurst, ui->xMvtTrackingFrameNumberBeforeBurst},
        {KeyMvtMotionPeriod, ui->xMvtTrackingAlertPeriodMotion},
        {KeyMvtStillnessPeriod, ui->xMvtTrackingAlertPeriodStillness},
        {KeyTempNbSavedValue, ui->xTempNbSavedValue},
        {KeyTempFastPeriod, ui->xTempFastPeriod},
        {KeyTempUltraFastPeriod, ui->xTempUltraFastPeriod},
        {KeyTempInhibition, ui->xTempNbExcess},
        {KeyTiltPitch, ui->xTiltThresholdPitch},
        {KeyTiltRoll, ui->xTiltThresholdRoll},
        {KeyTiltThreshold, ui->xTiltThreshold},
        {KeyTiltMultipleAlertPeriod, ui->xAlgoPeriod},
        {KeyTiltPeriod, ui->xTiltPeriod},
        {KeyRotationLap, ui->xRotationNbLap},
        {KeyRotationThreshold, ui->xRotationThreshold},
        {KeyRotationPeriod, ui->xRotationPeriod},
        {KeyOrientationPeriod, ui->xOrientPeriod},
        {KeyOrientationThreshold, ui->xOrientThreshold},
        {KeyOrientationMesureLenght, ui->xOrientMesureLength},
        {KeyOrientationPitch, ui->xOrientThresholdPitch},
        {KeyOrientationRoll, ui->xOrientThresholdRoll},
        {KeyOrientationYaw, ui->xOrientThresholdYaw},
        {KeyVibrationPeriod, ui->xVibrationPeriod},
        {KeyVibrationAmplitudeX, ui->xVibrationAmplitudeX},
        {KeyVibrationAmplitudeY, ui->xVibrationAmplitudeY},
        {KeyVibrationAmplitudeZ, ui->xVibrationAmplitudeZ},
        {KeyVibrationFreqMax, ui->xVibrationFreqMax},
        {KeyVibrationFreqMin, ui->xVibrationFreqMin},
    };

    // Switches stored as 0 or 1 (any non-zero value counts as on).
    struct Switch
    {
        int key;
        QCheckBox *box;
        void (MainWindow::*handler)();
    };
    const Switch switches[] = {
        {KeyEnableEventLog, ui->cbEnableLog, &MainWindow::on_cbEnableLog_clicked},
        {KeyAliveModeRefresh, ui->cbAliveRefreshMode, &MainWindow::on_cbAliveRefreshMode_clicked},
        {KeyShockRemoveGravity, ui->cbChocRemoveGravity, nullptr},
        {KeyShockEnableShockLog, ui->cbChocEnableShockLog, &MainWindow::on_cbChocEnableShockLog_clicked},
        {KeyMvtActivity, ui->cbMvtActivity, nullptr},
        {KeyMvtAdditionateActivity, ui->cbMvtActivityAdditionate, nullptr},
        {KeyMvtPeriodicActivity, ui->cbMvtActivityRecap, nullptr},
        {KeyMvtTracking, ui->cbMvtTracking, nullptr},
        {KeyMvtLoraAtStartMvt, ui->cbMvtLoraAtStartMvt, nullptr},
        {KeyMvtLoraAtStopMvt, ui->cbMvtLoraAtStopMvt, nullptr},
        {KeyRotationResetLap, ui->cbRotationResetLapButton, nullptr},
        {KeyVibrationAxeX, ui->cbVibeOnX, nullptr},
        {KeyVibrationAxeY, ui->cbVibeOnY, nullptr},
        {KeyVibrationAxeZ, ui->cbVibeOnZ, nullptr},
    };

    for (int i = 0; i < kDumpKeyCount; ++i) {
        const int value = dumpKeyTable[i].decodedValue;
        if (value == -1)
            continue;
        qDebug() << "Apply " << value << " to " << QByteArray(dumpKeyTable[i].keyName);

        bool done = false;
        for (const AsIs &field : asIs) {
            if (field.key == i) {
                field.box->setValue(value);
                done = true;
            }
        }
        for (const Switch &field : switches) {
            if (field.key == i) {
                field.box->setChecked(value != 0);
                if (field.handler)
                    (this->*field.handler)();
                done = true;
            }
        }
        if (done)
            continue;

        switch (i) {
        case KeyPelkoOrientation: {
            // ROTATION needs the sensor upright, whatever the device reports.
            const bool upright = value != 0 || ui->cbRotation->isChecked();
            ui->rbPelkoLaidFlat->setChecked(!upright);
            ui->imagePelkoFlat->setEnabled(!upright);
            ui->rbPelkoStayUpright->setChecked(upright);
            ui->imagePelkoUp->setEnabled(upright);
            break;
        }
        case KeyMpuMaxRange:
            ui->MPUmaxRange->setValue(rangeSliderPositionForG(value));
            break;
        case KeyAlivePeriod:
            ui->xAlivePeriod->setValue(value / 1000);
            break;
        // Each frequency goes to its own algorithm's list: a technician reads
        // the SHOCK rate under SHOCK and the MOTION rate under MOTION.
        case KeyShockFreq:
            ui->cboChocFreq->setCurrentIndex(frequencyIndexForHz(value));
            break;
        case KeyMvtFreq:
            ui->cboMvtFreq->setCurrentIndex(frequencyIndexForHz(value));
            break;
        case KeyShockInhibitionOff:
            ui->xChocInhibition->setValue(0);
            break;
        case KeyMvtBurstMode:
            ui->cboMvtTrackingBurstMode->setCurrentIndex(value);
            break;
        case KeyMvtMotionNbBurst:
            ui->cboMvtTrackingBurstNumberMotion->setCurrentIndex(burstNumberIndex(value));
            break;
        case KeyMvtStillnessNbBurst:
            ui->cboMvtTrackingBurstNumberStillness->setCurrentIndex(burstNumberIndex(value));
            break;
        case KeyTempModeThreshold:
            ui->cbTempModeThreshold->setChecked((value & 2) != 0);
            on_cbTempModeThreshold_clicked();
            break;
        case KeyTempMax:
            ui->xTempThetaMax->setValue(value / 100.0);
            break;
        case KeyTempMin:
            ui->xTempThetaMin->setValue(value / 100.0);
            break;
        case KeyTempDelta:
            ui->xTempDeltaTheta->setValue(value / 100.0);
            break;
        case KeyTempPeriod:
            ui->xTempSlowPeriod->setValue(value / 1000);
            break;
        case KeyTiltMode:
            ui->cbTiltModeRefresh->setChecked((value & 1) != 0);
            ui->cbTiltModeOnMove->setChecked((value & 2) != 0);
            ui->cbTiltModeAlertMultiple->setChecked((value & 8) != 0);
            ui->cbTiltModeAlertZone->setChecked((value & 16) != 0);
            ui->cbTiltModeSignedMeasure->setChecked((value & 32) != 0);
            on_cbTiltModeRefresh_clicked();
            on_cbTiltModeOnMove_clicked();
            break;
        case KeyRotationMode:
            ui->cbRotationModeRefresh->setChecked((value & 1) != 0);
            ui->cbRotationModeOnMove->setChecked((value & 2) != 0);
            on_cbRotationModeRefresh_clicked();
            on_cbRotationModeOnMove_clicked();
            break;
        case KeyOrientationMode:
            ui->cbOrientModeRefresh->setChecked((value & 1) != 0);
            ui->cbOrientModeOnMove->setChecked((value & 2) != 0);
            on_cbOrientModeRefresh_clicked();
            on_cbOrientModeOnMove_clicked();
            break;
        default:
            // Delimiters and the end marker carry nothing for the form.
            break;
        }
    }

    qDebug() << "*--------------- FINISHED ---------------*";
    qDebug() << "";
}
