#include "mainwindow.h"

#include "calc/configurationday.h"
#include "calc/consumption.h"
#include "formvalues.h"
#include "readback/comparison.h"
#include "ui_mainwindow.h"

#include <QBoxLayout>
#include <QDebug>
#include <QPainter>

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

void writeInputs(Ui::MainWindow *ui, const ConsumptionInputs &in)
{
    ui->xCapaPile->setValue(in.capacity);
    ui->cboConsoLoRaSF->setCurrentText(QString::number(in.spreadingFactor));
    ui->xConsoAliveNbAliveAuto->setValue(in.aliveAuto);
    ui->xfConsoAliveNbAliveMan->setValue(in.aliveManual);
    ui->xConsoChocNbChocSent->setValue(in.shocks);
    ui->cboConsoChocFreqMPU->setCurrentText(in.shockFrequency);
    ui->xConsoMvtFast10sMvt->setValue(in.fastMotions);
    ui->xConsoMvtSlow10sMvt->setValue(in.slowMotions);
    ui->xConsoMvtNbRecap->setValue(in.summaries);
    ui->cboConsoMvtFreqMPU->setCurrentText(in.motionFrequency);
    ui->xConsoTiltPeriod->setValue(in.tiltPeriodMs);
    ui->cbConsoVibrationAxeXYZ->setChecked(in.threeAxes);
    ui->xConsoVibrationPeriod->setValue(in.vibrationPeriod);
    ui->xConsoVibrationNbSend->setValue(in.vibrationSends);
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

// Where the day's charge goes: one bar split by activity, and a legend of
// each activity's share. Its accessible description gives the figures.
class DayChart : public QWidget
{
public:
    explicit DayChart(QWidget *parent) : QWidget(parent)
    {
        setAccessibleName(QStringLiteral("Charge of the day by activity"));
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    void showDay(const QVector<DayShare> &shares)
    {
        m_shares = shares;
        m_total = 0;
        for (const DayShare &s : shares)
            m_total += s.charge;
        QStringList parts;
        for (const DayShare &s : shares)
            parts << QStringLiteral("%1 %2 mAh (%3)").arg(QLatin1String(s.activity), figure(s.charge), percent(s));
        setAccessibleDescription(parts.join(QLatin1String("; ")));
        setVisible(!shares.isEmpty());
        updateGeometry();
        update();
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override
    {
        const QVector<QPoint> at = legend(width);
        return kBar + 4 + (at.isEmpty() ? 0 : at.last().y() - kBar - 4 + rowHeight());
    }
    QSize sizeHint() const override { return {200, heightForWidth(width())}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_total <= 0)
            return;
        QPainter p(this);
        double x = 0;
        for (int i = 0; i < m_shares.size(); ++i) {
            const double w = width() * double(m_shares[i].charge) / m_total;
            p.fillRect(QRectF(x, 0, w, kBar), color(i));
            x += w;
        }
        const QFontMetrics fm = fontMetrics();
        const QVector<QPoint> at = legend(width());
        for (int i = 0, entry = 0; i < m_shares.size(); ++i) {
            if (m_shares[i].charge <= 0)
                continue;
            const QPoint corner = at[entry++];
            p.fillRect(corner.x(), corner.y() + 2, fm.height() - 4, fm.height() - 4, color(i));
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(corner.x() + fm.height(), corner.y() + fm.ascent(), entryText(m_shares[i]));
        }
    }

private:
    static constexpr int kBar = 16;
    int rowHeight() const { return fontMetrics().height() + 2; }
    QString entryText(const DayShare &s) const
    {
        return QStringLiteral("%1 %2").arg(QLatin1String(s.activity), percent(s));
    }
    // Where each legend entry goes: they flow under the bar, as many a row
    // as fit; an activity that costs nothing has none.
    QVector<QPoint> legend(int width) const
    {
        const QFontMetrics fm = fontMetrics();
        QVector<QPoint> at;
        int x = 0, y = kBar + 4;
        for (const DayShare &s : m_shares) {
            if (s.charge <= 0)
                continue;
            const int w = fm.height() + fm.horizontalAdvance(entryText(s)) + 12;
            if (x > 0 && x + w > width)
                x = 0, y += rowHeight();
            at << QPoint(x, y);
            x += w;
        }
        return at;
    }
    static QColor color(int i)
    {
        static const QColor colors[] = {QColor(0x1f77b4), QColor(0xd62728), QColor(0xff7f0e), QColor(0x2ca02c),
                                        QColor(0x9467bd), QColor(0x8c564b), QColor(0xb0b0b0)};
        return colors[i % 7];
    }
    QString percent(const DayShare &s) const
    {
        return QString::number(m_total > 0 ? 100.0 * s.charge / m_total : 0.0, 'g', 3) + QLatin1Char('%');
    }

    QVector<DayShare> m_shares;
    double m_total = 0;
};

} // namespace

struct MainWindow::DayView
{
    QPushButton *button = nullptr;
    QLabel *line = nullptr;
    DayChart *chart = nullptr;
    bool following = false;    // the inputs the form decides follow it
    ConsumptionInputs written; // what the tab held after the last fill
    QString described;         // what the last fill took from where
};

void MainWindow::addDayView()
{
    dayView = std::make_shared<DayView>();
    DayView &v = *dayView;
    QWidget *page = ui->pbConsoCalculate->parentWidget();
    v.chart = new DayChart(page);
    v.button = new QPushButton(tr("From the configuration"), page);
    v.button->setToolTip(tr("Fills the inputs the form decides, from the algorithms switched on and their fields. "
                            "Sends nothing."));
    v.line = new QLabel(page);
    v.line->setAccessibleName(QStringLiteral("What came from the configuration"));
    v.line->setTextFormat(Qt::PlainText);
    v.line->setWordWrap(true);
    v.line->hide();
    if (auto *column = qobject_cast<QBoxLayout *>(page->layout())) {
        column->insertWidget(column->indexOf(ui->pbBatLife), v.chart);
        const int at = column->indexOf(ui->pbConsoCalculate);
        column->removeWidget(ui->pbConsoCalculate);
        auto *row = new QHBoxLayout;
        row->addWidget(v.button);
        row->addWidget(ui->pbConsoCalculate, 1);
        column->insertLayout(at, row);
        column->insertWidget(at + 1, v.line);
    }
    connect(v.button, &QPushButton::clicked, this, [this] { fillDayFromForm(); });
}

void MainWindow::fillDayFromForm()
{
    qDebug() << "From the configuration";
    const ConfigurationDay::Day day = ConfigurationDay::fromForm(formValues(*this), readInputs(ui));
    DayView &v = *dayView;
    v.following = true;
    v.described = ConfigurationDay::describe(day);
    writeInputs(ui, day.inputs);
    v.written = readInputs(ui);
    CalculConsommation();
}

void MainWindow::followForm()
{
    if (!dayView || !dayView->following)
        return;
    DayView &v = *dayView;
    const ConsumptionInputs shown = readInputs(ui);
    const ConfigurationDay::Day day = ConfigurationDay::fromForm(formValues(*this), shown);
    if (day.inputs == shown) {
        // Still the form's day; the user's own inputs may have moved.
        v.written = shown;
        showDayLine();
    } else if (shown == v.written) {
        // The form changed: the estimate follows it.
        fillDayFromForm();
    } else {
        v.following = false;
        v.line->setText(tr("An input the configuration fills was changed by hand: the tab no longer follows the "
                           "form; \"From the configuration\" fills it again."));
    }
}

void MainWindow::showDayLine()
{
    DayView &v = *dayView;
    if (!v.following)
        return;
    QString text = v.described;
    if (deviceHeld) {
        // The same day with the device's settings in place of the form's, on
        // the records the tab's calculation left.
        const QVariantMap form = formValues(*this);
        QStringList kept;
        const QVariantMap onDevice = Comparison::held(*deviceHeld, form, &kept);
        const ConsumptionInputs shown = readInputs(ui);
        ConsumptionModel forForm = sharedModel(), forDevice = sharedModel();
        text += QLatin1Char('\n') +
                ConfigurationDay::lifetimes(forDevice.calculate(ConfigurationDay::fromForm(onDevice, shown).inputs),
                                            forForm.calculate(ConfigurationDay::fromForm(form, shown).inputs));
        QStringList unreported;
        for (const QString &widget : kept) {
            const QString words = ConfigurationDay::fieldWords(widget);
            if (!words.isEmpty() && !unreported.contains(words))
                unreported << words;
        }
        if (!unreported.isEmpty())
            text += tr(" The Pelko does not report %1: taken as the form has it.")
                        .arg(unreported.join(QLatin1String(", ")));
    }
    v.line->setText(text);
    v.line->show();
}

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
    const ConsumptionResults r = sharedModel().calculate(readInputs(ui));
    showResults(ui, r);
    if (dayView) {
        dayView->chart->showDay(dayShares(r));
        showDayLine();
    }
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
