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
    // A day the activities over-fill has no sleep and no lifetime to show:
    // the lifetime's sentence says so instead.
    const bool fits = r.dayFits();
    ui->leConsoSuspended->setText(fits ? charge(r.sleep) : QString());
    ui->leConsoTotal->setText(fits ? charge(r.mean) : QString());
    ui->leConsoTotalHours->setText(fits ? figure(r.hours) : QString());
    ui->leConsoTotalDays->setText(fits ? figure(r.days) : QString());
    ui->leConsoTotalYears->setText(fits ? figure(r.years) : QString());
    ui->tConsoTotalResume_p1->setText(
        fits ? MainWindow::tr("The estimated product lifetime is around either")
             : MainWindow::tr("The activities described take %1 hours a day, more than a day has: no lifetime "
                              "can be estimated until they fit in 24 hours.")
                   .arg(figure(r.activeHours)));
    for (QWidget *w : std::initializer_list<QWidget *>{ui->leConsoTotalHours, ui->tConsoTotalResume_p2,
                                                       ui->leConsoTotalDays, ui->tConsoTotalResume_p3,
                                                       ui->leConsoTotalYears, ui->tConsoTotalResume_p4, ui->pbBatLife})
        w->setVisible(fits);
    if (r.progress)
        ui->pbBatLife->setValue(*r.progress);
}

} // namespace

void MainWindow::updateConso()
{
    sharedModel().load(ConsumptionModel::comboValue(ui->cboConsoLoRaSF->currentText()), ui->xCapaPile->value());
    // The window opens with the figures of its default day already shown.
    if (ui->leConsoMPU->text().isEmpty())
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
