#include "mainwindow.h"

#include "config/configfile.h"
#include "formvalues.h"
#include "form/formbinding.h"
#include "logic/formrules.h"
#include "model/algorithms.h"
#include "messages.h"
#include "ui_mainwindow.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>

#include <vector>

void MainWindow::on_saveAlgoConfigButton_clicked()
{
    // The form does not change under an operation that reads or sends it.
    if (m_session.operating())
        return;
    qDebug() << "on_saveAlgoConfigButton_clicked";
    const QString path = chooseConfigurationFile(this, FileChoice::Save);
    if (!path.isEmpty())
        saveConfiguration(path);
}

bool MainWindow::saveConfiguration(const QString &path)
{
    return saveWhole(path, ConfigFile::write(formValues(*this), firmwareVersion),
                     tr("The configuration could not be saved to %1: %2"));
}

bool MainWindow::saveWhole(const QString &path, const QByteArray &content, const QString &couldNot)
{
    const QString refusal = ConfigFile::whyNotWritable(path);
    if (!refusal.isEmpty()) {
        showMessage(this, MessageKind::Critical, tr("Error"), couldNot.arg(path, refusal) + QLatin1Char('.'));
        return false;
    }
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
    if (!written)
        showMessage(this, MessageKind::Critical, tr("Error"), couldNot.arg(path, file.errorString()));
    return written;
}

void MainWindow::on_loadAlgoConfigButton_clicked()
{
    // The form does not change under an operation that reads or sends it.
    if (m_session.operating())
        return;
    qDebug() << "on_loadAlgoConfigButton_clicked";
    const QString path = chooseConfigurationFile(this, FileChoice::Open);
    if (!path.isEmpty())
        loadConfiguration(path);
}

bool MainWindow::loadConfiguration(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(this, MessageKind::Critical, tr("Error"),
                    tr("The configuration could not be read from %1: %2").arg(path, file.errorString()));
        return false;
    }
    const ConfigFile::Reading reading =
        ConfigFile::read(file.readAll(), freshLimits, firmwareVersion, formValues(*this));
    if (!reading.problems.isEmpty()) {
        showMessage(this, MessageKind::Warning, tr("Error"),
                    tr("%1 was not loaded; the form is unchanged.\n\n- %2")
                        .arg(path, ConfigFile::refusal(reading, firmwareVersion).join(QLatin1String("\n- "))));
        return false;
    }
    // A file made for another release: the user decides, before anything
    // changes, whether the rest of it is of use.
    if (!ConfigFile::releaseGaps(reading, firmwareVersion).isEmpty() &&
        !askQuestion(this, tr("Another firmware release"),
                     ConfigFile::releaseGapsQuestion(path, reading, firmwareVersion)))
        return false;
    applyConfiguration(reading.values);
    return true;
}

// Fills the form as the readback does: every algorithm off, the settings
// through the handlers of their widgets, then the chosen algorithms on, so
// that every interlock and the limit on algorithms hold.
void MainWindow::applyConfiguration(const QVariantMap &values)
{
    qDebug() << "*----- Applying a configuration file -----*";
    // The algorithms the form switches on and off, in the readback's order.
    std::vector<QCheckBox *> algorithms;
    algorithms.reserve(Model::kReadCount + 1);
    for (int i = 0; i < Model::kReadCount; ++i)
        algorithms.push_back(fields.get<QCheckBox>(Model::readOrder()[i]->checkBox));
    algorithms.push_back(ui->cbVibe);
    const auto follow = [this](const QWidget *widget) {
        followBox(widget->objectName().toLatin1().constData());
    };
    if (ui->cbAliveRefreshMode->isChecked()) {
        ui->cbAliveRefreshMode->setChecked(false);
        on_cbAliveRefreshMode_clicked();
    }
    for (QCheckBox *box : algorithms) {
        if (box->isChecked()) {
            box->setChecked(false);
            follow(box);
        }
    }
    activeAlgorithmCount = 0;

    // Every setting through its widget: boxes as clicked, the rest as edited.
    const auto setAll = [this, &values, &follow](bool again) {
        for (const ConfigFile::Entry &entry : ConfigFile::entries()) {
            const QString name = QLatin1String(entry.widget);
            if (!values.contains(name))
                continue;
            const QVariant value = values.value(name);
            QWidget *widget = fields.widget(name);
            if (auto *radio = qobject_cast<QRadioButton *>(widget)) {
                // One choice of a pair: both buttons set first, then the chosen
                // one's handler, as its click would leave them.
                QRadioButton *chosen = radio;
                QRadioButton *other = fields.get<QRadioButton>(entry.partner);
                for (QRadioButton *sibling : radio->parentWidget()->findChildren<QRadioButton *>())
                    if (!other && sibling != radio && sibling->autoExclusive() && radio->autoExclusive())
                        other = sibling;
                if (!value.toBool())
                    std::swap(chosen, other);
                if (other)
                    other->setChecked(false);
                chosen->setChecked(true);
                follow(chosen);
            } else if (qobject_cast<QAbstractButton *>(widget)) {
                if (again && widget == ui->cbAliveRefreshMode)
                    continue; // its frames are counted once, below
                FormBinding::setValue(widget, value);
                follow(widget);
            } else {
                FormBinding::setValue(widget, value);
            }
        }
        // A box can set another as it is clicked (the motion summary ticks
        // the adding of durations): the boxes left otherwise are set again.
        for (const ConfigFile::Entry &entry : ConfigFile::entries()) {
            auto *box = fields.get<QCheckBox>(entry.widget);
            const bool wanted = values.value(QLatin1String(entry.widget)).toBool();
            if (box && values.contains(box->objectName()) && box->isChecked() != wanted) {
                box->setChecked(wanted);
                follow(box);
            }
        }
    };
    setAll(false);

    // The frames were counted as their box was set; switching the algorithms
    // on counts them again.
    activeAlgorithmCount = 0;
    on_cbAlive_clicked();
    if (ui->cbAliveRefreshMode->isChecked())
        on_cbAliveRefreshMode_clicked();
    for (QCheckBox *box : algorithms) {
        if (values.value(box->objectName()).toBool() && !box->isChecked()) {
            box->setChecked(true);
            follow(box);
        }
    }
    // What a section's options and the acceleration range show follows its
    // algorithm only while it runs: once the algorithms are on, every setting
    // is made again, as a person sets them after ticking the algorithm.
    setAll(true);
    checkNumberAlgoCompatibility(FormRules::Recount);
    qDebug() << "*--------------- FINISHED ---------------*";
}
