#include "benches.h"

#include "mainwindow.h"
#include "readback/dumpscan.h"
#include "simharness.h"
#include "startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>

#include <cstdio>

namespace {

// Resident memory of this process in KiB (Linux), -1 elsewhere.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

// Construction of the window (form, calculator figures) until it has been
// shown and painted once, and the memory the process holds then.
PELKO_BENCH(startup)
{
    const long before = residentKiB();
    QElapsedTimer clock;
    clock.start();
    {
        registerPictures();
        MainWindow window;
        showMainWindow(window);
        window.grab(); // one full paint
        QApplication::processEvents();
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        std::printf("  window built, shown and painted in %.1f ms\n", ms);
        std::printf("  resident memory: %ld KiB (%ld KiB before the window)\n", residentKiB(), before);
    }
}

// The dump scan on a large synthetic dump: the simulated device's own dump
// repeated until it is about a megabyte.
PELKO_BENCH(dumpScan)
{
    SimHarness sim;
    QSerialPort port;
    port.setPortName(sim.device().portPath());
    port.setBaudRate(QSerialPort::Baud115200);
    if (!sim.isReady() || !port.open(QIODevice::ReadWrite)) {
        std::printf("  simulated device did not start\n");
        return;
    }
    port.write("DEBUG 1\r\n");
    port.waitForReadyRead(500);
    while (port.waitForReadyRead(100))
        ;
    port.readAll();
    port.write("DUMP RAM PARAM  0\r\n");
    QByteArray one;
    while (port.waitForReadyRead(200))
        one += port.readAll();
    const QByteArray body = one.left(one.size() - 3);
    QByteArray dump;
    while (dump.size() < 1024 * 1024)
        dump += body;

    QElapsedTimer clock;
    clock.start();
    QList<QByteArray> dumpLines;
    splitDumpLines(dump, 2, dumpLines);
    const int lines = int(dumpLines.size());
    DumpValues values = unreadDumpValues();
    scanDumpLines(dumpLines, 2, values);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    std::printf("  %lld bytes, %d lines scanned in %.1f ms: %.2f MB/s, %.0f lines/s\n",
                static_cast<long long>(dump.size()), lines, ms, dump.size() / 1e6 / (ms / 1000.0),
                lines / (ms / 1000.0));
}
