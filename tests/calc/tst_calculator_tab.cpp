// The Calculator tab as the user drives it; the figures themselves are the
// model's, checked digit for digit in tst_consumption.

#include "dialogwatcher.h"
#include "formprobe.h"
#include "linktimes.h"
#include "simharness.h"

#include <QtTest>
#include <QtWidgets>

class CalculatorTabTest : public QObject
{
    Q_OBJECT

private slots:
    void calculateShowsTheDefaultDayThenTheOneTheUserDescribedAndSf8To11DisableWhatTheyCannotEstimate();
    void fromTheConfigurationGivesTheDayTypedByHandFollowsTheFormAndSetsWhatThePelkoHoldsBesideIt();
};

static QWidget *byName(QWidget &window, const QString &accessibleName)
{
    for (QWidget *w : window.findChildren<QWidget *>())
        if ((w->accessibleName().isEmpty() ? w->property("text").toString() : w->accessibleName()) == accessibleName)
            return w;
    return nullptr;
}

static QString line(QWidget &window)
{
    return qobject_cast<QLabel *>(byName(window, "What came from the configuration"))->text();
}

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
        QCOMPARE(byName(window, "Charge of the day by activity")->isHidden(), motions != 0);
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

void CalculatorTabTest::fromTheConfigurationGivesTheDayTypedByHandFollowsTheFormAndSetsWhatThePelkoHoldsBesideIt()
{
    DialogWatcher dialogs;
    SimHarness sim;
    MainWindow window;
    window.session().limits() = shortLinkTimes(30, 60);
    FormProbe form(window);
    form.click("startButton");
    form.click("readAlgoButton");
    QVERIFY(window.session().connected() && dialogs.titles() == QStringList({"Information"}));
    sim.device().clearReceived();
    qobject_cast<QPushButton *>(byName(window, "From the configuration"))->click();
    const auto years = [&] {
        return QString::number(shown(form, "leConsoTotalYears").toFloat(), 'f', 1);
    };
    const QString held = years();
    QVERIFY(line(window).endsWith(QString("On the Pelko: %1 years; with these changes: %1 years. The Pelko does not "
                                          "report whether VIBRATION runs: taken as the form has it.")
                                      .arg(held)));

    // The device holds the default form: at DR0 with an ALIVE frame an hour,
    // it is the published day of SF 12 and 24 automatic frames.
    form.find<QSpinBox>("xAlivePeriod")->setValue(3600);
    QTRY_COMPARE(shown(form, "leConsoAliveTotal leConsoTotalYears"), QString("0.447673 mAh 3.69256"));
    QVERIFY(line(window).contains(QString("On the Pelko: %1 years; with these changes: 3.7 years.").arg(held)));
    QCOMPARE(
        byName(window, "Charge of the day by activity")->accessibleDescription(),
        QString("ALIVE 0.447673 mAh (31.8%); SHOCK 0 mAh (0%); MOTION 0 mAh (0%); TILT 0 mAh (0%); VIBRATION 0 mAh "
                "(0%); accelerometer 0.0025344 mAh (0.18%); sleep 0.95855 mAh (68%)"));
    QVERIFY(line(window).startsWith("From the configuration: SF 12 (default data rate DR0); 24 automatic ALIVE frames "
                                    "a day (ALIVE period 3600 s); SHOCK sampling 0,24 Hz (SHOCK off);"));
    QVERIFY(line(window).contains("Left as you set them: battery capacity, manual ALIVE frames, shocks, fast and slow "
                                  "motions, summaries, vibration frames."));

    // Typed over, it no longer follows the form.
    form.find<QSpinBox>("xConsoAliveNbAliveAuto")->setValue(5);
    QTRY_VERIFY(line(window).contains("changed by hand"));
    form.find<QSpinBox>("xAlivePeriod")->setValue(600);
    QTest::qWait(20);
    QCOMPARE(form.find<QSpinBox>("xConsoAliveNbAliveAuto")->value(), 5);
    QVERIFY(sim.device().receivedLines().isEmpty());
}

QTEST_MAIN(CalculatorTabTest)
#include "tst_calculator_tab.moc"
