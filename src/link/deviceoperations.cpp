#include "devicesession.h"

#include "commandline.h"
#include "firmware/releases.h"
#include "timing.h"
#include "presence.h"

#include <QDebug>

// The operations that are more than one line: a whole upload and the tools.
// Each sends its lines through the session's one exchange and says how it
// went; what the user is told of it is the caller's.

namespace {

void traceFailedCommand(const char *line)
{
    qDebug().noquote() << QStringLiteral("ERROR when sending command '") + QLatin1String(line) + QLatin1Char('\'');
}

DeviceSession::Outcome doneUnlessStopped(DeviceSession &session)
{
    return session.haltAsked() ? DeviceSession::Outcome::Stopped : DeviceSession::Outcome::Done;
}

} // namespace

int DeviceSession::upload(const Upload::Plan &plan)
{
    using Action = Upload::PlanStep::Action;
    m_delivery.begin(plan);
    int errorSum = 0;
    for (const Upload::PlanStep &step : plan.steps) {
        if (step.action == Action::Trace) {
            qDebug() << step.trace;
            continue;
        }
        if (step.action == Action::Progress) {
            emit progressed(step.value);
            continue;
        }
        if (step.action == Action::ArmAlertPeriod) {
            if (errorSum == 0)
                m_alertPeriodPending = true;
            continue;
        }
        // What the plan cannot know: a line refused on the way drops the
        // saves after it and keeps the alert period from coming due.
        const Upload::Step &row = *step.row;
        if (((row.flags & Upload::OnlyWithoutError) && errorSum != 0) ||
            ((row.flags & Upload::AlertPeriodPending) && !m_alertPeriodPending))
            continue;
        if (m_cutOff || m_lossPending || haltAsked()) {
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
                emit consoleText(unsentTextNote(QByteArray(row.cmd), QByteArray(row.key), row.widget));
            result = -1;
        } else if (step.action == Action::Send) {
            if (row.trace)
                qDebug() << row.trace;
            result = sendOneCommand(QByteArray(row.cmd), QByteArray(row.key), step.value, step.text);
            m_delivery.sent({&row, step.value, step.text, result});
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

DeviceSession::Outcome DeviceSession::resetToFactory()
{
    // Releases up to 1.9 reset everything at once and need an explicit save;
    // later ones reset (and store) the LoRa and algorithm halves separately.
    const bool split = Firmware::opens(m_release, Firmware::Feature::TwoCommandFactoryReset);
    const char *first = split ? "RESETPARAM LORA" : "RESETPARAM 1";
    const char *second = split ? "RESETPARAM ALGO" : "SAVEPARAM";

    int failures = 0;
    if (sendOneCommand(first, QByteArray(), 0, QString()) != 0) {
        ++failures;
        traceFailedCommand(first);
    }
    // Both halves always go out; either one failing fails the reset.
    if (sendOneCommand(second, QByteArray(), 0, QString()) != 0)
        ++failures;
    if (failures != 0) {
        traceFailedCommand(second);
        return Outcome::Failed;
    }
    // The device only takes the factory values into use after a power cycle.
    if (sendOneCommand("poweroff", QByteArray(), 0, QString()) != 0)
        traceFailedCommand("poweroff");
    return doneUnlessStopped(*this);
}

DeviceSession::Outcome DeviceSession::setDebug(const QByteArray &argument)
{
    if (sendOneCommand("DEBUG", argument, 0, QString()) == 0)
        return Outcome::Done;
    traceFailedCommand(("DEBUG " + argument).constData());
    return Outcome::Failed;
}

DeviceSession::Outcome DeviceSession::restart()
{
    if (sendOneCommand("reset", QByteArray(), 0, QString()) != 0) {
        // A device that reboots at once may drop off the bus before it
        // answers: give it a moment, then only its port still being listed
        // means the reset really failed.
        pause(m_limits.toolsWaitMs, true);
        if (!m_stopping && pelkoPortStillListed(listedPorts())) {
            traceFailedCommand("reset");
            return Outcome::Failed;
        }
    }
    return doneUnlessStopped(*this);
}

DeviceSession::Outcome DeviceSession::powerOff()
{
    if (sendOneCommand("poweroff", QByteArray(), 0, QString()) != 0) {
        // The device may switch off before answering; only if its port is
        // still listed did the command really fail.
        if (!haltAsked() && pelkoPortStillListed(listedPorts())) {
            traceFailedCommand("poweroff");
            return Outcome::Failed;
        }
    }
    return doneUnlessStopped(*this);
}

DeviceSession::Outcome DeviceSession::readBattery()
{
    // The device reports its battery only with its debug output on; all three
    // commands go out whatever happens so that it is never left verbose.
    // A figure from an earlier query must never pass for this one's.
    m_batteryLevel.clear();
    int failures = 0;
    if (sendOneCommand("DEBUG", "1", 0, QString()) != 0) {
        ++failures;
        traceFailedCommand("DEBUG 1");
    }
    if (sendOneCommand("BATTERY GET LIFE", QByteArray(), 0, QString()) != 0)
        ++failures;
    if (failures != 0)
        traceFailedCommand("BATTERY GET LIFE");
    if (sendOneCommand("DEBUG", "0", 0, QString()) != 0)
        ++failures;

    // An accepted answer that carries no figure is a failed reading too.
    if (failures == 0 && !m_batteryLevel.isEmpty())
        return Outcome::Done;
    if (failures != 0)
        traceFailedCommand("DEBUG 0");
    else
        qDebug().noquote() << "ERROR 13: the battery answer holds no figure";
    return Outcome::Failed;
}
