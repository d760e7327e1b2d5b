#include "report/errors.h"

#include "golden.h"

#include <QtTest>

// What the user reads for every error, word for word, kept in errors.txt: the
// other tests name errors by their code and take the words from the catalogue.
class ErrorsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyErrorReadsAsTheGoldenFileSays();
};

void ErrorsTest::everyErrorReadsAsTheGoldenFileSays()
{
    const char *const kinds[] = {"information", "warning", "critical"};
    QStringList all;
    for (int e = int(Error::PortNotFound); e <= int(Error::DeviceLost); ++e) {
        const ErrorReport report = errorReport(Error(e));
        all << QStringLiteral("### %1 %2: %3").arg(kinds[int(report.kind)], report.title, report.text)
            << "status " + report.status;
    }
    all << "looks " + StatusStyle::ok + " | " + StatusStyle::error + " | " + StatusStyle::cleared;
    for (QString &line : all)
        line.replace('\n', QLatin1String("\\n"));
    PELKO_COMPARE_WITH_GOLDEN(all, "errors.txt");
}

QTEST_GUILESS_MAIN(ErrorsTest)
#include "tst_errors.moc"
