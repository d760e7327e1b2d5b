#ifndef PELKO_DUMPSCAN_H
#define PELKO_DUMPSCAN_H

#include "model/algorithms.h"
#include "model/dumpkeytable.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <array>

// Reading the device's parameter dump into the values of the key table.
//
// Mode 2 is the device's own format: lines separated by NUL bytes, each still
// ending in its two-byte line end. Mode 0 takes lines separated by line feeds
// and drops nothing.

// Cuts `dump` at every separator of `mode` into `lines` (n separators give
// n + 1 lines, empty ones included). False for a mode other than 0 or 2,
// with `lines` left empty.
bool splitDumpLines(const QByteArray &dump, int mode, QList<QByteArray> &lines);

// Tries every line against the key table and stores the value of each key
// found in `values`, writing the progress to the debug log.
void scanDumpLines(const QList<QByteArray> &lines, int mode, DumpValues &values);

// Device number text: optional white space, optional sign, decimal digits,
// optional white space. Anything else, an empty text or a number that does
// not fit a 32-bit signed integer gives 0.
int dumpDecimal(const QByteArray &text);

// The algorithms the dump's enable sentences switch on, in the order the
// readback ticks their boxes (ALIVE, always on, is not among them), as the
// algorithm table gives them.
struct DumpAlgorithm
{
    const char *name;          // as the user knows it
    const char *box;           // its check box
    const char *sentence;      // "Algorithm ... enable."
    const char *otherSentence; // another firmware's name for it, or null
};
extern const std::array<DumpAlgorithm, Model::kReadCount> kDumpAlgorithms;
bool dumpEnables(const QByteArray &dump, const DumpAlgorithm &algorithm);
// Whether the dump says the device runs this algorithm; never for one it does
// not report (VIBRATION).
bool dumpEnables(const QByteArray &dump, const Model::Algorithm &algorithm);

#endif // PELKO_DUMPSCAN_H
