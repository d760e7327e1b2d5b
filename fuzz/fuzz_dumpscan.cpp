// The parameter dump: the answer is cut into lines and every line is tried
// against the process-wide key table, in both line formats. The decimal
// reader is compared with the C library's.

#include "fuzzsupport.h"

#include "model/catalogue.h"
#include "model/dumpkeytable.h"
#include "readback/dumpscan.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Optional white space, optional sign, digits, optional white space, within
// the 32-bit range; anything else 0.
int referenceDecimal(const QByteArray &text)
{
    if (text.contains('\0'))
        return 0; // strtol would stop there; the device text has no such byte
    const std::string s(text.constData(), size_t(text.size()));
    const char *begin = s.c_str();
    const char *p = begin;
    while (isCSpace(*p))
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    if (*p < '0' || *p > '9')
        return 0;
    char *end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 10);
    if (errno == ERANGE || value > INT_MAX || value < INT_MIN)
        return 0;
    while (isCSpace(*end))
        ++end;
    if (*end != '\0')
        return 0;
    return int(value);
}

int separatorCount(const QByteArray &dump, char separator)
{
    return int(dump.count(separator));
}

void scanFromFreshTable(const QByteArray &dump, int mode)
{
    QList<QByteArray> lines;
    FUZZ_CHECK(splitDumpLines(dump, mode, lines));
    FUZZ_CHECK(lines.size() == separatorCount(dump, mode == 2 ? '\0' : '\n') + 1);
    DumpValues values = unreadDumpValues();
    scanDumpLines(lines, mode, values);
    // The COMMON delimiter is never tried, so it never gets a value.
    FUZZ_CHECK(values[KeyCommonDelimiter] == -1);
    // What the form does with the values: indexes never past the lists.
    for (int i = 0; i < kDumpKeyCount; ++i) {
        const int value = values[i];
        FUZZ_CHECK(frequencyIndexForHz(value) <= 10);
        FUZZ_CHECK(burstNumberIndex(value) >= 0);
        const int slider = Upload::rangeSliderPositionForG(value);
        FUZZ_CHECK((slider >= 1 && slider <= 4) || slider == value);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzSilenceDebugLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray dump = fuzzBytes(data, size);

    scanFromFreshTable(dump, 2);
    scanFromFreshTable(dump, 0);

    // Any other mode is refused and leaves no lines behind.
    QList<QByteArray> lines{"left"};
    FUZZ_CHECK(!splitDumpLines(dump, 1, lines));
    FUZZ_CHECK(lines.isEmpty());

    // The decimal reader on the whole input and on its first line.
    FUZZ_CHECK(dumpDecimal(dump) == referenceDecimal(dump));
    const QByteArray firstLine = dump.left(dump.indexOf('\n'));
    FUZZ_CHECK(dumpDecimal(firstLine) == referenceDecimal(firstLine));
    return 0;
}
