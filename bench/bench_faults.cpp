#include "benches.h"

#include "dialogwatcher.h"
#include "link/timing.h"
#include "mainwindow.h"
#include "simharness.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>

#include <cstdio>

#include <sys/resource.h>

// How a faulty device holds the window, at the program's real time-outs.

namespace {

// CPU time of the calling (GUI) thread, in seconds.
double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Connects the window to the device at the real quiet times.
bool connectWindow(MainWindow &window, DialogWatcher &dialogs)
{
    window.findChild<QPushButton *>(QStringLiteral("startButton"))->click();
    const bool connected = window.session().connected();
    dialogs.clear();
    return connected;
}

double heldSeconds(QPushButton *button)
{
    QElapsedTimer clock;
    clock.start();
    button->click();
    return double(clock.elapsed()) / 1000.0;
}

} // namespace

// One click against a device that starts talking at one line and does not
// pause for half a minute: how long the window is held, against the click's
// normal run plus one read cap.
PELKO_BENCH(babble)
{
    struct Case
    {
        const char *button;
        const char *prefix;
    };
    const Case cases[] = {{"startButton", "ALIVE period"}, {"readAlgoButton", "DUMP RAM PARAM"}};
    for (const Case &c : cases) {
        SimDevice::Options options;
        options.babbleMs = 30000;
        SimHarness sim(options);
        DialogWatcher dialogs;
        MainWindow window;
        if (!sim.isReady() || !connectWindow(window, dialogs)) {
            std::printf("  could not connect\n");
            return;
        }
        auto *button = window.findChild<QPushButton *>(QLatin1String(c.button));
        // The same click against a well-behaved device first.
        const double normal = heldSeconds(button);
        if (QLatin1String(c.button) == QLatin1String("startButton")) {
            window.findChild<QPushButton *>(QStringLiteral("stopButton"))->click();
            connectWindow(window, dialogs);
        }
        dialogs.clear();
        sim.device().setFault(c.prefix, SimFault::Babbles, 1);
        const double held = heldSeconds(button);
        const double bound = normal + window.session().limits().maxReadDurationMs / 1000.0;
        std::printf("  %-14s babbling from '%s': click took %.1f s (normal run %.1f s, bound %.1f s), boxes: %s\n",
                    c.button, c.prefix, held, normal, bound, qPrintable(dialogs.titles().join(QLatin1Char(' '))));
    }
}

// The cable pulled while the window sits idle, connected: the window thread's
// CPU time over the next 2 s (target below 0.1 s).
PELKO_BENCH(deviceLoss)
{
    SimHarness sim;
    DialogWatcher dialogs(50);
    MainWindow window;
    if (!sim.isReady() || !connectWindow(window, dialogs)) {
        std::printf("  could not connect\n");
        return;
    }
    sim.device().goAway();
    const double before = threadCpuSeconds();
    QTest::qWait(2000);
    const double used = threadCpuSeconds() - before;
    std::printf("  window thread CPU over 2 s after the loss: %.3f s (target < 0.1 s); boxes: %s\n", used,
                qPrintable(dialogs.titles().join(QLatin1Char(' '))));
}
