#include "benches.h"

#include "link/timing.h"
#include "mainwindow.h"
#include "messages.h"
#include "model/catalogue.h"
#include "simharness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

// How long each click holds the window's event loop, against the simulated
// device paced at the wire's speed, at the real quiet times (200 ms, 600 ms
// for a save, 120 ms once 2.1.1 or newer is identified). A 10 ms timer stands
// in for the desktop: the longest gap between its ticks while a click runs is
// the time the window could neither repaint nor take a Stop.

namespace {

constexpr int kTickMs = 10;
constexpr int kGoalMs = 50;
constexpr qint64 kGiveUpMs = 120000; // a click that never ends still lets the bench end

struct Held
{
    double stallMs = 0;
    double totalMs = 0;
    bool ended = false;
};

// Clicks the button from the event loop and waits for the click to be over:
// returned and the wait cursor gone, so that a click that no longer blocks is
// timed to its end as well.
Held clickAndWatch(MainWindow &window, const char *button)
{
    Held held;
    QEventLoop loop;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QElapsedTimer clock;
    qint64 lastNs = 0;
    bool returned = false;
    const auto tick = [&] {
        const qint64 nowNs = clock.nsecsElapsed();
        held.stallMs = qMax(held.stallMs, double(nowNs - lastNs) / 1e6);
        lastNs = nowNs;
        held.ended = returned && !QApplication::overrideCursor();
        if (held.ended || nowNs / 1000000 > kGiveUpMs) {
            held.totalMs = double(nowNs) / 1e6;
            ticker.stop();
            loop.quit();
        }
    };
    QObject::connect(&ticker, &QTimer::timeout, tick);
    QTimer::singleShot(0, [&] {
        clock.start();
        ticker.start(kTickMs);
        window.findChild<QAbstractButton *>(QLatin1String(button))->click();
        returned = true;
        tick();
    });
    loop.exec();
    return held;
}

// The fullest form: every box and radio button the upload looks at enabled and checked.
void checkEveryBox(MainWindow &window)
{
    for (std::size_t i = 0; i < Upload::kCatalogueSize; ++i) {
        if (Upload::kCatalogue[i].flags & Upload::ReadBackOnly)
            continue;
        for (const char *name : {Upload::kCatalogue[i].widget, Upload::kCatalogue[i].needWidget}) {
            if (auto *box = name ? window.findChild<QAbstractButton *>(QLatin1String(name)) : nullptr) {
                box->setEnabled(true);
                box->setChecked(true);
            }
        }
    }
}

struct Operation
{
    const char *name;
    const char *button;
    void (*before)(MainWindow &) = nullptr;
};

const Operation kOperations[] = {
    {"Connection (with its handshake)", "startButton"},
    {"Start, default form (ALIVE, TILT)", "startButton"},
    {"Read", "readAlgoButton"},
    {"Save", "saveAlgoConfigButton"}, // a form the device took, so that Load takes it too
    {"Load", "loadAlgoConfigButton"},
    {"Start, fullest form", "startButton", checkEveryBox},
    {"Tool: debug", "pbEnableDebug"},
    {"Tool: LED debug", "pbEnableDebugLed"},
    {"Tool: battery", "pbGetBatteryStatus"},
    {"Tool: reset to factory", "pbResetParam"},
    {"Tool: restart", "pbRestartProduct"},
    {"Tool: power off", "pbTurnOffProduct"},
    {"Disconnect", "stopButton"},
};

} // namespace

PELKO_BENCH(stalls)
{
    QTemporaryDir dir;
    QStringList boxes;
    runUnattended({[&](MessageKind, const QString &title, const QString &) { boxes << title; },
                   [&](FileChoice) {
                       return dir.filePath(QStringLiteral("stalls.json"));
                   }});
    for (const char *release : {"2.2", "1.9.2"}) {
        // The short quiet time of a 2.2 holds for the rest of a session: each release has a window of its own.
        SimDevice::Options options;
        options.release = QLatin1String(release);
        options.paced = true;
        SimHarness sim(options);
        MainWindow window;
        window.show();
        if (!sim.isReady()) {
            std::printf("simulated device did not start\n");
            break;
        }
        std::printf("release %s: longest stall of the event loop (10 ms timer) per click; goal %d ms\n", release,
                    kGoalMs);
        for (const Operation &op : kOperations) {
            // Every click after the first needs a session, and a second Start a new one (after a
            // Start only Disconnect is offered); the factory reset, restart and power off may end it.
            auto *button = window.findChild<QAbstractButton *>(QLatin1String(op.button));
            if (&op != kOperations && (!window.session().connected() || !button->isEnabled())) {
                if (window.session().connected())
                    clickAndWatch(window, "stopButton");
                if (!sim.device().isPresent()) {
                    sim.device().comeBack();
                    sim.waitForPresence(true);
                }
                clickAndWatch(window, "startButton");
            }
            if (op.before)
                op.before(window);
            boxes.clear();
            const int linesBefore = sim.device().receivedLines().size();
            const Held held = clickAndWatch(window, op.button);
            std::printf("  %-34s stall %7.1f ms  total %7.1f ms  goal %d ms  %3d lines  %s%s\n", op.name, held.stallMs,
                        held.totalMs, kGoalMs, int(sim.device().receivedLines().size() - linesBefore),
                        qPrintable(boxes.join(QLatin1String(", "))), held.ended ? "" : "  (gave up waiting)");
            std::fflush(stdout);
        }
    }
    runUnattended({});
}
