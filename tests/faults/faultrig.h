#ifndef PELKO_FAULTRIG_H
#define PELKO_FAULTRIG_H

#include "../link/linktesting.h"

#include "debuglog.h"
#include "dialogwatcher.h"
#include "formprobe.h"
#include "linktimes.h"
#include "mainwindow.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextEdit>

#include <memory>

#include <sys/resource.h>

// CPU time the calling thread (the window's) has used, in seconds.
inline double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Quiet times and waits short enough for a few hundred faulty exchanges in
// one run; what these tests check is where a fault leads, not how long the
// device may take. The read cap is far below the device's babble, so only
// the cap can end a babbling answer. The quiet time still leaves the
// device's thread some 40 ms to answer or to send its next chunk on a busy
// machine. Everything is put back afterwards.
class FaultTimes
{
public:
    static constexpr int kToolsWaitMs = 100;
    static constexpr int kRebootFloorMs = 700;

    explicit FaultTimes(int quietMs = 50, int saveQuietMs = 100, int readCapMs = 120) :
        m_restore(quietMs, saveQuietMs), m_quiet(quietMs), m_saveQuiet(saveQuietMs), m_readCap(readCapMs)
    {
        LinkLimits::maxReadDurationMs = readCapMs;
        LinkLimits::toolsWaitMs = kToolsWaitMs;
        LinkLimits::rebootFloorMs = kRebootFloorMs;
    }

    int readCapMs() const { return m_readCap; }

    // Longest a click may hold the window: every exchange at most its quiet
    // time plus the device's own answering time, the faulty ones at most the
    // read cap plus a quiet time, and the click's fixed pauses.
    qint64 clickBoundMs(int exchanges, int cappedReads, int fixedWaitsMs) const
    {
        return qint64(exchanges) * (qMax(m_quiet, m_saveQuiet) + 60) + qint64(cappedReads) * (m_readCap + m_saveQuiet) +
               fixedWaitsMs + 1500;
    }

private:
    ShortLinkTimes m_restore; // puts every limit back
    int m_quiet, m_saveQuiet, m_readCap;
};

// Lines the window wrote, as its exchange traces name them. Unlike the
// device's own record this still holds what went out after the cable went.
inline QByteArrayList linesSent(const DebugLog &log)
{
    static const QRegularExpression traced(QStringLiteral("^CMD sent : \"([^\"]*)\""));
    QByteArrayList lines;
    for (const QString &record : log.lines()) {
        const QRegularExpressionMatch match = traced.match(record);
        if (match.hasMatch())
            lines << match.captured(1).toLatin1();
    }
    return lines;
}

// A simulated device, the real window and a watcher that answers its boxes.
class FaultRig
{
public:
    static SimDevice::Options deviceOptions()
    {
        SimDevice::Options options;
        options.chunkPauseMs = 8;    // well inside the quiet time
        options.babbleMs = 360;      // three times the matrix's read cap
        options.rebootDelayMs = 400; // back before the restart's reconnection
        options.lineIdleMs = 5;
        return options;
    }

    explicit FaultRig(const SimDevice::Options &options = deviceOptions()) : sim(options) {}

    bool isReady() const { return sim.isReady(); }
    SimDevice &device() { return sim.device(); }

    QPushButton *button(const char *name) { return form.find(name); }
    QPushButton *startButton() { return button("startButton"); }
    QPushButton *stopButton() { return button("stopButton"); }

    // Clicks a button and tells how long the window was held.
    qint64 timedClick(QPushButton *target)
    {
        QElapsedTimer clock;
        clock.start();
        target->click();
        return clock.elapsed();
    }

    // Connects and forgets the handshake, so that what follows stands alone.
    bool connect()
    {
        startButton()->click();
        const bool connected = window.productConnected && dialogs.titles() == QStringList{"Information"};
        dialogs.clear();
        device().clearReceived();
        return connected;
    }

    // Error dialog titles in the order shown, or "ok" when there was none.
    QString outcome() const
    {
        QStringList errors;
        for (const QString &title : dialogs.titles())
            if (title.startsWith(QLatin1String("Error")))
                errors << title;
        return errors.isEmpty() ? QStringLiteral("ok") : errors.join(QLatin1Char('+'));
    }

    // The error boxes shown, in boxesOf()'s words.
    QString errorBoxes() const
    {
        QStringList boxes;
        for (const SeenDialog &box : dialogs.seen())
            if (box.title.startsWith(QLatin1String("Error")))
                boxes << box.kind + QLatin1Char(' ') + box.title + QStringLiteral(": ") + box.text;
        return boxes.join(QStringLiteral(" | "));
    }

    SimHarness sim;
    DialogWatcher dialogs;
    MainWindow window;
    FormProbe form{window};
};

#endif // PELKO_FAULTRIG_H
