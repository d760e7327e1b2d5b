#include "benches.h"

#include <QApplication>
#include <QList>
#include <QPair>
#include <QString>

#include <cstdio>

namespace {
QList<QPair<QString, std::function<void()>>> &registry()
{
    static QList<QPair<QString, std::function<void()>>> benches;
    return benches;
}

// The program's debug log would drown the figures.
void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}
} // namespace

BenchRegistrar::BenchRegistrar(const char *name, std::function<void()> run)
{
    registry().append({QString::fromLatin1(name), std::move(run)});
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIntValue("PELKO_BENCH_VERBOSE") == 0)
        qInstallMessageHandler(quiet);
    const QStringList wanted = app.arguments().mid(1);
    for (const auto &bench : registry()) {
        if (!wanted.isEmpty() && !wanted.contains(bench.first))
            continue;
        std::printf("== %s\n", qPrintable(bench.first));
        std::fflush(stdout);
        bench.second();
        std::fflush(stdout);
    }
    return 0;
}
