#include "mainwindow.h"

#include "firmware/releases.h"
#include "logic/formrules.h"
#include "mainwindow_widgets.h"
#include "model/algorithms.h"
#include "model/catalogue.h"
#include "ui_mainwindow.h"

#include <QDebug>

#include <vector>

namespace {

using FormRules::Action;
using FormWidgets::apply;
using FormWidgets::isOn;
using FormWidgets::setAllEnabled;

// What the common frame of an algorithm handler does for the box's state.
enum class Step { SwitchOn, SwitchOff, Nothing };

Step stepFor(const QCheckBox *box)
{
    if (box->isChecked())
        // A box the limit closed but the readback checked is not counted.
        return FormWidgets::enabledByForm(box) ? Step::SwitchOn : Step::Nothing;
    return Step::SwitchOff;
}

// The six algorithm sections of the form as data. TILT, ROTATION and
// ORIENTATION measure periodically (refresh mode, with a period) and on
// motion (on-move mode, with a threshold); a mode of ORIENTATION and the same
// mode of TILT or ROTATION share one measuring resource of the firmware.
// SHOCK and MOTION take the on-move interrupt from some of them, TEMPERATURE
// the periodic wake-up from all three.
enum SectionIndex { Shock, Motion, Temperature, Tilt, Rotation, Orientation, SectionCount };

struct Section
{
    QCheckBox *box;
    QCheckBox *excludes; // the algorithm box it cannot run beside
    QCheckBox *refresh;
    QWidget *period;
    QCheckBox *onMove;
    QWidget *threshold;
    std::vector<SectionIndex> takesOnMove; // while it runs, theirs is closed
    bool takesRefresh;                     // ... and every refresh mode
};

static_assert(Model::Shock + Orientation == Model::Orientation, "the sections in the order of the algorithm table");

// The fields of an algorithm's block that open while it runs.
void setFieldsEnabled(const FormBinding::Fields &form, Model::AlgorithmIndex algorithm, bool enabled)
{
    for (const char *name : Upload::fieldsOpenedWith(algorithm))
        form.widget(name)->setEnabled(enabled);
}

enum class Mode { Refresh, OnMove };

struct Sections
{
    Section at[SectionCount];

    Sections(Ui::MainWindow *ui, float version) :
        at{{ui->cbChoc, nullptr, nullptr, nullptr, nullptr, nullptr,
            // Up to 1.9 the firmware cannot watch shocks and tilt on motion together.
            Firmware::opens(version, Firmware::Feature::ShockBesideTiltOnMove)
                ? std::vector<SectionIndex>{Rotation, Orientation}
                : std::vector<SectionIndex>{Tilt, Rotation, Orientation},
            false},
           {ui->cbMvt, ui->cbOrient, nullptr, nullptr, nullptr, nullptr, {Tilt, Rotation}, false},
           {ui->cbTemp, nullptr, nullptr, nullptr, nullptr, nullptr, {}, true},
           {ui->cbTilt,
            ui->cbRotation,
            ui->cbTiltModeRefresh,
            ui->xTiltPeriod,
            ui->cbTiltModeOnMove,
            ui->xTiltThreshold,
            {},
            false},
           {ui->cbRotation,
            ui->cbTilt,
            ui->cbRotationModeRefresh,
            ui->xRotationPeriod,
            ui->cbRotationModeOnMove,
            ui->xRotationThreshold,
            {},
            false},
           {ui->cbOrient,
            ui->cbMvt,
            ui->cbOrientModeRefresh,
            ui->xOrientPeriod,
            ui->cbOrientModeOnMove,
            ui->xOrientThreshold,
            {},
            false}}
    {}

    // The sections that compete for the same modes: ORIENTATION against the other two.
    std::vector<const Section *> rivalsOf(const Section &s) const
    {
        if (&s == &at[Orientation])
            return {&at[Tilt], &at[Rotation]};
        return {&at[Orientation]};
    }

    // A checked SHOCK or MOTION holds the on-move interrupt of this section.
    bool onMoveTaken(const Section &s) const
    {
        for (const Section &taker : at)
            for (SectionIndex i : taker.takesOnMove)
                if (&at[i] == &s && taker.box->isChecked())
                    return true;
        return false;
    }
};

QCheckBox *modeBox(const Section &s, Mode mode)
{
    return mode == Mode::Refresh ? s.refresh : s.onMove;
}

QWidget *modeField(const Section &s, Mode mode)
{
    return mode == Mode::Refresh ? s.period : s.threshold;
}

// What switching a section on does to one of its mode boxes.
Action modeOnSwitchOn(const Sections &all, const Section &s, Mode mode, const Ui::MainWindow *ui, float version)
{
    FormRules::ModeContext c;
    c.version = version;
    c.onMove = mode == Mode::OnMove;
    c.takenByShockOrMotion = all.onMoveTaken(s);
    c.aliveFrames = ui->cbAliveRefreshMode->isChecked();
    c.temperature = ui->cbTemp->isChecked();
    c.vibration = ui->cbVibe->isChecked();
    for (const Section *rival : all.rivalsOf(s)) {
        const bool ticked = modeBox(*rival, mode)->isChecked();
        c.rivalTicked = c.rivalTicked || ticked;
        c.rivalHolds = c.rivalHolds || (ticked && rival->box->isChecked());
    }
    return FormRules::modeOnSwitchOn(c);
}

// ORIENTATION measuring in both of its modes leaves none to TILT or ROTATION.
void orientationKeepsItsModes(Ui::MainWindow *ui, std::initializer_list<QCheckBox *> boxes)
{
    if (!isOn(ui->cbOrient) || !ui->cbOrientModeRefresh->isChecked() || !ui->cbOrientModeOnMove->isChecked())
        return;
    for (QCheckBox *box : boxes) {
        if (!box->isChecked())
            box->setEnabled(false);
    }
}

} // namespace

void MainWindow::checkNumberAlgoCompatibility(int mode)
{
    FormRules::AlgoChecks checked;
    checked.shock = ui->cbChoc->isChecked();
    checked.motion = ui->cbMvt->isChecked();
    checked.temperature = ui->cbTemp->isChecked();
    checked.tilt = ui->cbTilt->isChecked();
    checked.rotation = ui->cbRotation->isChecked();
    checked.orientation = ui->cbOrient->isChecked();
    checked.vibration = ui->cbVibe->isChecked();
    checked.aliveFrames = ui->cbAliveRefreshMode->isChecked();

    if (mode == FormRules::Recount || mode == FormRules::RecountForRelease) {
        const bool forRelease = mode == FormRules::RecountForRelease;
        // Up to 1.9.2 ALIVE's frames hold TEMPERATURE and VIBRATION back;
        // on a newer device what they held comes back.
        const bool framesHold =
            checked.aliveFrames && !Firmware::opens(firmwareVersion, Firmware::Feature::AliveFramesShareWakeUp);
        for (QCheckBox *box : {ui->cbTemp, ui->cbVibe})
            if (box->isChecked())
                box->setEnabled(!framesHold);
        FormRules::AlgoChecks on = checked;
        on.shock = isOn(ui->cbChoc);
        on.motion = isOn(ui->cbMvt);
        on.temperature = isOn(ui->cbTemp);
        on.tilt = isOn(ui->cbTilt);
        on.rotation = isOn(ui->cbRotation);
        on.orientation = isOn(ui->cbOrient);
        on.vibration = checked.vibration; // held back or not, it leaves no room

        if (FormRules::countOf(on, firmwareVersion, maxActiveAlgorithms, forRelease) > maxActiveAlgorithms &&
            on.aliveFrames) {
            // An older device counts the frames too, and has no room for them
            // beside two algorithms.
            qDebug() << "ALIVE automatic frames left out: no room beside the algorithms";
            ui->cbAliveRefreshMode->setChecked(false);
            setAllEnabled({ui->xAlivePeriod, ui->xAliveNbSavedValue}, false);
            checked.aliveFrames = on.aliveFrames = false;
        }
        activeAlgorithmCount =
            qBound(0, FormRules::countOf(on, firmwareVersion, maxActiveAlgorithms, forRelease), maxActiveAlgorithms);
    } else {
        activeAlgorithmCount = FormRules::countAfter(activeAlgorithmCount, mode, maxActiveAlgorithms);
    }
    qDebug().nospace() << "Actual actived algorithm : " << activeAlgorithmCount;

    const FormRules::AlgoAvailability a =
        FormRules::availability(activeAlgorithmCount, maxActiveAlgorithms, checked, firmwareVersion);
    apply(ui->cbChoc, a.shock);
    apply(ui->cbOrient, a.orientation);
    apply(ui->cbMvt, a.motion);
    apply(ui->cbTemp, a.temperature);
    apply(ui->cbTilt, a.tilt);
    apply(ui->cbRotation, a.rotation);
    apply(ui->cbVibe, a.vibration);
    apply(ui->cbAliveRefreshMode, a.aliveFrames);
}

void MainWindow::followBox(const char *name, bool onRead)
{
    struct Handler
    {
        const char *box;
        void (MainWindow::*handler)();
        bool onRead; // the readback makes the fields follow it too
    };
    static const Handler handlers[] = {
        {"cbAlive", &MainWindow::on_cbAlive_clicked, false},
        {"cbChoc", &MainWindow::on_cbChoc_clicked, false},
        {"cbMvt", &MainWindow::on_cbMvt_clicked, false},
        {"cbTemp", &MainWindow::on_cbTemp_clicked, false},
        {"cbTilt", &MainWindow::on_cbTilt_clicked, false},
        {"cbRotation", &MainWindow::on_cbRotation_clicked, false},
        {"cbOrient", &MainWindow::on_cbOrient_clicked, false},
        {"cbVibe", &MainWindow::on_cbVibe_clicked, false},
        {"cbEnableLog", &MainWindow::on_cbEnableLog_clicked, true},
        {"cbAliveRefreshMode", &MainWindow::on_cbAliveRefreshMode_clicked, true},
        {"cbChocEnableShockLog", &MainWindow::on_cbChocEnableShockLog_clicked, true},
        {"cbTempModeThreshold", &MainWindow::on_cbTempModeThreshold_clicked, true},
        {"cbTiltModeRefresh", &MainWindow::on_cbTiltModeRefresh_clicked, true},
        {"cbTiltModeOnMove", &MainWindow::on_cbTiltModeOnMove_clicked, true},
        {"cbRotationModeRefresh", &MainWindow::on_cbRotationModeRefresh_clicked, true},
        {"cbRotationModeOnMove", &MainWindow::on_cbRotationModeOnMove_clicked, true},
        {"cbOrientModeRefresh", &MainWindow::on_cbOrientModeRefresh_clicked, true},
        {"cbOrientModeOnMove", &MainWindow::on_cbOrientModeOnMove_clicked, true},
        {"cbMvtActivity", &MainWindow::on_cbMvtActivity_clicked, false},
        {"cbMvtTracking", &MainWindow::on_cbMvtTracking_clicked, false},
        {"rbPelkoLaidFlat", &MainWindow::on_rbPelkoLaidFlat_clicked, false},
        {"rbPelkoStayUpright", &MainWindow::on_rbPelkoStayUpright_clicked, false},
        {"rbOTAA", &MainWindow::on_rbOTAA_clicked, false},
        {"rbABP", &MainWindow::on_rbABP_clicked, false},
    };
    for (const Handler &h : handlers)
        if (qstrcmp(h.box, name) == 0 && (h.onRead || !onRead))
            (this->*h.handler)();
}

void MainWindow::on_cbAlive_clicked()
{
    qDebug() << "on_cbAlive_clicked";
    // ALIVE always runs on the device: a click never switches it off.
    ui->cbAlive->setChecked(true);
}

// One switch for the six sections: the common frame of their handlers, the
// section's fields, its modes and what it takes from the others. Returns the
// step it took; each handler adds what is its own.
int MainWindow::switchSection(int index)
{
    const Sections sections(ui, firmwareVersion);
    const Section &s = sections.at[index];
    const Step step = stepFor(s.box);
    if (step == Step::Nothing)
        return int(step);
    const bool on = step == Step::SwitchOn;
    // Switched off, the count check reopens the excluded box as far as the rules allow.
    checkNumberAlgoCompatibility(on ? FormRules::SwitchedOn : FormRules::SwitchedOff);
    setFieldsEnabled(fields, Model::AlgorithmIndex(Model::Shock + index), on);
    if (s.refresh && !on) {
        setAllEnabled({s.refresh, s.onMove, s.period, s.threshold}, false);
        if (index != Orientation)
            orientationKeepsItsModes(ui, {s.excludes});
    } else if (s.refresh) {
        apply(s.refresh, modeOnSwitchOn(sections, s, Mode::Refresh, ui, firmwareVersion));
        const Action onMove = modeOnSwitchOn(sections, s, Mode::OnMove, ui, firmwareVersion);
        if (onMove != Action::Leave) {
            apply(s.onMove, onMove);
            if (s.onMove->isChecked())
                s.threshold->setEnabled(true);
        }
        if (s.refresh->isChecked())
            s.period->setEnabled(true);
    }
    if (on && s.excludes)
        s.excludes->setEnabled(false);
    // What it takes from TILT, ROTATION and ORIENTATION, and gives back to those that run.
    for (SectionIndex i : s.takesOnMove) {
        const Section &other = sections.at[i];
        if (on) {
            setAllEnabled({other.onMove, other.threshold}, false);
        } else if (other.box->isChecked()) {
            other.onMove->setEnabled(true);
            other.threshold->setEnabled(other.onMove->isChecked());
        }
    }
    for (int i = Tilt; s.takesRefresh && i <= Orientation; ++i) {
        const Section &other = sections.at[i];
        if (on || other.box->isChecked())
            other.refresh->setEnabled(!on);
    }
    return int(step);
}

void MainWindow::modeClicked(int index, bool onMove)
{
    const Sections sections(ui, firmwareVersion);
    const Section &s = sections.at[index];
    // A mode box rules only while its own algorithm runs; the readback sets
    // the boxes of algorithms that are off.
    if (!isOn(s.box))
        return;
    const Mode mode = onMove ? Mode::OnMove : Mode::Refresh;
    const bool checked = modeBox(s, mode)->isChecked();
    if (index == Tilt && activeAlgorithmCount <= 1) {
        // TILT measuring in both modes leaves none to ORIENTATION.
        if (ui->cbTiltModeRefresh->isChecked() && ui->cbTiltModeOnMove->isChecked())
            ui->cbOrient->setEnabled(ui->cbOrient->isChecked());
        else if (!ui->cbMvt->isChecked())
            ui->cbOrient->setEnabled(true);
    }
    if (index == Orientation) {
        // Within the limit: a mode box never reopens what the count closed.
        checkNumberAlgoCompatibility(FormRules::Reevaluate);
        orientationKeepsItsModes(ui, {ui->cbTilt, ui->cbRotation});
    }
    modeField(s, mode)->setEnabled(checked);
    for (const Section *rival : sections.rivalsOf(s)) {
        if (!isOn(rival->box))
            continue;
        modeBox(*rival, mode)->setEnabled(!checked);
        if (mode == Mode::OnMove)
            rival->threshold->setEnabled(!checked && rival->onMove->isChecked());
    }
}

void MainWindow::on_cbChoc_clicked()
{
    qDebug() << "on_cbChoc_clicked";
    const Step step = Step(switchSection(Shock));
    if (step == Step::SwitchOn && Firmware::opens(firmwareVersion, Firmware::Feature::ShockLog)) {
        setAllEnabled({ui->tChocEnableShockLog, ui->cbChocEnableShockLog, ui->tChocNbAliveFrameBeforeShockLog}, true);
        on_cbChocEnableShockLog_clicked();
    } else if (step == Step::SwitchOff) {
        setAllEnabled({ui->cbChocEnableShockLog, ui->xChocNbAliveFrameBeforeShockLog}, false);
    }
}

void MainWindow::on_cbMvt_clicked()
{
    qDebug() << "on_cbMvt_clicked";
    const Step step = Step(switchSection(Motion));
    if (step == Step::Nothing)
        return;
    on_cbMvtActivity_clicked();
    if (Firmware::opens(firmwareVersion, Firmware::Feature::MotionTracking)) {
        ui->cbMvtTracking->setEnabled(step == Step::SwitchOn);
        on_cbMvtTracking_clicked();
    }
}

void MainWindow::on_cbTemp_clicked()
{
    qDebug() << "on_cbTemp_clicked";
    const Step step = Step(switchSection(Temperature));
    if (step != Step::Nothing)
        setAllEnabled({ui->xTempThetaMax, ui->xTempThetaMin, ui->xTempDeltaTheta, ui->xTempFastPeriod,
                       ui->xTempUltraFastPeriod, ui->xTempNbExcess},
                      step == Step::SwitchOn && ui->cbTempModeThreshold->isChecked());
}

void MainWindow::on_cbTilt_clicked()
{
    qDebug() << "on_cbTilt_clicked";
    const Step step = Step(switchSection(Tilt));
    if (step == Step::SwitchOn) {
        if (Firmware::opens(firmwareVersion, Firmware::Feature::TiltAlertBoxes))
            setAllEnabled({ui->cbTiltModeAlertMultiple, ui->cbTiltModeAlertZone}, true);
        if (Firmware::opens(firmwareVersion, Firmware::Feature::SignedTiltMeasure))
            ui->cbTiltModeSignedMeasure->setEnabled(true);
    } else if (step == Step::SwitchOff) {
        setAllEnabled({ui->cbTiltModeAlertMultiple, ui->cbTiltModeAlertZone, ui->cbTiltModeSignedMeasure}, false);
    }
}

void MainWindow::on_cbRotation_clicked()
{
    qDebug() << "on_cbRotation_clicked";
    const Step step = Step(switchSection(Rotation));
    // Laps are counted around the upright axis only.
    if (step == Step::SwitchOn && !ui->rbPelkoStayUpright->isChecked()) {
        qDebug() << "ORIENT: Force Stay Upright sense";
        uprightForcedByRotation = true;
        ui->rbPelkoStayUpright->setChecked(true);
        on_rbPelkoStayUpright_clicked();
    } else if (step == Step::SwitchOff && uprightForcedByRotation) {
        // Give back the orientation only if ROTATION was the one that changed it.
        uprightForcedByRotation = false;
        ui->rbPelkoLaidFlat->setChecked(true);
        on_rbPelkoLaidFlat_clicked();
    }
}

void MainWindow::on_cbOrient_clicked()
{
    qDebug() << "on_cbOrient_clicked";
    if (!mpuRangeRemembered) {
        savedMpuMaxRange = ui->MPUmaxRange->value();
        mpuRangeRemembered = true;
    }
    const Step step = Step(switchSection(Orientation));
    if (step == Step::SwitchOn) {
        // Orientation is computed on the finest scale; the user's range comes
        // back when ORIENTATION is switched off.
        savedMpuMaxRange = ui->MPUmaxRange->value();
        ui->MPUmaxRange->setValue(1);
    } else if (step == Step::SwitchOff) {
        ui->MPUmaxRange->setValue(savedMpuMaxRange);
    }
}

void MainWindow::on_cbTiltModeRefresh_clicked()
{
    modeClicked(Tilt, false);
}

void MainWindow::on_cbTiltModeOnMove_clicked()
{
    modeClicked(Tilt, true);
}

void MainWindow::on_cbRotationModeRefresh_clicked()
{
    modeClicked(Rotation, false);
}

void MainWindow::on_cbRotationModeOnMove_clicked()
{
    modeClicked(Rotation, true);
}

void MainWindow::on_cbOrientModeRefresh_clicked()
{
    modeClicked(Orientation, false);
}

void MainWindow::on_cbOrientModeOnMove_clicked()
{
    modeClicked(Orientation, true);
}

void MainWindow::on_cbVibe_clicked()
{
    qDebug() << "on_cbVibe_clicked";
    const Step step = stepFor(ui->cbVibe);
    if (step == Step::SwitchOn) {
        // Vibration analysis takes the whole device: it fills the count.
        activeAlgorithmCount = maxActiveAlgorithms;
        checkNumberAlgoCompatibility(FormRules::Reevaluate);
        setFieldsEnabled(fields, Model::Vibration, true);
    } else if (step == Step::SwitchOff) {
        setFieldsEnabled(fields, Model::Vibration, false);
        const bool aliveFramesCount = !Firmware::opens(firmwareVersion, Firmware::Feature::AliveFramesUncounted) &&
                                      ui->cbAliveRefreshMode->isChecked();
        activeAlgorithmCount = aliveFramesCount ? 1 : 0;
        checkNumberAlgoCompatibility(FormRules::Reevaluate);
    }
}

void MainWindow::on_cbAliveRefreshMode_clicked()
{
    qDebug() << "on_cbAliveRefreshMode_clicked";
    const bool checked = ui->cbAliveRefreshMode->isChecked();
    setAllEnabled({ui->xAlivePeriod, ui->xAliveNbSavedValue}, checked);
    if (Firmware::opens(firmwareVersion, Firmware::Feature::AliveFramesShareWakeUp))
        return;
    // Up to 1.9.2 the automatic frames count as an algorithm and take the
    // periodic wake-up that TEMPERATURE, VIBRATION and the refresh modes
    // need; the last count check settles the algorithm boxes.
    if (checked) {
        ui->cbTemp->setEnabled(false);
        if (ui->cbTemp->isChecked())
            checkNumberAlgoCompatibility(FormRules::SwitchedOff);
        setAllEnabled({ui->cbTiltModeRefresh, ui->cbRotationModeRefresh, ui->cbOrientModeRefresh, ui->cbVibe}, false);
        if (ui->cbVibe->isChecked())
            checkNumberAlgoCompatibility(FormRules::SwitchedOff);
        checkNumberAlgoCompatibility(FormRules::SwitchedOn);
        return;
    }
    // The frames leave first, so that what they held back finds its place
    // again even when the form was at the limit.
    checkNumberAlgoCompatibility(FormRules::SwitchedOff);
    FormWidgets::reopenRefreshModes(ui);
    if (ui->cbTemp->isChecked()) {
        ui->cbTemp->setEnabled(true);
        checkNumberAlgoCompatibility(FormRules::SwitchedOn);
    }
    if (ui->cbVibe->isChecked()) {
        ui->cbVibe->setEnabled(true);
        on_cbVibe_clicked();
    }
}
