// What the form itself does under the user's hands, before any device is
// connected: the limits that keep every value sendable, the precision of
// entry and what the key fields accept.

#include "formprobe.h"

#include <QtTest>
#include <QtWidgets>

#include <limits>
#include <tuple>

class FormTest : public QObject
{
    Q_OBJECT

private slots:
    void aliveRefreshPeriodCannotOverflowInMilliseconds();
    void temperaturesAreEnteredToTheHundredthAndFitTheirFields();
    void algosSpinBoxesApplyOnlyWhenEditingFinishes();
    void loraKeysAcceptAnyCharacterUpToTheirLength();

private:
    MainWindow window;
    const FormProbe form{window};
};

void FormTest::aliveRefreshPeriodCannotOverflowInMilliseconds()
{
    // The device gets the period in milliseconds as a signed 32-bit integer.
    auto *period = form.find<QSpinBox>("xAlivePeriod");
    QCOMPARE(period->minimum(), 60);
    QVERIFY(qint64(period->maximum()) * 1000 <= std::numeric_limits<qint32>::max());
    period->setValue(3600000);
    QCOMPARE(period->value(), 2147483);
}

void FormTest::temperaturesAreEnteredToTheHundredthAndFitTheirFields()
{
    // Hundredths travel as integers; the delta must fit the device's byte.
    const std::tuple<QString, double, double, double> rows[] = {{"xTempThetaMax", -99.99, 99.99, 25.0},
                                                                {"xTempThetaMin", -99.99, 99.99, 20.0},
                                                                {"xTempDeltaTheta", 0.0, 2.55, 1.0}};
    for (const auto &[name, minimum, maximum, value] : rows) {
        auto *spin = form.find<QDoubleSpinBox>(qPrintable(name));
        QVERIFY2(spin->decimals() == 2 && spin->minimum() == minimum && spin->maximum() == maximum, qPrintable(name));
        spin->setValue(value + 0.004); // a third decimal is rounded away
        QCOMPARE(spin->value(), value);
    }
}

void FormTest::algosSpinBoxesApplyOnlyWhenEditingFinishes()
{
    const auto spins = form.find<QScrollArea>("scrollArea")->widget()->findChildren<QAbstractSpinBox *>();
    QCOMPARE(spins.size(), 55);
    for (QAbstractSpinBox *spin : spins) {
        const bool tracksKeys = spin->objectName() == QLatin1String("xMvtActivityResumePeriod");
        QVERIFY2(spin->keyboardTracking() == tracksKeys, qPrintable(spin->objectName()));
    }
}

void FormTest::loraKeysAcceptAnyCharacterUpToTheirLength()
{
    const QString typed = QStringLiteral("Zz -_!?g0123456789abcdefXYZ0123456789ABCDEF");
    const std::pair<QString, int> rows[] = {{"leDevEUI", 16},  {"leAppEUI", 16}, {"leAppKEY", 32}, {"leNwkSKEY", 32},
                                            {"leAppSKEY", 32}, {"leNwkID", 16},  {"leDevADDR", 16}};
    for (const auto &[name, length] : rows) {
        auto *edit = form.find<QLineEdit>(qPrintable(name));
        edit->setEnabled(true);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), typed.left(length));
    }
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
