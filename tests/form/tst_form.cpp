// What a technician sees in a fresh window before connecting, and what the
// form itself does under clicks (the window's own handlers are left out).

#include "mainwindow.h"

#include <QtTest>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTextEdit>

#include <limits>
#include <memory>

#define FIND(Type, var, name)                                                                                          \
    Type *var = window->findChild<Type *>(name);                                                                       \
    QVERIFY2(var, qPrintable(QStringLiteral("no " #Type " named %1").arg(name)))

class FormTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void algorithmBoxesStartWithOnlyAliveChecked_data();
    void algorithmBoxesStartWithOnlyAliveChecked();
    void sectionFieldsWaitForTheirAlgorithm_data();
    void sectionFieldsWaitForTheirAlgorithm();
    void deviceButtonsWaitForAConnection();
    void tabsComeInOrderWithTheirTitles();
    void labelsReadExactlyAsWritten_data();
    void labelsReadExactlyAsWritten();
    void headingsUseTheirFonts_data();
    void headingsUseTheirFonts();
    void listsOfferTheirItemsAndStartOnTheirChoice_data();
    void listsOfferTheirItemsAndStartOnTheirChoice();
    void spinBoxesStartWithTheirRangeValueAndUnit_data();
    void spinBoxesStartWithTheirRangeValueAndUnit();
    void temperaturesAreEnteredToTheHundredth_data();
    void temperaturesAreEnteredToTheHundredth();
    void aliveRefreshPeriodCannotOverflowInMilliseconds();
    void accelerationRangeSliderHasFourNotches();
    void algosSpinBoxesApplyOnlyWhenEditingFinishes();
    void loraKeysAcceptNoMoreThanTheirLength_data();
    void loraKeysAcceptNoMoreThanTheirLength();
    void consoleCannotBeTypedInto();
    void statusBoxIsSmallAndStartsEmpty();
    void clickingOneLoraChoiceFlipsItsPartner_data();
    void clickingOneLoraChoiceFlipsItsPartner();
    void motionSummaryBoxDrivesItsDependentFieldsBothWays();
    void everyTooltipIsRichText();
    void picturesLoadAtTheirSizes_data();
    void picturesLoadAtTheirSizes();

private:
    std::unique_ptr<MainWindow> window;
};

// Clicks where a user would: on the indicator of a check box or radio button.
static void userClick(QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement indicator =
        qobject_cast<QRadioButton *>(button) ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator;
    const QRect rect = button->style()->subElementRect(indicator, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, rect.center());
}

static QPixmap shownPixmap(const QLabel *label)
{
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    return label->pixmap(Qt::ReturnByValue);
#else
    return label->pixmap() ? *label->pixmap() : QPixmap();
#endif
}

void FormTest::init()
{
    window.reset(new MainWindow);
}

void FormTest::cleanup()
{
    window.reset();
}

void FormTest::algorithmBoxesStartWithOnlyAliveChecked_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checked");
    QTest::newRow("alive") << "cbAlive"
                           << "Alive" << true << true;
    QTest::newRow("shock") << "cbChoc"
                           << "Shock" << true << false;
    QTest::newRow("motion") << "cbMvt"
                            << "Motion" << true << false;
    QTest::newRow("temperature") << "cbTemp"
                                 << "Temperature" << false << false;
    QTest::newRow("tilt") << "cbTilt"
                          << "Tilt" << true << false;
    QTest::newRow("rotation") << "cbRotation"
                              << "Rotation" << true << false;
    QTest::newRow("orientation") << "cbOrient"
                                 << "Orientation" << true << false;
    QTest::newRow("vibe") << "cbVibe"
                          << "Vibe analysis" << false << false;
}

void FormTest::algorithmBoxesStartWithOnlyAliveChecked()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(bool, checked);
    FIND(QCheckBox, box, name);
    QCOMPARE(box->text(), text);
    QCOMPARE(box->isEnabled(), enabled);
    QCOMPARE(box->isChecked(), checked);
}

void FormTest::sectionFieldsWaitForTheirAlgorithm_data()
{
    // checked: 1 or 0 for buttons, -1 for widgets that cannot be checked
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("checked");
    QTest::newRow("power-off allowed, greyed") << "cbAllowPowerOFF" << false << 1;
    QTest::newRow("power-off label greyed") << "tAllowPowerOFF" << false << -1;
    QTest::newRow("general logging") << "cbEnableLog" << false << 1;
    QTest::newRow("alive frames on and usable") << "cbAliveRefreshMode" << true << 1;
    QTest::newRow("alive period usable") << "xAlivePeriod" << true << -1;
    QTest::newRow("laid flat, greyed") << "rbPelkoLaidFlat" << false << 1;
    QTest::newRow("upright, greyed") << "rbPelkoStayUpright" << false << 0;
    QTest::newRow("upright picture greyed") << "imagePelkoUp" << false << -1;
    QTest::newRow("flat picture") << "imagePelkoFlat" << true << -1;
    QTest::newRow("shock label readable") << "tChocGxSup" << true << -1;
    QTest::newRow("shock gravity") << "cbChocRemoveGravity" << false << 0;
    QTest::newRow("shock logging") << "cbChocEnableShockLog" << false << 1;
    QTest::newRow("shock logging label") << "tChocEnableShockLog" << false << -1;
    QTest::newRow("shock sampling") << "cboChocFreq" << false << -1;
    QTest::newRow("motion start frame") << "cbMvtLoraAtStartMvt" << false << 0;
    QTest::newRow("motion summary") << "cbMvtActivityRecap" << false << 0;
    QTest::newRow("motion summary label") << "tMvtActivityRecap" << false << -1;
    QTest::newRow("tracking label") << "tMvtTracking" << false << -1;
    QTest::newRow("temperature threshold") << "cbTempModeThreshold" << false << 1;
    QTest::newRow("tilt title") << "tTiltTitle" << true << -1;
    QTest::newRow("tilt on motion") << "cbTiltModeOnMove" << false << 1;
    QTest::newRow("tilt zone alert") << "cbTiltModeAlertZone" << false << 0;
    QTest::newRow("rotation lap reset") << "cbRotationResetLapButton" << false << 1;
    QTest::newRow("orientation refresh") << "cbOrientModeRefresh" << false << 1;
    QTest::newRow("vibe on Z") << "cbVibeOnZ" << false << 1;
    QTest::newRow("calculator 3 axes") << "cbConsoVibrationAxeXYZ" << true << 0;
    QTest::newRow("calculator rotation title") << "tConsoRotationTitle" << false << -1;
    QTest::newRow("calculator result") << "leConsoTotal" << false << -1;
    QTest::newRow("calculator years") << "leConsoTotalYears" << false << -1;
}

void FormTest::sectionFieldsWaitForTheirAlgorithm()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    QFETCH(int, checked);
    FIND(QWidget, widget, name);
    QCOMPARE(widget->isEnabled(), enabled);
    if (checked >= 0) {
        auto *button = qobject_cast<QAbstractButton *>(widget);
        QVERIFY(button);
        QCOMPARE(button->isChecked(), checked == 1);
    }
}

void FormTest::deviceButtonsWaitForAConnection()
{
    FIND(QPushButton, start, "startButton");
    FIND(QPushButton, stop, "stopButton");
    QCOMPARE(start->text(), QStringLiteral("Connection"));
    QCOMPARE(stop->text(), QStringLiteral("Stop"));
    QVERIFY(start->isEnabled());

    FIND(QPushButton, read, "readAlgoButton");
    FIND(QPushButton, load, "loadAlgoConfigButton");
    FIND(QPushButton, save, "saveAlgoConfigButton");
    QCOMPARE(read->text(), QStringLiteral("Read"));
    QVERIFY(!read->isEnabled());
    for (QPushButton *later : {load, save}) {
        QVERIFY(!later->isEnabled());
        QVERIFY(later->toolTip().contains("Will be supported in future release."));
    }
}

void FormTest::tabsComeInOrderWithTheirTitles()
{
    FIND(QTabWidget, tabs, "tabWidget");
    const QStringList pages{"tab_ALGO", "tab_LORA", "tab_CONSO", "tab_TOOLS"};
    const QStringList titles{"Algos", "LoRa", "Calculator", "Tools"};
    QCOMPARE(tabs->count(), 4);
    for (int i = 0; i < tabs->count(); ++i) {
        QCOMPARE(tabs->widget(i)->objectName(), pages.at(i));
        QCOMPARE(tabs->tabText(i), titles.at(i));
    }
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(tabs->toolTip().isEmpty());
}

void FormTest::labelsReadExactlyAsWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("window title") << "Title"
                                  << "Pelko Configurator";
    QTest::newRow("algos heading keeps its padding") << "tMPUTitle_2"
                                                     << "  Algorithms configuration  ";
    QTest::newRow("range legend") << "tMpuMaxRangeLabel"
                                  << "2g                             4g                              "
                                     "8g                         16g";
    QTest::newRow("temperature fast period quotes Delta") << "tTempFastPeriod"
                                                          << "Fast measure period (into \"Delta\" zone)";
    QTest::newRow("slow period keeps its trailing space") << "tTempSlowPeriod"
                                                          << "Slow measure period ";
    QTest::newRow("vibe title keeps its trailing space") << "tVibrationTitle"
                                                         << "Parameters of VIBE ";
    QTest::newRow("device address as the device spells it") << "tDevADDR"
                                                            << "Device Adress";
    QTest::newRow("join request timeout") << "txJRErrorTimeout"
                                          << "Join Request ERROR timeout";
    QTest::newRow("result label keeps two spaces") << "tConsoTotal"
                                                   << "Theoretical consumption result  ";
    QTest::newRow("lifetime sentence opens") << "tConsoTotalResume_p1"
                                             << "The estimated product lifetime is around either";
    QTest::newRow("lifetime sentence closes") << "tConsoTotalResume_p4"
                                              << "years.";
}

void FormTest::labelsReadExactlyAsWritten()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    FIND(QLabel, label, name);
    QCOMPARE(label->text(), text);
}

void FormTest::headingsUseTheirFonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::newRow("window title") << "Title" << 20 << true;
    QTest::newRow("algorithm chooser") << "label" << 16 << true;
    QTest::newRow("algos page title") << "tMPUTitle_2" << 18 << true;
    QTest::newRow("algos section") << "tChocTitle" << 14 << true;
    QTest::newRow("lora section") << "tLoRaKeys" << 14 << true;
    QTest::newRow("lora key label") << "tAppKEY" << 11 << false;
    QTest::newRow("calculator subtitle") << "tConsoSubTitle" << 12 << true;
    QTest::newRow("calculator group is not bold") << "tConsoMvtTitle" << 14 << false;
    QTest::newRow("calculator result label") << "tConsoTotal" << 16 << true;
    QTest::newRow("calculator result field") << "leConsoTotal" << 10 << true;
}

void FormTest::headingsUseTheirFonts()
{
    QFETCH(QString, name);
    QFETCH(int, pointSize);
    QFETCH(bool, bold);
    FIND(QWidget, widget, name);
    QCOMPARE(widget->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(widget->font().pointSize(), pointSize);
    QCOMPARE(widget->font().bold(), bold);
    QVERIFY(!widget->font().underline());
}

void FormTest::listsOfferTheirItemsAndStartOnTheirChoice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("current");
    const QStringList sampling{"0,24", "1", "2", "4", "8", "16", "31", "63", "125", "250", "500"};
    QStringList calculatorShock = sampling;
    calculatorShock[4] = "7";
    QTest::newRow("shock sampling") << "cboChocFreq" << sampling << 5;
    QTest::newRow("motion sampling") << "cboMvtFreq" << sampling << 5;
    QTest::newRow("burst mode") << "cboMvtTrackingBurstMode" << QStringList{"0", "1", "2", "3", "4"} << 2;
    QTest::newRow("motion bursts") << "cboMvtTrackingBurstNumberMotion" << QStringList{"2", "3", "4"} << 0;
    QTest::newRow("stillness bursts") << "cboMvtTrackingBurstNumberStillness" << QStringList{"2", "3", "4"} << 1;
    QTest::newRow("spreading factor") << "cboConsoLoRaSF" << QStringList{"7", "8", "9", "10", "11", "12"} << 0;
    QTest::newRow("calculator shock sampling reads 7") << "cboConsoChocFreqMPU" << calculatorShock << 0;
    QTest::newRow("calculator motion sampling") << "cboConsoMvtFreqMPU" << sampling << 0;
}

void FormTest::listsOfferTheirItemsAndStartOnTheirChoice()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QFETCH(int, current);
    FIND(QComboBox, combo, name);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(combo->currentIndex(), current);
    QCOMPARE(combo->currentText(), items.at(current));
}

void FormTest::spinBoxesStartWithTheirRangeValueAndUnit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("alert period") << "xAlgoPeriod" << 60 << 65535 << 1 << 600 << ""
                                  << " s" << false;
    QTest::newRow("log frame period") << "xNbAliveFrameBeforeLog" << 0 << 255 << 1 << 120 << "After "
                                      << " alive frame" << false;
    QTest::newRow("power-on delay") << "xNbSecondBeforeStart" << 0 << 254 << 1 << 0 << ""
                                    << " s" << false;
    QTest::newRow("alive saved values") << "xAliveNbSavedValue" << 1 << 48 << 1 << 1 << ""
                                        << " values" << true;
    QTest::newRow("shock threshold") << "xChocGzNeg" << 50 << 15999 << 1 << 5000 << ""
                                     << " mG" << false;
    QTest::newRow("shock log") << "xChocNbAliveFrameBeforeShockLog" << 0 << 255 << 1 << 36 << "After "
                               << " alive frame" << false;
    QTest::newRow("motion threshold") << "xMvtGxSup" << 25 << 15999 << 1 << 300 << ""
                                      << " mG" << false;
    QTest::newRow("motion timer B") << "xMvtTimerY" << 500 << 86400000 << 1 << 3000 << ""
                                    << " ms" << false;
    QTest::newRow("motion sensitivity") << "xMvtSensitivity" << 0 << 32767 << 1 << 10 << ""
                                        << "" << false;
    QTest::newRow("summary period") << "xMvtActivityResumePeriod" << 1 << 360 << 1 << 1 << ""
                                    << " hours" << false;
    QTest::newRow("stillness alert period") << "xMvtTrackingAlertPeriodStillness" << 10 << 65535 << 1 << 7200 << ""
                                            << " s" << false;
    QTest::newRow("temperature saved values") << "xTempNbSavedValue" << 1 << 48 << 1 << 12 << "N = "
                                              << "" << false;
    QTest::newRow("tilt inhibition") << "xTiltInhibition" << 1 << 255 << 1 << 5 << ""
                                     << " measure(s)" << false;
    QTest::newRow("tilt roll") << "xTiltThresholdRoll" << 1 << 180 << 1 << 90 << ""
                               << " °" << false;
    QTest::newRow("tilt period") << "xTiltPeriod" << 500 << 21600000 << 1 << 2000 << ""
                                 << " ms" << false;
    QTest::newRow("rotation laps") << "xRotationNbLap" << 1 << 32767 << 1 << 5 << ""
                                   << " laps" << false;
    QTest::newRow("orientation roll below zero") << "xOrientThresholdRoll" << -90 << 90 << 1 << -45 << ""
                                                 << " °" << false;
    QTest::newRow("vibe top frequency") << "xVibrationFreqMax" << 100 << 500 << 1 << 500 << ""
                                        << " Hz" << false;
    QTest::newRow("default data rate") << "xLoRaDefaultDR" << 0 << 5 << 1 << 0 << "DR"
                                       << "" << true;
    QTest::newRow("join request timeout") << "xJRErrorTimeout" << 0 << 240 << 1 << 12 << ""
                                          << " hours" << true;
    QTest::newRow("battery capacity") << "xCapaPile" << 1600 << 3200 << 100 << 2000 << ""
                                      << " mAh" << true;
    QTest::newRow("manual alive frames") << "xfConsoAliveNbAliveMan" << 0 << 2000 << 1 << 0 << ""
                                         << "" << true;
    QTest::newRow("calculator tilt period") << "xConsoTiltPeriod" << 0 << 360000 << 1 << 0 << ""
                                            << " ms" << true;
    QTest::newRow("calculator vibe period") << "xConsoVibrationPeriod" << 10 << 65535 << 1 << 10 << ""
                                            << " seconds" << true;
}

void FormTest::spinBoxesStartWithTheirRangeValueAndUnit()
{
    QFETCH(QString, name);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, step);
    QFETCH(int, value);
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    QFETCH(bool, enabled);
    FIND(QSpinBox, spin, name);
    QCOMPARE(spin->minimum(), minimum);
    QCOMPARE(spin->maximum(), maximum);
    QCOMPARE(spin->singleStep(), step);
    QCOMPARE(spin->value(), value);
    QCOMPARE(spin->prefix(), prefix);
    QCOMPARE(spin->suffix(), suffix);
    QCOMPARE(spin->isEnabled(), enabled);
    // What the box shows once the user opens its tab.
    FIND(QTabWidget, tabs, "tabWidget");
    for (QWidget *up = spin; up; up = up->parentWidget()) {
        if (tabs->indexOf(up) >= 0)
            tabs->setCurrentWidget(up);
    }
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(spin->text(), prefix + QString::number(value) + suffix);
}

void FormTest::temperaturesAreEnteredToTheHundredth_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("value");
    QTest::newRow("maximum") << "xTempThetaMax" << -99.99 << 99.99 << 0.5 << 25.0;
    QTest::newRow("minimum") << "xTempThetaMin" << -99.99 << 99.99 << 0.5 << 20.0;
    QTest::newRow("delta") << "xTempDeltaTheta" << 0.0 << 2.55 << 0.1 << 1.0;
}

void FormTest::temperaturesAreEnteredToTheHundredth()
{
    QFETCH(QString, name);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(double, value);
    FIND(QDoubleSpinBox, spin, name);
    QCOMPARE(spin->decimals(), 2);
    QCOMPARE(spin->minimum(), minimum);
    QCOMPARE(spin->maximum(), maximum);
    QCOMPARE(spin->singleStep(), step);
    QCOMPARE(spin->value(), value);
    QCOMPARE(spin->suffix(), QStringLiteral(" °C"));
    QVERIFY(!spin->isEnabled());
    // A third decimal typed by the user is rounded away.
    spin->setValue(value + 0.004);
    QCOMPARE(spin->value(), value);
}

void FormTest::aliveRefreshPeriodCannotOverflowInMilliseconds()
{
    FIND(QSpinBox, period, "xAlivePeriod");
    QCOMPARE(period->minimum(), 60);
    QCOMPARE(period->value(), 7200);
    QCOMPARE(period->suffix(), QStringLiteral(" s"));
    // The device gets the period in milliseconds as a signed 32-bit integer.
    QCOMPARE(period->maximum(), 2147483);
    QVERIFY(qint64(period->maximum()) * 1000 <= std::numeric_limits<qint32>::max());
    period->setValue(3600000);
    QCOMPARE(period->value(), 2147483);
}

void FormTest::accelerationRangeSliderHasFourNotches()
{
    FIND(QSlider, slider, "MPUmaxRange");
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    QCOMPARE(slider->minimum(), 1);
    QCOMPARE(slider->maximum(), 4);
    QCOMPARE(slider->pageStep(), 1);
    QCOMPARE(slider->value(), 4);
    QVERIFY(slider->isEnabled());
}

void FormTest::algosSpinBoxesApplyOnlyWhenEditingFinishes()
{
    FIND(QScrollArea, area, "scrollArea");
    const auto spins = area->widget()->findChildren<QAbstractSpinBox *>();
    QCOMPARE(spins.size(), 55);
    for (QAbstractSpinBox *spin : spins) {
        const bool tracksKeys = spin->objectName() == QLatin1String("xMvtActivityResumePeriod");
        QVERIFY2(spin->keyboardTracking() == tracksKeys, qPrintable(spin->objectName()));
    }
}

void FormTest::loraKeysAcceptNoMoreThanTheirLength_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("DevEUI") << "leDevEUI" << 16 << true;
    QTest::newRow("AppEUI") << "leAppEUI" << 16 << true;
    QTest::newRow("AppKEY") << "leAppKEY" << 32 << true;
    QTest::newRow("NwkSKEY") << "leNwkSKEY" << 32 << false;
    QTest::newRow("AppSKEY") << "leAppSKEY" << 32 << false;
    QTest::newRow("network id") << "leNwkID" << 16 << false;
    QTest::newRow("device address") << "leDevADDR" << 16 << false;
}

void FormTest::loraKeysAcceptNoMoreThanTheirLength()
{
    QFETCH(QString, name);
    QFETCH(int, length);
    QFETCH(bool, enabled);
    FIND(QLineEdit, edit, name);
    QVERIFY(edit->text().isEmpty());
    QCOMPARE(edit->isEnabled(), enabled);
    QCOMPARE(edit->maxLength(), length);
    QVERIFY(edit->inputMask().isEmpty());
    QVERIFY(!edit->validator());
    edit->setEnabled(true);
    QTest::keyClicks(edit, QString(40, QLatin1Char('A')));
    QCOMPARE(edit->text(), QString(length, QLatin1Char('A')));
}

void FormTest::consoleCannotBeTypedInto()
{
    FIND(QTextEdit, console, "consoleOutput");
    QVERIFY(console->isReadOnly());
    QCOMPARE(console->textInteractionFlags(), Qt::TextBrowserInteraction);
    QCOMPARE(console->styleSheet(), QStringLiteral("background:rgb(230, 230, 230)"));
    QVERIFY(!console->autoFillBackground());
    const QString before = console->toPlainText();
    QTest::keyClicks(console, "typed by hand");
    QCOMPARE(console->toPlainText(), before);
}

void FormTest::statusBoxIsSmallAndStartsEmpty()
{
    FIND(QTextEdit, status, "leVersion");
    QVERIFY(!status->isEnabled());
    QVERIFY(status->toPlainText().isEmpty());
    QCOMPARE(status->maximumSize(), QSize(200, 60));
    QCOMPARE(status->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(status->lineWrapMode(), QTextEdit::WidgetWidth);
}

void FormTest::clickingOneLoraChoiceFlipsItsPartner_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("partner");
    QTest::addColumn<bool>("clickedStartsChecked");
    QTest::newRow("checked OTAA hands over to ABP") << "rbOTAA"
                                                    << "rbABP" << true;
    QTest::newRow("unchecked ABP takes over from OTAA") << "rbABP"
                                                        << "rbOTAA" << false;
    QTest::newRow("public network") << "rbPublicNetwork"
                                    << "rbPrivateNetwork" << true;
    QTest::newRow("private network") << "rbPrivateNetwork"
                                     << "rbPublicNetwork" << false;
    QTest::newRow("confirmed messages") << "rbMessageConfirmed"
                                        << "rbMessageUnconfirmed" << false;
    QTest::newRow("unconfirmed messages") << "rbMessageUnconfirmed"
                                          << "rbMessageConfirmed" << true;
    QTest::newRow("ADR on") << "rbADR_ON"
                            << "rbADR_OFF" << false;
    QTest::newRow("ADR off") << "rbADR_OFF"
                             << "rbADR_ON" << true;
}

void FormTest::clickingOneLoraChoiceFlipsItsPartner()
{
    QFETCH(QString, clicked);
    QFETCH(QString, partner);
    QFETCH(bool, clickedStartsChecked);
    FIND(QTabWidget, tabs, "tabWidget");
    FIND(QRadioButton, button, clicked);
    FIND(QRadioButton, other, partner);
    tabs->setCurrentIndex(1);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    QVERIFY(button->isCheckable() && !button->autoExclusive());
    QCOMPARE(button->isChecked(), clickedStartsChecked);
    QCOMPARE(other->isChecked(), !clickedStartsChecked);

    bool expected = clickedStartsChecked;
    for (int click = 0; click < 3; ++click) {
        userClick(button);
        expected = !expected;
        QCOMPARE(button->isChecked(), expected);
        QCOMPARE(other->isChecked(), !expected);
    }
    userClick(other);
    QCOMPARE(other->isChecked(), expected);
    QCOMPARE(button->isChecked(), !expected);
}

void FormTest::motionSummaryBoxDrivesItsDependentFieldsBothWays()
{
    FIND(QTabWidget, tabs, "tabWidget");
    FIND(QScrollArea, area, "scrollArea");
    FIND(QCheckBox, summary, "cbMvtActivityRecap");
    FIND(QCheckBox, additionate, "cbMvtActivityAdditionate");
    FIND(QSpinBox, period, "xMvtActivityResumePeriod");
    FIND(QLabel, periodLabel, "tMvtActivityResumePeriod");
    FIND(QCheckBox, atStart, "cbMvtLoraAtStartMvt");
    FIND(QCheckBox, atStop, "cbMvtLoraAtStopMvt");
    FIND(QLabel, atStartLabel, "tMvtLoraAtStartMvt");
    FIND(QLabel, atStopLabel, "tMvtLoraAtStopMvt");
    tabs->setCurrentIndex(0);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    area->ensureWidgetVisible(summary);

    // The box starts disabled with motion; open up the group as motion would.
    QVERIFY(!summary->isEnabled());
    for (QWidget *w : std::initializer_list<QWidget *>{summary, atStart, atStop, atStartLabel, atStopLabel})
        w->setEnabled(true);
    QVERIFY(!period->isEnabled() && !periodLabel->isEnabled() && !additionate->isChecked());

    userClick(summary);
    QVERIFY(summary->isChecked());
    QVERIFY(!atStart->isEnabled() && !atStop->isEnabled());
    QVERIFY(!atStartLabel->isEnabled() && !atStopLabel->isEnabled());
    QVERIFY(period->isEnabled() && periodLabel->isEnabled());
    QVERIFY(additionate->isChecked());

    userClick(summary);
    QVERIFY(!summary->isChecked());
    QVERIFY(atStart->isEnabled() && atStop->isEnabled());
    QVERIFY(atStartLabel->isEnabled() && atStopLabel->isEnabled());
    QVERIFY(!period->isEnabled() && !periodLabel->isEnabled());
    QVERIFY(!additionate->isChecked());
}

void FormTest::everyTooltipIsRichText()
{
    int tips = 0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const QString tip = w->toolTip();
        if (tip.isEmpty())
            continue;
        ++tips;
        QVERIFY2(tip.startsWith("<html><head/><body><p>") && tip.endsWith("</p></body></html>"),
                 qPrintable(w->objectName()));
    }
    QVERIFY(tips >= 21);

    FIND(QLabel, upright, "imagePelkoUp");
    QCOMPARE(upright->toolTip(), QStringLiteral("<html><head/><body><p>Mode only compatible with firmware "
                                                "&gt; 1.9</p><p>Mode used and forced by rotation "
                                                "algorithm</p></body></html>"));
    FIND(QLabel, burst, "tMvtTrackingBurstMode");
    QVERIFY(burst->toolTip().contains("* 4 : Burst on each movement with periodic burst repetition</p>"));
    FIND(QLabel, lora, "tLoraTitle");
    QVERIFY(lora->toolTip().contains("<span style=\" font-size:8pt; font-weight:400;\">LoRa parameters will "
                                     "be automatically read from Pelko's flash during connection.</span>"));
}

void FormTest::picturesLoadAtTheirSizes_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("standing upright") << "imagePelkoUp"
                                      << ":/icones/Pic_Pelko_none.png" << QSize(186, 180);
    QTest::newRow("laid flat") << "imagePelkoFlat"
                               << ":/icones/Pelko_roll.png" << QSize(607, 182);
}

void FormTest::picturesLoadAtTheirSizes()
{
    QFETCH(QString, label);
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());

    FIND(QLabel, picture, label);
    const QPixmap shown = shownPixmap(picture);
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.size(), size);
    QVERIFY(picture->text().isEmpty());
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
