#include "mainwindow.h"

#include "link/commandline.h"
#include "messages.h"
#include "model/uploadplan.h"

#include "form/formbinding.h"
#include "logic/mainwindow_widgets.h"

#include <QDebug>
#include <QProgressBar>

namespace {

using Upload::Kind;
using Upload::Step;

bool boxChecked(const QObject *window, const char *name)
{
    return FormBinding::value(window, name).toBool();
}

bool fieldEnabled(const QObject *window, const char *name)
{
    const QWidget *widget = name ? window->findChild<QWidget *>(QLatin1String(name)) : nullptr;
    return widget && FormWidgets::enabledByForm(widget);
}

// What a row's widget holds, converted the way the row sends it. A form
// without the widget cannot be uploaded faithfully: nothing is sent for it.
Upload::Payload readPayload(const QObject *window, const Step &step)
{
    Upload::Payload payload;
    const QVariant shown = FormBinding::value(window, step.widget);
    payload.ok = shown.isValid();
    switch (step.kind) {
    case Kind::Value:
        payload.value = shown.toInt();
        break;
    case Kind::Seconds:
        payload.value = Upload::secondsToMilliseconds(shown.toInt());
        break;
    case Kind::Hundredths:
        payload.value = Upload::toHundredths(shown.toDouble());
        break;
    case Kind::Checked:
        payload.value = shown.toBool() ? 1 : 0;
        break;
    case Kind::Item:
    case Kind::Frequency:
    case Kind::BurstCount:
        payload.value = Upload::itemValue(shown.toString());
        break;
    case Kind::Range:
        payload.value = Upload::rangeFromSlider(shown.toInt());
        break;
    case Kind::Text:
        payload.text = shown.toString();
        break;
    case Kind::FixedText:
    case Kind::FixedValue:
    case Kind::Mask:
    case Kind::BlockStart:
    case Kind::BlockEnd:
    case Kind::Progress:
        payload.ok = false;
        break;
    }
    return payload;
}

void setProgress(const QObject *window, int percent)
{
    if (auto *bar = window->findChild<QProgressBar *>(QStringLiteral("progressBar")))
        bar->setValue(percent);
}

} // namespace

Upload::Plan MainWindow::uploadPlan() const
{
    const Upload::FormReading form{
        [this](const char *name) {
            return Upload::BoxState{boxChecked(this, name), fieldEnabled(this, name)};
        },
        [this](const Step &row) { return readPayload(this, row); },
    };
    return Upload::planUpload(form, {firmwareVersion, alertPeriodPending, devEuiLocked, appKeyLocked});
}

int MainWindow::sendParameters()
{
    using Action = Upload::PlanStep::Action;
    qDebug() << Upload::kStartTrace;

    const Upload::Plan plan = uploadPlan();
    if (plan.emptyConfiguration)
        showMessage(this, MessageKind::Warning, QStringLiteral("Warning"),
                    QStringLiteral("Be carreful! No algorithm is enabled!"));

    uploadDelivery.begin(plan);
    int errorSum = 0;
    for (const Upload::PlanStep &step : plan.steps) {
        if (step.action == Action::Trace) {
            qDebug() << step.trace;
            continue;
        }
        if (step.action == Action::Progress) {
            setProgress(this, step.value);
            continue;
        }
        if (step.action == Action::ArmAlertPeriod) {
            if (errorSum == 0)
                alertPeriodPending = true;
            continue;
        }
        // What the plan cannot know: a line refused on the way drops the
        // saves after it and keeps the alert period from coming due.
        const Step &row = *step.row;
        if (((row.flags & Upload::OnlyWithoutError) && errorSum != 0) ||
            ((row.flags & Upload::AlertPeriodPending) && !alertPeriodPending))
            continue;
        if (m_session.answerCutOff() || m_session.lossPending() || m_session.haltAsked()) {
            // A device that would not stop talking holds the window once, one
            // that went is gone, and a stop was asked for: nothing more of this
            // upload is sent, least of all a save, and what was not sent makes
            // it a failure.
            qDebug() << "Upload stopped before" << row.cmd << row.key;
            if (errorSum == 0)
                errorSum = -1;
            break;
        }
        int result = 0;
        if (step.action == Action::Fail) {
            qDebug() << "ERROR: cannot send" << row.cmd << row.key << "from field" << row.widget;
            if (step.noteUnsent)
                noteInConsole(unsentTextNote(QByteArray(row.cmd), QByteArray(row.key), row.widget));
            result = -1;
        } else if (step.action == Action::Send) {
            if (row.trace)
                qDebug() << row.trace;
            result = m_session.sendOneCommand(QByteArray(row.cmd), QByteArray(row.key), step.value, step.text);
            uploadDelivery.sent({&row, step.value, step.text, result});
        }
        if (result != 0 && (row.flags & Upload::StopOnFailure))
            return -1;
        errorSum += result;
    }

    if (errorSum == 0)
        qDebug() << Upload::kSuccessTrace;
    else
        qDebug() << "*--------------- ERROR (" << errorSum << ") ---------------*";
    return errorSum;
}
