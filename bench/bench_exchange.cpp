#include "benches.h"

#include "link/timing.h"
#include "mainwindow.h"
#include "simharness.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

// Time of one answer on a real 115,200 baud line: 10 bits per byte.
double wireMs(qint64 bytes)
{
    return static_cast<double>(bytes) * 10.0 * 1000.0 / 115200.0;
}

void measure(MainWindow &window, SimDevice &device, const QByteArray &cmd, const QByteArray &param, int rounds)
{
    qint64 answerBytes = 0;
    QElapsedTimer clock;
    double total = 0.0;
    const int quiet = 200;
    for (int i = 0; i < rounds; ++i) {
        device.clearReceived();
        // A 2.1.1+ VERSION answer shortens the quiet time; measure every
        // round at the start-up value.
        readTimeout = quiet;
        clock.start();
        window.sendOneCommand(cmd, param, 0, QString());
        total += static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    // The answer's length, measured once the program has read it.
    QByteArray answer;
    readTimeout = quiet;
    window.write(cmd == "DUMP RAM PARAM" ? QByteArray("DUMP RAM PARAM  0\r\n")
                                         : cmd + (param.isEmpty() ? QByteArray() : " " + param) + "\r\n");
    window.read(answer);
    answerBytes = answer.size();

    const double mean = total / rounds;
    const double floor = quiet + wireMs(answerBytes);
    std::printf("  %-16s answer %6lld bytes  mean %8.2f ms  floor %8.2f ms  ratio %.4f\n", cmd.constData(),
                static_cast<long long>(answerBytes), mean, floor, mean / floor);
}

} // namespace

// One exchange against the simulated device, relative to its floor: the quiet
// time that ends an answer plus the answer's time on the wire.
PELKO_BENCH(exchange)
{
    SimHarness sim;
    if (!sim.isReady()) {
        std::printf("  simulated device did not start\n");
        return;
    }
    MainWindow window;
    window.serial.setPortName(sim.device().portPath());
    window.serial.setBaudRate(QSerialPort::Baud115200);
    if (!window.serial.open(QIODevice::ReadWrite)) {
        std::printf("  could not open %s\n", qPrintable(sim.device().portPath()));
        return;
    }
    window.portReady = true;
    std::printf("  quiet time 200 ms; floor = quiet time + answer bytes x 10 bits / 115200 baud\n");
    measure(window, sim.device(), "READY", QByteArray(), 20);
    measure(window, sim.device(), "VERSION", QByteArray(), 10);
    window.sendOneCommand("DEBUG", "1", 0, QString());
    measure(window, sim.device(), "DUMP RAM PARAM", QByteArray(), 10);
    window.sendOneCommand("DEBUG", "0", 0, QString());
}
