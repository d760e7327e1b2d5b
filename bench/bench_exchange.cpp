#include "benches.h"

#include "link/timing.h"
#include "mainwindow.h"
#include "simharness.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

// Time of some bytes on a real 115,200 baud line: 10 bits per byte.
double wireMs(qint64 bytes)
{
    return static_cast<double>(bytes * SimDevice::kWireNsPerByte) / 1e6;
}

void measure(const char *label, MainWindow &window, SimDevice &device, const QByteArray &cmd, const QByteArray &param,
             int rounds)
{
    double total = 0.0;
    double floors = 0.0;
    qint64 lineBytes = 0;
    qint64 answerBytes = 0;
    for (int i = 0; i < rounds; ++i) {
        device.clearReceived();
        // A 2.1.1+ VERSION answer shortens the quiet time for the rest of
        // the session: each round's floor has the quiet time it was read with.
        const int quiet = window.session().quietMs();
        QElapsedTimer clock;
        clock.start();
        window.session().sendOneCommand(cmd, param, 0, QString());
        total += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        lineBytes = device.receivedLines().value(0).size();
        answerBytes = device.bytesSent();
        floors += quiet + wireMs(lineBytes + answerBytes);
    }
    const double mean = total / rounds;
    const double floor = floors / rounds;
    std::printf("  %-10s %-16s line %3lld + answer %5lld bytes  mean %8.2f ms  floor %8.2f ms  ratio %.4f "
                "(target <= 1.05)\n",
                label, cmd.constData(), static_cast<long long>(lineBytes), static_cast<long long>(answerBytes), mean,
                floor, mean / floor);
}

} // namespace

// One exchange against the simulated device at the wire's pace, relative to
// its floor: the line and the answer on the wire, then the quiet time that
// ends the answer.
PELKO_BENCH(exchange)
{
    SimDevice::Options options;
    options.paced = true;
    SimHarness sim(options);
    if (!sim.isReady()) {
        std::printf("  simulated device did not start\n");
        return;
    }
    MainWindow window;
    window.session().port().setPortName(sim.device().portPath());
    window.session().port().setBaudRate(QSerialPort::Baud115200);
    if (!window.session().port().open(QIODevice::ReadWrite)) {
        std::printf("  could not open %s\n", qPrintable(sim.device().portPath()));
        return;
    }
    window.session().setLinkReady(true);
    std::printf("  paced device; floor = (line + answer bytes) x 10 bits / 115200 baud + the quiet time in use "
                "(200 ms, 120 ms once release 2.2 has answered VERSION)\n");
    measure("exchange", window, sim.device(), "READY", QByteArray(), 20);
    measure("exchange", window, sim.device(), "VERSION", QByteArray(), 10);
    window.session().sendOneCommand("DEBUG", "1", 0, QString());
    measure("dump read", window, sim.device(), "DUMP RAM PARAM", QByteArray(), 10);
    window.session().sendOneCommand("DEBUG", "0", 0, QString());
}
