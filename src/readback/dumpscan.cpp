#include "dumpscan.h"

#include "answertext.h"
#include "model/dumpkeytable.h"

#include <QDebug>
#include <QLoggingCategory>

#include <limits>

namespace {

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Lines that mention these describe how a value is computed; they carry none.
bool isCommentaryLine(const QByteArray &line)
{
    return line.contains("init_pitch_roll") || line.contains("(long_period");
}

} // namespace

bool splitDumpLines(const QByteArray &dump, int mode, QList<QByteArray> &lines)
{
    lines.clear();
    char separator;
    if (mode == 2)
        separator = '\0';
    else if (mode == 0)
        separator = '\n';
    else
        return false;
    // QByteArray::split drops nothing: n separators give n + 1 pieces.
    lines = dump.split(separator);
    return true;
}

int dumpDecimal(const QByteArray &text)
{
    int pos = 0;
    const int end = text.size();
    while (pos < end && isWhiteSpace(text.at(pos)))
        ++pos;
    bool negative = false;
    if (pos < end && (text.at(pos) == '+' || text.at(pos) == '-')) {
        negative = text.at(pos) == '-';
        ++pos;
    }
    const int digitsStart = pos;
    qint64 magnitude = 0;
    // One past the largest magnitude (that of the minimum): anything above
    // cannot fit whatever the sign, so stop accumulating there.
    const qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    while (pos < end && text.at(pos) >= '0' && text.at(pos) <= '9') {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (text.at(pos) - '0');
        ++pos;
    }
    if (pos == digitsStart)
        return 0;
    while (pos < end && isWhiteSpace(text.at(pos)))
        ++pos;
    if (pos != end)
        return 0;
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return 0;
    return int(value);
}

void scanDumpLines(const QList<QByteArray> &lines, int mode, DumpValues &values)
{
    qDebug() << "";
    qDebug() << "*----- Analysing received parameters -----*";
    // Tracing a line costs more than scanning it: not done when no one reads the traces.
    const bool traced = QLoggingCategory::defaultCategory()->isDebugEnabled();
    int cursor = SectionCommon;
    for (int n = 0; n < lines.size(); ++n) {
        QByteArray line = lines.at(n);
        // The line end; a piece shorter than it is left empty.
        line.chop(mode);
        if (traced)
            qDebug() << n << " : " << maskKeys(line);
        // The COMMON delimiter (index 0) is never tried: the cursor starts there.
        for (int i = 1; i < kDumpKeyCount; ++i) {
            const DumpKey &key = dumpKeyTable[i];
            // One leading blank goes for every key tried.
            if (line.startsWith(' '))
                line.remove(0, 1);
            if (!line.contains(key.label))
                continue;
            if (key.section < cursor)
                continue;
            if (i == KeyTiltMultipleAlertPeriod)
                line.chop(2); // the unit and closing parenthesis after the number
            if (isCommentaryLine(line)) {
                cursor = key.section;
                continue;
            }
            // The label is taken to start the line: a label found later in
            // the line yields text that does not convert, hence 0.
            const QByteArray valueText = line.mid(int(qstrlen(key.label)));
            values[i] = dumpDecimal(valueText);
            cursor = key.section;
            if (traced)
                qDebug() << "  ==> " << QByteArray(key.keyName) << "detected at index " << i << " (" << values[i]
                         << ") <==";
            break;
        }
    }
    qDebug() << "*--------------- FINISHED ---------------*";
    qDebug() << "";
}

const std::array<DumpAlgorithm, Model::kReadCount> kDumpAlgorithms = [] {
    std::array<DumpAlgorithm, Model::kReadCount> all{};
    for (int i = 0; i < Model::kReadCount; ++i) {
        const Model::Algorithm &a = *Model::readOrder()[i];
        all[i] = {a.name, a.checkBox, a.sentence, a.otherSentence};
    }
    return all;
}();

bool dumpEnables(const QByteArray &dump, const DumpAlgorithm &algorithm)
{
    return dump.contains(algorithm.sentence) || (algorithm.otherSentence && dump.contains(algorithm.otherSentence));
}

bool dumpEnables(const QByteArray &dump, const Model::Algorithm &algorithm)
{
    return algorithm.sentence &&
           dumpEnables(dump, {algorithm.name, algorithm.checkBox, algorithm.sentence, algorithm.otherSentence});
}
