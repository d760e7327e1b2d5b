#ifndef PELKO_FUZZSUPPORT_H
#define PELKO_FUZZSUPPORT_H

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets: the decoders trace to the debug log, which
// would only slow the search down, and a broken promise must stop the run
// like a sanitizer report does.

inline void fuzzDropMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

inline void fuzzSilenceDebugLog()
{
    qInstallMessageHandler(fuzzDropMessages);
}

[[noreturn]] inline void fuzzFail(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: broken: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            fuzzFail(#condition, __FILE__, __LINE__);                                                                  \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

#endif // PELKO_FUZZSUPPORT_H
