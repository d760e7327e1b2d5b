#include "benches.h"

#include "link/timing.h"
#include "mainwindow.h"
#include "simdevice.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>

// A full upload of the untouched form against the simulated device paced at
// the wire's speed, at the real quiet times, compared with the least it could
// take: every command waits out its quiet time (200 ms, 600 ms for a save),
// and its line and its answer cross the wire at 115,200 baud, ten bits a byte.
PELKO_BENCH(benchUpload)
{
    QList<double> ratios;
    for (int run = 0; run < 3; ++run) {
        SimDevice::Options options;
        options.release = QStringLiteral("2.2");
        options.paced = true;
        SimDevice device(options);
        if (!device.start()) {
            std::printf("simulated device did not start\n");
            break;
        }
        MainWindow window;
        window.session().limits() = LinkLimits{}; // the device's own times, whatever the environment says
        window.session().setLinkReady(true);
        window.firmwareVersion = 2.2f;
        window.session().port().setPortName(device.portPath());
        window.session().port().setBaudRate(QSerialPort::Baud115200);
        if (!window.session().port().open(QIODevice::ReadWrite)) {
            std::printf("simulated port did not open\n");
            break;
        }

        QElapsedTimer clock;
        clock.start();
        const int outcome = window.sendParameters();
        const double elapsedMs = clock.nsecsElapsed() / 1e6;

        double floorMs = 0;
        int commands = 0;
        qint64 bytes = 0;
        for (const QByteArray &line : device.receivedLines()) {
            ++commands;
            bytes += line.size();
            floorMs += line.contains("SAVEPARAM") ? 600 : 200;
        }
        bytes += device.bytesSent();
        floorMs += static_cast<double>(bytes * SimDevice::kWireNsPerByte) / 1e6;
        const double ratio = elapsedMs / floorMs;
        ratios << ratio;
        std::printf(
            "run %d: outcome %d, %d commands, %lld bytes both ways, %.1f ms for a floor of %.1f ms: ratio %.4f\n",
            run + 1, outcome, commands, static_cast<long long>(bytes), elapsedMs, floorMs, ratio);
    }
    if (!ratios.isEmpty()) {
        std::sort(ratios.begin(), ratios.end());
        std::printf("paced upload of the default form: median ratio to floor %.4f (target <= 1.05)\n",
                    ratios.at(ratios.size() / 2));
    }
}
