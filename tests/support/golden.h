#ifndef PELKO_GOLDEN_H
#define PELKO_GOLDEN_H

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QtTest>

// Compares the lines a test produced with its golden file, kept beside the
// test's source; with PELKO_WRITE_GOLDEN set, the file is written instead.
// The build gives each test its source folder: __FILE__ would follow the
// compiler's view of the path, which prefix maps and ccache rewrite.
#define PELKO_COMPARE_WITH_GOLDEN(lines, fileName)                                                                     \
    do {                                                                                                               \
        const QString goldenPath_ = QDir(QStringLiteral(PELKO_TEST_DATA_DIR)).filePath(QStringLiteral(fileName));      \
        QFile goldenFile_(goldenPath_);                                                                                \
        if (qEnvironmentVariableIsSet("PELKO_WRITE_GOLDEN")) {                                                         \
            QVERIFY(goldenFile_.open(QIODevice::WriteOnly | QIODevice::Truncate));                                     \
            goldenFile_.write(((lines).join('\n') + '\n').toUtf8());                                                   \
            QSKIP("golden file written");                                                                              \
        }                                                                                                              \
        QVERIFY2(goldenFile_.open(QIODevice::ReadOnly), qPrintable(goldenPath_));                                      \
        const QStringList golden_ = QString::fromUtf8(goldenFile_.readAll()).split('\n', Qt::SkipEmptyParts);          \
        for (int i_ = 0; i_ < qMax(golden_.size(), (lines).size()); ++i_)                                              \
            QCOMPARE((lines).value(i_), golden_.value(i_));                                                            \
    } while (false)

#endif // PELKO_GOLDEN_H
