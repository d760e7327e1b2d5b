// The Calculator tab as the user drives it; the figures themselves are the
// model's, checked digit for digit in tst_consumption.

#include "mainwindow.h"

#include <QtTest>
#include <QtWidgets>

class CalculatorTabTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { window = new MainWindow; }
    void cleanup() { delete window; }
    void calculateShowsTheDefaultDayThenTheOneTheUserDescribed();
    void spreadingFactors8To11DisableWhatTheyCannotEstimate();

private:
    template<typename W = QWidget>
    W *get(const char *name) const
    {
        W *w = window->findChild<W *>(QLatin1String(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QString text(const char *name) const { return get<QLineEdit>(name)->text(); }
    // Hours, days and years as the sentence under the results reads them.
    QString lifetime() const
    {
        return text("leConsoTotalHours") + " h " + text("leConsoTotalDays") + " d " + text("leConsoTotalYears") + " y";
    }
    void calculate() { get<QPushButton>("pbConsoCalculate")->click(); }
    void chooseSpreadingFactor(int sf) { get<QComboBox>("cboConsoLoRaSF")->setCurrentText(QString::number(sf)); }
    // Every field of the records measured only at SF 7 and SF 12.
    QList<QWidget *> measuredOnlyAtSf7And12() const
    {
        return window->findChildren<QWidget *>(QRegularExpression("^(t|x|cb|cbo)Conso(Choc|Mvt|Tilt|Vibration)"));
    }
    MainWindow *window = nullptr;
};

void CalculatorTabTest::calculateShowsTheDefaultDayThenTheOneTheUserDescribed()
{
    // The default day is shown as soon as the window opens; then nothing
    // moves until the user asks.
    auto *threeAxes = get<QCheckBox>("cbConsoVibrationAxeXYZ");
    threeAxes->click();
    QCOMPARE(lifetime(), QString("47397.6 h 1974.9 d 5.40698 y"));
    QCOMPARE(get<QProgressBar>("pbBatLife")->value(), 76);

    calculate();
    QCOMPARE(text("leConsoVibrationTotal"), QString("5.42857 mAh"));
    QCOMPARE(text("leConsoSuspended"), QString("0.913825 mAh"));
    QCOMPARE(lifetime(), QString("7186.84 h 299.452 d 0.819854 y"));
    QCOMPARE(get<QProgressBar>("pbBatLife")->value(), 11);

    // 8.65 years is beyond a full bar: it stays where it was.
    threeAxes->setChecked(false);
    get<QSpinBox>("xCapaPile")->setValue(3200);
    calculate();
    QCOMPARE(text("leConsoTotalYears"), QString("8.65117"));
    QCOMPARE(get<QProgressBar>("pbBatLife")->value(), 11);
}

void CalculatorTabTest::spreadingFactors8To11DisableWhatTheyCannotEstimate()
{
    QCOMPARE(measuredOnlyAtSf7And12().size(), 23);
    get<QSpinBox>("xConsoChocNbChocSent")->setValue(36);
    for (int sf : {8, 9, 10, 11, 12}) {
        chooseSpreadingFactor(sf);
        for (QWidget *w : measuredOnlyAtSf7And12())
            QVERIFY2(w->isEnabled() == (sf == 12), qPrintable(w->objectName()));
        QVERIFY(get("xCapaPile")->isEnabled() && get("xConsoAliveNbAliveAuto")->isEnabled());
        calculate();
        QCOMPARE(text("leConsoChocTotal"), QString(sf == 12 ? "0.77805 mAh" : "0 mAh"));
    }
    QVERIFY(!get("tConsoRotationTitle")->isEnabled());
}

QTEST_MAIN(CalculatorTabTest)
#include "tst_calculator_tab.moc"
