#include "mainwindow.h"

#include "form/formbinding.h"
#include "logic/formrules.h"
#include "mainwindow_widgets.h"
#include "model/algorithms.h"
#include "messages.h"
#include "readback/comparison.h"
#include "readback/dumpscan.h"
#include "readback/untaken.h"
#include "ui_mainwindow.h"

#include <QDebug>

namespace {

QCheckBox *boxOf(const FormBinding::Fields &form, const Model::Algorithm *algorithm)
{
    return form.get<QCheckBox>(algorithm->checkBox);
}

// What each field of the parameter table admits as the form stands.
Untaken::Fields formFields(const FormBinding::Fields &form)
{
    Untaken::Fields fields;
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        const char *name = Upload::kCatalogue[i].widget;
        if (!name || fields.contains(QLatin1String(name)))
            continue;
        const FormBinding::Admits admits = FormBinding::admits(form.widget(name));
        if (admits.known)
            fields.insert(QLatin1String(name), {admits.minimum, admits.maximum, admits.items, admits.unit});
    }
    return fields;
}

} // namespace

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
    if (refuseWithoutLink(this, ui->leVersion, m_session.linkReady()))
        return false;

    // All three are always sent, so that a failed dump still leaves the
    // device's debug output switched off again. The dump is decoded while its
    // answer is dispatched.
    untakenByRead.reset();
    dumpDecoded = false;
    const bool failed = !m_session.readDump();

    // Whatever the form could not take as the device holds it, Start would
    // change on the device: the user hears of it now, with what Start sends.
    std::shared_ptr<const Comparison::DeviceState> state;
    if (dumpDecoded) {
        state = std::make_shared<const Comparison::DeviceState>(Comparison::deviceState(paramDump, loraAnswer));
        untakenByRead = std::make_shared<const QVector<Untaken::Row>>(untakenFrom(*state));
    }
    const QString warning = untakenByRead ? Untaken::warning(*untakenByRead) : QString();
    if (!warning.isEmpty()) {
        qDebug().noquote() << warning;
        noteInConsole(QLatin1Char('\n') + warning + QLatin1Char('\n'));
        showMessage(this, MessageKind::Warning, tr("Read"), warning);
    }
    if (failed)
        fail(Error::ReadConfigFailed);
    else
        rememberDevice(
            state ? std::move(state)
                  : std::make_shared<const Comparison::DeviceState>(Comparison::deviceState(paramDump, loraAnswer)));
    return !failed;
}

QVector<Untaken::Row> MainWindow::untakenFrom(const Comparison::DeviceState &device) const
{
    return Untaken::rows(device, uploadPlan().lines(), formFields(fields), firmwareVersion);
}

int MainWindow::decodePelkoAlgo(int mode)
{
    const auto box = [this](const Model::Algorithm *algorithm) {
        return boxOf(fields, algorithm);
    };
    const auto switchOff = [this](QCheckBox *checked) {
        if (checked->isChecked()) {
            checked->setChecked(false);
            followBox(checked->objectName().toLatin1().constData());
        }
    };

    QList<QByteArray> lines;
    if (!splitDumpLines(paramDump, mode, lines))
        return -1;

    // Every algorithm goes off first; the dump's enable sentences switch back
    // on those the device runs, over fields that already hold its values.
    qDebug() << "";
    qDebug() << "*-------- Disabling algorithm --------*";
    ui->cbAlive->setChecked(false);
    switchOff(ui->cbAliveRefreshMode);
    for (int i = 0; i < Model::kReadCount; ++i)
        switchOff(box(Model::readOrder()[i]));
    qDebug() << "*--------------- FINISHED ---------------*";
    qDebug() << "";

    activeAlgorithmCount = 0;

    scanDumpLines(lines, mode, m_session.dumpValues());
    applyParameters();

    // Applying ALIVE's frames has counted them already; the enabling below
    // counts them again, so the count starts over.
    activeAlgorithmCount = 0;

    qDebug() << "";
    qDebug() << "*-------- Enabling algorithm --------*";
    if (dumpEnables(paramDump, Model::kAlgorithms[Model::Alive])) {
        on_cbAlive_clicked();
        if (ui->cbAliveRefreshMode->isChecked())
            on_cbAliveRefreshMode_clicked();
    }
    for (int i = 0; i < Model::kReadCount; ++i) {
        const Model::Algorithm &algorithm = *Model::readOrder()[i];
        if (dumpEnables(paramDump, algorithm) && !box(&algorithm)->isChecked()) {
            box(&algorithm)->setChecked(true);
            followBox(algorithm.checkBox);
        }
    }
    // A box the form could not switch on (the dump names more than the form
    // holds together) is left unticked rather than ticked, locked and never
    // sent; the count then follows the boxes that are on.
    for (int i = 0; i < Model::kReadCount; ++i)
        if (box(Model::readOrder()[i])->isChecked() && !FormWidgets::enabledByForm(box(Model::readOrder()[i])))
            box(Model::readOrder()[i])->setChecked(false);
    if (ui->cbVibe->isChecked() && !FormWidgets::enabledByForm(ui->cbVibe)) {
        ui->cbVibe->setChecked(false);
        on_cbVibe_clicked();
    }
    checkNumberAlgoCompatibility(FormRules::Recount);
    // The Read click tells the user about them once the exchange is over.
    dumpDecoded = true;
    qDebug() << "*--------------- FINISHED ---------------*";
    qDebug() << "";

    ui->cbAllowPowerOFF->setChecked(paramDump.contains("Poweroff : allowed"));
    return 0;
}
