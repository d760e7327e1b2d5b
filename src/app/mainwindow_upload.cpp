#include "mainwindow.h"

#include "messages.h"
#include "model/uploadplan.h"

#include "form/formbinding.h"
#include "mainwindow_widgets.h"

#include <QDebug>

namespace {

using Upload::Kind;
using Upload::Step;

bool boxChecked(const FormBinding::Fields &form, const char *name)
{
    return FormBinding::value(form, name).toBool();
}

bool fieldEnabled(const FormBinding::Fields &form, const char *name)
{
    const QWidget *widget = form.widget(name);
    return widget && FormWidgets::enabledByForm(widget);
}

// What a row's widget holds, converted the way the row sends it. A form
// without the widget cannot be uploaded faithfully: nothing is sent for it.
Upload::Payload readPayload(const FormBinding::Fields &form, const Step &step)
{
    Upload::Payload payload;
    const QVariant shown = FormBinding::value(form, step.widget);
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

} // namespace

Upload::Plan MainWindow::uploadPlan() const
{
    const Upload::FormReading form{
        [this](const char *name) {
            return Upload::BoxState{boxChecked(fields, name), fieldEnabled(fields, name)};
        },
        [this](const Step &row) { return readPayload(fields, row); },
    };
    return Upload::planUpload(form, {firmwareVersion, m_session.alertPeriodPending(), devEuiLocked, appKeyLocked});
}

int MainWindow::sendParameters()
{
    qDebug() << Upload::kStartTrace;
    const Upload::Plan plan = uploadPlan();
    if (plan.emptyConfiguration)
        showMessage(this, MessageKind::Warning, QStringLiteral("Warning"),
                    QStringLiteral("Be carreful! No algorithm is enabled!"));
    return m_session.upload(plan);
}
