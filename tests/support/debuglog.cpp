#include "debuglog.h"

#include <QtGlobal>

#include <cstdio>

namespace {
QStringList records;
QtMessageHandler previousHandler = nullptr;
bool verbose = false;

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    records.append(message);
    if (verbose || type == QtFatalMsg) {
        if (previousHandler)
            previousHandler(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}
} // namespace

DebugLog::DebugLog()
{
    records.clear();
    verbose = qEnvironmentVariableIntValue("PELKO_TEST_VERBOSE") != 0;
    previousHandler = qInstallMessageHandler(collect);
}

DebugLog::~DebugLog()
{
    qInstallMessageHandler(previousHandler);
}

QStringList DebugLog::lines() const
{
    return records;
}

void DebugLog::clear()
{
    records.clear();
}
