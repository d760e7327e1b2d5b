#include "delivery.h"

#include <algorithm>

namespace Upload {

Delivery::Part partOf(const Step &row)
{
    const bool lora = qstrcmp(row.cmd, "LORA SET") == 0 || (isSave(row) && qstrcmp(row.key, "LORA") == 0);
    return lora ? Delivery::Part::LoRa : Delivery::Part::Algorithms;
}

bool isSave(const Step &row)
{
    return qstrcmp(row.cmd, "SAVEPARAM") == 0;
}

void Delivery::begin(const Plan &plan)
{
    m_planned = plan.lines();
    m_plannable = std::none_of(plan.steps.begin(), plan.steps.end(),
                               [](const PlanStep &step) { return step.action == PlanStep::Action::Fail; });
    m_lines.clear();
}

void Delivery::sent(const SentLine &line)
{
    m_lines.append(line);
}

bool Delivery::saved(Part part) const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [part](const SentLine &line) {
        return isSave(*line.step) && partOf(*line.step) == part && line.result == 0;
    });
}

int Delivery::unsaved(Part part) const
{
    int count = 0;
    for (const SentLine &line : m_lines) {
        if (partOf(*line.step) != part || line.result != 0)
            continue;
        count = isSave(*line.step) ? 0 : count + 1;
    }
    return count;
}

bool Delivery::complete() const
{
    if (!m_plannable || m_lines.size() != m_planned.size())
        return false;
    for (int i = 0; i < m_lines.size(); ++i) {
        const SentLine &line = m_lines.at(i), &meant = m_planned.at(i);
        if (line.result != 0 || line.step != meant.step || line.value != meant.value || line.text != meant.text)
            return false;
    }
    return true;
}

// The algorithm part's save comes before any LoRa line, and the LoRa save is
// the last line of all: a write stopped with the LoRa settings saved had
// nothing left to send.
Error Delivery::stopped() const
{
    if (!saved(Part::Algorithms))
        return Error::UploadStopped;
    return unsaved(Part::LoRa) > 0 ? Error::UploadStoppedLoRaUnsaved : Error::UploadStoppedAlgorithmsSaved;
}

QString Delivery::stoppedAccount() const
{
    const int count = int(m_lines.size());
    if (complete())
        return QStringLiteral("stopped after the last of its %1 lines: the whole form is saved").arg(count);
    switch (stopped()) {
    case Error::UploadStoppedAlgorithmsSaved:
        return QStringLiteral("stopped after %1 lines: the algorithm settings saved, none of the LoRa settings taken")
            .arg(count);
    case Error::UploadStoppedLoRaUnsaved:
        return QStringLiteral("stopped after %1 lines: the algorithm settings saved; %2 LoRa settings in use, not "
                              "saved")
            .arg(count)
            .arg(unsaved(Part::LoRa));
    default:
        return QStringLiteral("stopped after %1 lines, none of them saved").arg(count);
    }
}

} // namespace Upload
