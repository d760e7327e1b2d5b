#include "mainwindow.h"

#include "link/commandline.h"
#include "messages.h"
#include "model/catalogue.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDebug>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>

namespace {

using Upload::Kind;
using Upload::Step;

QWidget *formWidget(const QObject *window, const char *name)
{
    return name ? window->findChild<QWidget *>(QLatin1String(name)) : nullptr;
}

bool boxChecked(const QObject *window, const char *name)
{
    const auto *button = qobject_cast<const QAbstractButton *>(formWidget(window, name));
    return button && button->isChecked();
}

bool fieldEnabled(const QObject *window, const char *name)
{
    const QWidget *widget = formWidget(window, name);
    return widget && widget->isEnabled();
}

bool needMet(const QObject *window, const Step &step)
{
    return Upload::needMet(step, [window](const char *name) {
        return Upload::BoxState{boxChecked(window, name), fieldEnabled(window, name)};
    });
}

// What one command carries, read from its widget.
struct Payload
{
    bool ok = true; // false: the widget is not in the form, nothing can be sent
    int value = 0;
    QString text;
};

Payload readPayload(const QObject *window, const Step &step, int mask)
{
    Payload payload;
    QWidget *widget = formWidget(window, step.widget);
    switch (step.kind) {
    case Kind::Value:
    case Kind::Seconds:
        if (auto *spin = qobject_cast<QSpinBox *>(widget))
            payload.value = step.kind == Kind::Seconds ? Upload::secondsToMilliseconds(spin->value()) : spin->value();
        else
            payload.ok = false;
        break;
    case Kind::Hundredths:
        if (auto *spin = qobject_cast<QDoubleSpinBox *>(widget))
            payload.value = Upload::toHundredths(spin->value());
        else
            payload.ok = false;
        break;
    case Kind::Checked:
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            payload.value = button->isChecked() ? 1 : 0;
        else
            payload.ok = false;
        break;
    case Kind::Item:
    case Kind::Frequency:
    case Kind::BurstCount:
        if (auto *combo = qobject_cast<QComboBox *>(widget))
            payload.value = Upload::itemValue(combo->currentText());
        else
            payload.ok = false;
        break;
    case Kind::Range:
        if (auto *slider = qobject_cast<QAbstractSlider *>(widget))
            payload.value = Upload::rangeFromSlider(slider->value());
        else
            payload.ok = false;
        break;
    case Kind::Text:
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            payload.text = edit->text();
        else
            payload.ok = false;
        break;
    case Kind::FixedText:
        payload.text = QString::fromLatin1(step.text);
        break;
    case Kind::FixedValue:
        payload.value = step.number;
        break;
    case Kind::Mask:
        payload.value = mask;
        break;
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

int MainWindow::sendParameters()
{
    qDebug() << Upload::kStartTrace;

    const int mask = Upload::algorithmMask([this](const char *checkBox) {
        return Upload::BoxState{boxChecked(this, checkBox), fieldEnabled(this, checkBox)};
    });

    const bool skipAlgorithms = Upload::isEmptyConfiguration(mask, boxChecked(this, "cbAliveRefreshMode"));
    if (skipAlgorithms)
        showMessage(this, MessageKind::Warning, QStringLiteral("Warning"),
                    QStringLiteral("Be carreful! No algorithm is enabled!"));

    uploadSent.clear();
    int errorSum = 0;
    bool blockSkipped = false; // the whole block, its closing progress included
    bool blockRuns = true;

    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        const Step &step = Upload::kCatalogue[i];
        if (step.flags & Upload::ReadBackOnly)
            continue;

        if (step.kind == Kind::BlockStart) {
            blockSkipped = skipAlgorithms && (step.flags & Upload::AlgorithmPart);
            blockRuns = !blockSkipped && needMet(this, step);
            if (blockRuns && step.trace)
                qDebug() << step.trace;
            continue;
        }
        if (step.kind == Kind::BlockEnd) {
            if (!blockSkipped && step.number >= 0)
                setProgress(this, step.number);
            blockSkipped = false;
            blockRuns = true;
            continue;
        }
        if (!blockRuns)
            continue;
        if (step.kind == Kind::Progress) {
            if (needMet(this, step))
                setProgress(this, step.number);
            continue;
        }

        const bool wanted = Upload::gatePasses(step.gate, firmwareVersion) && needMet(this, step) &&
                            (!(step.flags & Upload::AlertPeriodPending) || alertPeriodPending) &&
                            (!(step.flags & Upload::OnlyWithoutError) || errorSum == 0);
        if (wanted && (answerCutOff || lossPending || stopRequested)) {
            // A device that would not stop talking holds the window once, one
            // that went is gone, and a stop was asked for: nothing more of this
            // upload is sent, least of all a save, and what was not sent makes
            // it a failure.
            qDebug() << "Upload stopped before" << step.cmd << step.key;
            if (errorSum == 0)
                errorSum = -1;
            break;
        }
        if (wanted) {
            const Payload payload = readPayload(this, step, mask);
            const bool textWanted = (!(step.flags & Upload::NonEmptyText) || !payload.text.isEmpty()) &&
                                    (!(step.flags & Upload::DevEuiUnlocked) || !devEuiLocked) &&
                                    (!(step.flags & Upload::AppKeyUnlocked) || !appKeyLocked) &&
                                    (!(step.flags & Upload::NotMaskedKey) || !Upload::isMaskedAppKey(payload.text));
            int result = 0;
            if (!payload.ok || (textWanted && !Upload::isSendableText(payload.text))) {
                // A form without the field cannot be uploaded faithfully, and
                // a text with a line break would reach the device as several
                // commands: both count as a failed command.
                qDebug() << "ERROR: cannot send" << step.cmd << step.key << "from field" << step.widget;
                if (payload.ok)
                    noteInConsole(unsentTextNote(QByteArray(step.cmd), QByteArray(step.key), step.widget));
                result = -1;
            } else if (textWanted) {
                if (step.trace)
                    qDebug() << step.trace;
                result = sendOneCommand(QByteArray(step.cmd), QByteArray(step.key), payload.value, payload.text);
                uploadSent.append({&step, payload.value, payload.text, result});
            }
            if (result != 0 && (step.flags & Upload::StopOnFailure))
                return -1;
            errorSum += result;
        }

        if ((step.flags & Upload::ArmsAlertPeriod) && needMet(this, step) && errorSum == 0)
            alertPeriodPending = true;
    }

    if (errorSum == 0)
        qDebug() << Upload::kSuccessTrace;
    else
        qDebug() << "*--------------- ERROR (" << errorSum << ") ---------------*";
    return errorSum;
}
