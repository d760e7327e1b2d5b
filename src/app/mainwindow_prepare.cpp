#include "mainwindow.h"

#include "formvalues.h"
#include "config/preparation.h"
#include "firmware/releases.h"
#include "messages.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QDebug>
#include <QSignalBlocker>

void MainWindow::addReleaseChoice()
{
    // Beside the Connection button, and outside the form's named fields: it
    // is no setting of the device.
    releaseChoice = new QComboBox(this);
    releaseChoice->setAccessibleName(tr("Prepare for firmware"));
    releaseChoice->setToolTip(tr("Prepare a configuration for a firmware release, without a device"));
    releaseChoice->addItem(tr("Prepare for..."));
    for (const QString &name : Preparation::releaseChoices())
        releaseChoice->addItem(tr("Firmware %1").arg(name), name);
    // As wide as its longest entry: the link's buttons keep the rest of the row.
    releaseChoice->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    ui->horizontalLayout_4->insertWidget(0, releaseChoice);
    connect(releaseChoice, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainWindow::prepareFor);
    connect(&m_session, &DeviceSession::stateChanged, this, &MainWindow::followLink);
}

void MainWindow::followLink()
{
    // Only while no port is open and nothing runs.
    const DeviceSession::State state = m_session.state();
    releaseChoice->setEnabled(state == DeviceSession::State::Idle || state == DeviceSession::State::NotFound);
}

void MainWindow::prepareFor(int choice)
{
    if (m_session.operating() || m_session.isOpen())
        return;
    preparedFor = Firmware::releaseNamed(releaseChoice->itemData(choice).toString());
    qDebug() << "Preparing for firmware" << preparedFor;
    firmwareVersion = preparedFor;
    adaptToRelease(true);
    const bool preparing = preparedFor != 0.0f;
    ui->loadAlgoConfigButton->setEnabled(preparing);
    ui->saveAlgoConfigButton->setEnabled(preparing);
    ui->leVersion->setPlainText(preparing ? Preparation::statusText(preparedFor) : QString());
    ui->leVersion->setStyleSheet(preparing ? StatusStyle::preparing : StatusStyle::cleared);
    markDifferences();
}

void MainWindow::endPreparation(float prepared, const QVariantMap &form)
{
    if (prepared == 0.0f)
        return;
    preparedFor = 0.0f;
    {
        const QSignalBlocker quiet(releaseChoice);
        releaseChoice->setCurrentIndex(0);
    }
    // A device that never answered leaves nothing to load or save for.
    if (!m_session.linkReady()) {
        ui->loadAlgoConfigButton->setEnabled(false);
        ui->saveAlgoConfigButton->setEnabled(false);
    }
    if (form.isEmpty())
        return; // not connected
    const QStringList gaps = Preparation::gapsOnDevice(form, freshLimits, prepared, firmwareVersion);
    if (!gaps.isEmpty())
        showMessage(this, MessageKind::Warning, tr("Another firmware release"),
                    Preparation::gapsWarning(prepared, firmwareVersion, gaps));
}
