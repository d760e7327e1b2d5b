#include "dumpkeytable.h"

// Constant-initialised: the table exists before any code runs and lives until
// the process ends.
#define PELKO_DUMP_KEY_ROW(index, name, label, section) {name, label, section},
const DumpKey dumpKeyTable[kDumpKeyCount] = {PELKO_DUMP_KEYS(PELKO_DUMP_KEY_ROW)};
#undef PELKO_DUMP_KEY_ROW

int frequencyIndexForHz(int hz)
{
    // Upper bound in Hz of each list entry from index 3 on ("4" ... "250");
    // anything above the last bound is "500".
    static const int upperBounds[] = {4, 8, 16, 31, 63, 125, 250};
    if (hz <= 2)
        return hz;
    int index = 3;
    for (int bound : upperBounds) {
        if (hz <= bound)
            return index;
        ++index;
    }
    return index;
}

int burstNumberIndex(int bursts)
{
    return bursts > 1 ? bursts - 2 : 0;
}

DumpValues unreadDumpValues()
{
    DumpValues values;
    values.fill(-1);
    return values;
}
