// The Calculator tab as the user drives it; the figures themselves are the
// model's, checked digit for digit in tst_consumption.

#include "formprobe.h"

#include <QtTest>
#include <QtWidgets>

class CalculatorTabTest : public QObject
{
    Q_OBJECT

private slots:
    void calculateShowsTheDefaultDayThenTheOneTheUserDescribedAndSf8To11DisableWhatTheyCannotEstimate();
};

static QString shown(const FormProbe &form, const char *names)
{
    QStringList texts;
    for (const QString &name : QString::fromLatin1(names).split(' '))
        texts << form.find<QLineEdit>(qPrintable(name))->text();
    return texts.join(' ');
}

void CalculatorTabTest::calculateShowsTheDefaultDayThenTheOneTheUserDescribedAndSf8To11DisableWhatTheyCannotEstimate()
{
    // The default day is shown as soon as the window opens; then nothing
    // moves until the user asks.
    MainWindow window;
    FormProbe form(window);
    const char *lifetime = "leConsoTotalHours leConsoTotalDays leConsoTotalYears";
    form.find<QCheckBox>("cbConsoVibrationAxeXYZ")->click();
    QCOMPARE(shown(form, lifetime), QString("47397.6 1974.9 5.40698"));
    QCOMPARE(form.find<QProgressBar>("pbBatLife")->value(), 76);

    form.click("pbConsoCalculate");
    QCOMPARE(shown(form, "leConsoVibrationTotal leConsoSuspended"), QString("5.42857 mAh 0.913825 mAh"));
    QCOMPARE(shown(form, lifetime), QString("7186.84 299.452 0.819854"));
    QCOMPARE(form.find<QProgressBar>("pbBatLife")->value(), 11);

    // 8.65 years is beyond the bar's reference of 7.05: a full bar.
    form.find<QCheckBox>("cbConsoVibrationAxeXYZ")->setChecked(false);
    form.find<QSpinBox>("xCapaPile")->setValue(3200);
    form.click("pbConsoCalculate");
    QCOMPARE(shown(form, "leConsoTotalYears"), QString("8.65117"));
    QCOMPARE(form.find<QProgressBar>("pbBatLife")->value(), 100);

    // A day the activities over-fill is said, with no lifetime and no bar, until it fits again.
    for (int motions : {360, 0}) {
        form.find<QSpinBox>("xConsoMvtFast10sMvt")->setValue(motions);
        form.find<QSpinBox>("xConsoMvtSlow10sMvt")->setValue(motions);
        form.click("pbConsoCalculate");
        QCOMPARE(shown(form, "leConsoSuspended leConsoTotalYears"), QString(motions ? " " : "0.959539 mAh 8.65117"));
        QCOMPARE(form.find<QLabel>("tConsoTotalResume_p1")->text().contains("take 61.2115 hours a day"), motions != 0);
        QCOMPARE(form.find<QProgressBar>("pbBatLife")->isHidden(), motions != 0);
    }

    // Every field of the records measured only at SF 7 and SF 12.
    const QList<QWidget *> measuredOnlyAtSf7And12 =
        window.findChildren<QWidget *>(QRegularExpression("^(t|x|cb|cbo)Conso(Choc|Mvt|Tilt|Vibration)"));
    QCOMPARE(measuredOnlyAtSf7And12.size(), 23);
    form.find<QSpinBox>("xConsoChocNbChocSent")->setValue(36);
    for (int sf : {8, 9, 10, 11, 12}) {
        form.find<QComboBox>("cboConsoLoRaSF")->setCurrentText(QString::number(sf));
        for (QWidget *w : measuredOnlyAtSf7And12)
            QVERIFY2(w->isEnabled() == (sf == 12), qPrintable(w->objectName()));
        QVERIFY(form.enabled("xCapaPile") && form.enabled("xConsoAliveNbAliveAuto"));
        form.click("pbConsoCalculate");
        QCOMPARE(shown(form, "leConsoChocTotal"), QString(sf == 12 ? "0.77805 mAh" : "0 mAh"));
    }
    QVERIFY(!form.enabled("tConsoRotationTitle"));

    // Motions and shocks that cost nothing at SF 10 shorten the sleep: 9.25
    // years, a full bar too, whatever the day before left on it.
    form.find<QComboBox>("cboConsoLoRaSF")->setCurrentText("10");
    form.find<QSpinBox>("xConsoMvtSlow10sMvt")->setValue(15);
    form.click("pbConsoCalculate");
    QCOMPARE(shown(form, "leConsoTotalYears"), QString("9.24997"));
    QCOMPARE(form.find<QProgressBar>("pbBatLife")->value(), 100);
}

QTEST_MAIN(CalculatorTabTest)
#include "tst_calculator_tab.moc"
