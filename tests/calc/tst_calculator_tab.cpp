#include "mainwindow.h"

#include "debuglog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QtTest>

namespace {

// The Calculator tab of a shown window, the way a user reaches it.
struct CalculatorTab
{
    MainWindow window;

    CalculatorTab()
    {
        window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(2);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QString text(const char *name) const { return window.findChild<QLineEdit *>(name)->text(); }
    int bar() const { return window.findChild<QProgressBar *>("pbBatLife")->value(); }
    template<typename W>
    W *get(const char *name) const
    {
        W *w = window.findChild<W *>(name);
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    // On its box: the check box is wider than its caption.
    void toggleThreeAxes()
    {
        QCheckBox *box = get<QCheckBox>("cbConsoVibrationAxeXYZ");
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
    }
    void calculate() { QTest::mouseClick(get<QPushButton>("pbConsoCalculate"), Qt::LeftButton); }
    void chooseSpreadingFactor(int sf) { get<QComboBox>("cboConsoLoRaSF")->setCurrentText(QString::number(sf)); }
    // Hours, days and years as the sentence under the results reads them.
    QString lifetime() const
    {
        return QStringLiteral("%1 hours, %2 days, %3 years")
            .arg(text("leConsoTotalHours"), text("leConsoTotalDays"), text("leConsoTotalYears"));
    }
};

const char *const kMeasuredOnlyAtSf7And12[] = {
    "tConsoChocTitle",           "tConsoChocNbChocSent",  "tConsoChocFreqMPU",
    "xConsoChocNbChocSent",      "cboConsoChocFreqMPU",   "tConsoMvtTitle",
    "tConsoMvtFast10sMvt",       "xConsoMvtFast10sMvt",   "tConsoMvtSlowt10sMvt",
    "xConsoMvtSlow10sMvt",       "tConsoMvtRecap",        "xConsoMvtNbRecap",
    "tConsoMvtFreqMPU",          "cboConsoMvtFreqMPU",    "tConsoTiltTitle",
    "tConsoTiltPeriod",          "xConsoTiltPeriod",      "tConsoVibrationTitle",
    "cbConsoVibrationAxeXYZ",    "tConsoVibrationPeriod", "xConsoVibrationPeriod",
    "tConsoVibrationNumberOfTX", "xConsoVibrationNbSend",
};

} // namespace

class CalculatorTabTest : public QObject
{
    Q_OBJECT

private slots:
    void theDefaultDayIsShownAsSoonAsTheWindowOpens();
    void calculateShowsTheDayTheUserDescribed();
    void spreadingFactors8To11DisableWhatTheyCannotEstimate();
};

void CalculatorTabTest::theDefaultDayIsShownAsSoonAsTheWindowOpens()
{
    CalculatorTab tab;
    QCOMPARE(tab.text("leConsoAliveTotal"), QString("0 mAh"));
    QCOMPARE(tab.text("leConsoVibrationTotal"), QString("0 mAh"));
    QCOMPARE(tab.text("leConsoMPU"), QString("0.0025344 mAh"));
    QCOMPARE(tab.text("leConsoSuspended"), QString("0.959539 mAh"));
    QCOMPARE(tab.text("leConsoTotal"), QString("0.0400864 mAh"));
    QCOMPARE(tab.lifetime(), QString("47397.6 hours, 1974.9 days, 5.40698 years"));
    QCOMPARE(tab.bar(), 76);
}

void CalculatorTabTest::calculateShowsTheDayTheUserDescribed()
{
    CalculatorTab tab;
    DebugLog log;
    tab.toggleThreeAxes();
    // Nothing moves until the user asks.
    QCOMPARE(tab.text("leConsoVibrationTotal"), QString("0 mAh"));

    tab.calculate();
    QVERIFY(log.contains("on_pbConsoCalculate_clicked"));
    QCOMPARE(tab.text("leConsoVibrationTotal"), QString("5.42857 mAh"));
    QCOMPARE(tab.text("leConsoSuspended"), QString("0.913825 mAh"));
    QCOMPARE(tab.text("leConsoTotal"), QString("0.264372 mAh"));
    QCOMPARE(tab.lifetime(), QString("7186.84 hours, 299.452 days, 0.819854 years"));
    QCOMPARE(tab.bar(), 11);

    // 8.65 years is beyond a full bar: it stays where it was.
    tab.toggleThreeAxes();
    tab.get<QSpinBox>("xCapaPile")->setValue(3200);
    tab.calculate();
    QCOMPARE(tab.text("leConsoTotalYears"), QString("8.65117"));
    QCOMPARE(tab.bar(), 11);
}

void CalculatorTabTest::spreadingFactors8To11DisableWhatTheyCannotEstimate()
{
    CalculatorTab tab;
    tab.get<QSpinBox>("xConsoChocNbChocSent")->setValue(36);
    for (int sf : {8, 9, 10, 11}) {
        tab.chooseSpreadingFactor(sf);
        for (const char *name : kMeasuredOnlyAtSf7And12)
            QVERIFY2(!tab.get<QWidget>(name)->isEnabled(), name);
    }
    QVERIFY(tab.get<QSpinBox>("xCapaPile")->isEnabled());
    QVERIFY(tab.get<QSpinBox>("xConsoAliveNbAliveAuto")->isEnabled());
    QCOMPARE(tab.get<QSpinBox>("xConsoChocNbChocSent")->value(), 36);

    tab.calculate();
    QCOMPARE(tab.text("leConsoChocTotal"), QString("0 mAh"));

    tab.chooseSpreadingFactor(12);
    for (const char *name : kMeasuredOnlyAtSf7And12)
        QVERIFY2(tab.get<QWidget>(name)->isEnabled(), name);
    QVERIFY(!tab.get<QLabel>("tConsoRotationTitle")->isEnabled());
    tab.calculate();
    QCOMPARE(tab.text("leConsoChocTotal"), QString("0.77805 mAh"));
}

QTEST_MAIN(CalculatorTabTest)
#include "tst_calculator_tab.moc"
