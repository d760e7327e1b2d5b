#include "mainwindow.h"

#include "calc/consumption.h"
#include "ui_mainwindow.h"

#include <QDebug>

namespace {

// One table for the whole run: the records that SF 8 to 11 do not measure,
// and the tilt time, carry over from the last SF 7 or SF 12 calculation.
ConsumptionModel &sharedModel()
{
    static ConsumptionModel model;
    return model;
}

ConsumptionInputs readInputs(const Ui::MainWindow *ui)
{
    ConsumptionInputs in;
    in.capacity = ui->xCapaPile->value();
    in.spreadingFactor = ConsumptionModel::comboValue(ui->cboConsoLoRaSF->currentText());
    in.aliveAuto = ui->xConsoAliveNbAliveAuto->value();
    in.aliveManual = ui->xfConsoAliveNbAliveMan->value();
    in.shocks = ui->xConsoChocNbChocSent->value();
    in.shockFrequency = ui->cboConsoChocFreqMPU->currentText();
    in.fastMotions = ui->xConsoMvtFast10sMvt->value();
    in.slowMotions = ui->xConsoMvtSlow10sMvt->value();
    in.summaries = ui->xConsoMvtNbRecap->value();
    in.motionFrequency = ui->cboConsoMvtFreqMPU->currentText();
    in.tiltPeriodMs = ui->xConsoTiltPeriod->value();
    in.threeAxes = ui->cbConsoVibrationAxeXYZ->isChecked();
    in.vibrationPeriod = ui->xConsoVibrationPeriod->value();
    in.vibrationSends = ui->xConsoVibrationNbSend->value();
    return in;
}

QString figure(float value)
{
    return QString::number(value, 'g', 6);
}

QString charge(float value)
{
    return figure(value) + QStringLiteral(" mAh");
}

void showResults(Ui::MainWindow *ui, const ConsumptionResults &r)
{
    ui->leConsoAliveTotal->setText(charge(r.alive));
    ui->leConsoChocTotal->setText(charge(r.shock));
    ui->leConsoMvtTotal->setText(charge(r.motion));
    ui->leConsoTiltTotal->setText(charge(r.tilt));
    ui->leConsoVibrationTotal->setText(charge(r.vibration));
    ui->leConsoMPU->setText(charge(r.mpu));
    ui->leConsoSuspended->setText(charge(r.sleep));
    ui->leConsoTotal->setText(charge(r.mean));
    ui->leConsoTotalHours->setText(figure(r.hours));
    ui->leConsoTotalDays->setText(figure(r.days));
    ui->leConsoTotalYears->setText(figure(r.years));
    if (r.progress)
        ui->pbBatLife->setValue(*r.progress);
}

} // namespace

void MainWindow::updateConso()
{
    sharedModel().load(ConsumptionModel::comboValue(ui->cboConsoLoRaSF->currentText()), ui->xCapaPile->value());
    // The window opens with the figures of its default day already shown.
    if (ui->leConsoTotal->text().isEmpty())
        CalculConsommation();
}

void MainWindow::CalculConsommation()
{
    // The model loads the table for the spreading factor itself.
    showResults(ui, sharedModel().calculate(readInputs(ui)));
}

void MainWindow::on_cboConsoLoRaSF_currentIndexChanged(int index)
{
    qDebug() << "on_cboConsoLoRaSF_currentIndexChanged";
    const int sf = index + 7;
    if (sf < 7 || sf > 12)
        return;
    // Only SF 7 and SF 12 have measures for these activities.
    const bool measured = ConsumptionModel::fullyMeasured(sf);
    QWidget *const inputs[] = {
        ui->tConsoChocTitle,           ui->tConsoChocNbChocSent,  ui->tConsoChocFreqMPU,
        ui->xConsoChocNbChocSent,      ui->cboConsoChocFreqMPU,   ui->tConsoMvtTitle,
        ui->tConsoMvtFast10sMvt,       ui->xConsoMvtFast10sMvt,   ui->tConsoMvtSlowt10sMvt,
        ui->xConsoMvtSlow10sMvt,       ui->tConsoMvtRecap,        ui->xConsoMvtNbRecap,
        ui->tConsoMvtFreqMPU,          ui->cboConsoMvtFreqMPU,    ui->tConsoTiltTitle,
        ui->tConsoTiltPeriod,          ui->xConsoTiltPeriod,      ui->tConsoVibrationTitle,
        ui->cbConsoVibrationAxeXYZ,    ui->tConsoVibrationPeriod, ui->xConsoVibrationPeriod,
        ui->tConsoVibrationNumberOfTX, ui->xConsoVibrationNbSend,
    };
    for (QWidget *w : inputs)
        w->setEnabled(measured);
}

void MainWindow::on_pbConsoCalculate_clicked()
{
    qDebug() << "on_pbConsoCalculate_clicked";
    CalculConsommation();
}
