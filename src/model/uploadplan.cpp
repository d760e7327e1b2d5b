#include "uploadplan.h"

namespace Upload {

namespace {

Payload payloadOf(const Step &row, const FormReading &form, int mask)
{
    switch (row.kind) {
    case Kind::FixedText:
        return {true, 0, QString::fromLatin1(row.text)};
    case Kind::FixedValue:
        return {true, row.number, QString()};
    case Kind::Mask:
        return {true, mask, QString()};
    case Kind::BlockStart:
    case Kind::BlockEnd:
    case Kind::Progress:
        return {false, 0, QString()};
    default:
        return form.payload(row);
    }
}

// Whether a row's text goes out at all: an empty field, an identity the
// device keeps for itself and the mask the readback shows are passed by.
bool textWanted(const Step &row, const QString &text, const UploadContext &context)
{
    return (!(row.flags & NonEmptyText) || !text.isEmpty()) &&
           (!(row.flags & DevEuiUnlocked) || !context.devEuiLocked) &&
           (!(row.flags & AppKeyUnlocked) || !context.appKeyLocked) &&
           (!(row.flags & NotMaskedKey) || !isMaskedAppKey(text));
}

} // namespace

Plan planUpload(const FormReading &form, const UploadContext &context)
{
    using Action = PlanStep::Action;
    Plan plan;
    plan.mask = algorithmMask(form.box);
    plan.emptyConfiguration = isEmptyConfiguration(plan.mask, form.box("cbAliveRefreshMode").checked);

    // The plan assumes the device takes every line; a line the form cannot
    // send still fails, and the saves and the alert period after it drop out.
    bool failed = false;
    bool alertPeriodDue = context.alertPeriodPending;
    bool blockSkipped = false; // the whole block, its closing progress included
    bool blockRuns = true;
    const auto add = [&plan](Action action, const Step *row, int value = 0, const QString &text = QString()) {
        plan.steps.append({action, row, value, text, nullptr, false});
    };

    for (std::size_t i = 0; i < kCatalogueSize; ++i) {
        const Step &row = kCatalogue[i];
        if (row.flags & ReadBackOnly)
            continue;
        if (row.kind == Kind::BlockStart) {
            blockSkipped = plan.emptyConfiguration && (row.flags & AlgorithmPart);
            blockRuns = !blockSkipped && needMet(row, form.box);
            if (blockRuns && row.trace)
                plan.steps.append({Action::Trace, &row, 0, QString(), row.trace, false});
            continue;
        }
        if (row.kind == Kind::BlockEnd) {
            if (!blockSkipped && row.number >= 0)
                add(Action::Progress, &row, row.number);
            blockSkipped = false;
            blockRuns = true;
            continue;
        }
        if (!blockRuns)
            continue;
        if (row.kind == Kind::Progress) {
            if (needMet(row, form.box))
                add(Action::Progress, &row, row.number);
            continue;
        }

        const bool wanted = gatePasses(row.gate, context.firmwareVersion) && needMet(row, form.box) &&
                            (!(row.flags & AlertPeriodPending) || alertPeriodDue) &&
                            (!(row.flags & OnlyWithoutError) || !failed);
        if (wanted) {
            const Payload payload = payloadOf(row, form, plan.mask);
            const bool sent = textWanted(row, payload.text, context);
            if (!payload.ok || (sent && !isSendableText(payload.text))) {
                // A form without the field cannot be uploaded faithfully, and
                // a text with a line break would reach the device as several
                // commands: both count as a failed command.
                plan.steps.append({Action::Fail, &row, 0, QString(), nullptr, payload.ok});
                failed = true;
                if (row.flags & StopOnFailure)
                    return plan;
            } else {
                add(sent ? Action::Send : Action::Pass, &row, payload.value, payload.text);
            }
        }
        if ((row.flags & ArmsAlertPeriod) && needMet(row, form.box) && !failed) {
            add(Action::ArmAlertPeriod, &row);
            alertPeriodDue = true;
        }
    }
    return plan;
}

QVector<SentLine> Plan::lines() const
{
    QVector<SentLine> out;
    for (const PlanStep &step : steps)
        if (step.action == PlanStep::Action::Send)
            out.append({step.row, step.value, step.text, 0});
    return out;
}

} // namespace Upload
