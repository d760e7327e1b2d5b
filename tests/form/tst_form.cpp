// What the form itself does under the user's hands, before any device is
// connected: the limits that keep every value sendable, the precision of
// entry and what the key fields accept; and, since a technician's laptop has
// a small screen, whatever size the window is given, the header, the
// algorithm boxes, the tab bar, the progress bar and the start/stop buttons
// stay in sight, and every other button can be scrolled to.

#include "formprobe.h"

#include <QScopeGuard>
#include <QtTest>
#include <QtWidgets>

#include <limits>
#include <tuple>

// Whether the whole widget is left visible by every widget around it.
static bool wholeInSight(const QWidget *widget)
{
    QRect shown(widget->mapTo(widget->window(), QPoint()), widget->size());
    for (const QWidget *p = widget->parentWidget(); p; p = p->parentWidget())
        shown &= QRect(p->mapTo(p->window(), QPoint()), p->size());
    return widget->isVisible() && shown.size() == widget->size();
}

class FormTest : public QObject
{
    Q_OBJECT

private slots:
    void aliveRefreshPeriodCannotOverflowInMilliseconds();
    void temperaturesAreEnteredToTheHundredthAndFitTheirFields();
    void algosSpinBoxesApplyOnlyWhenEditingFinishes();
    void loraKeysAcceptAnyCharacterUpToTheirLength();
    void everyControlIsWithinReach_data();
    void everyControlIsWithinReach();
    void algosTabNeedsNoSidewaysScrollingAtTheDefaultWidth();

private:
    MainWindow m_window;
    const FormProbe form{m_window};
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

void FormTest::everyControlIsWithinReach_data()
{
    QTest::addColumn<QSize>("asked");
    // A 1280x720 screen less a title bar and a task bar.
    QTest::newRow("1260x650") << QSize(1260, 650);
    QTest::newRow("smallest allowed") << QSize(1, 1);
}

void FormTest::everyControlIsWithinReach()
{
    QFETCH(QSize, asked);
    MainWindow window;
    window.resize(asked);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY2(window.width() <= 1260 && window.height() <= 650,
             qPrintable(QStringLiteral("%1x%2").arg(window.width()).arg(window.height())));

    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QList<QWidget *> alwaysInSight{tabs->tabBar()};
    for (const char *name : {"Title", "leVersion", "label", "cbAlive", "cbChoc", "cbMvt", "cbTemp", "cbTilt",
                             "cbRotation", "cbOrient", "cbVibe", "progressBar", "startButton", "stopButton"})
        alwaysInSight << window.findChild<QWidget *>(QLatin1String(name));
    QSet<QPushButton *> reached;
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        for (QWidget *widget : alwaysInSight)
            QVERIFY2(wholeInSight(widget), qPrintable(tabs->tabText(tab) + ": " + widget->objectName()));
        for (QPushButton *button : window.findChildren<QPushButton *>()) {
            if (!button->isVisibleTo(&window))
                continue;
            // Scroll every area around the button, innermost first, as a user would.
            for (QWidget *p = button->parentWidget(); p; p = p->parentWidget())
                if (auto *area = qobject_cast<QScrollArea *>(p))
                    area->ensureWidgetVisible(button);
            QVERIFY2(wholeInSight(button), qPrintable(tabs->tabText(tab) + ": " + button->objectName()));
            reached << button;
        }
    }
    QCOMPARE(reached.size(), window.findChildren<QPushButton *>().size());
}

void FormTest::algosTabNeedsNoSidewaysScrollingAtTheDefaultWidth()
{
    // The offscreen platform writes in 12 points; a desktop, like Debian's
    // or Windows', in 9.
    const QFont platformFont = QApplication::font();
    const auto restore = qScopeGuard([platformFont] { QApplication::setFont(platformFont); });
    QFont desktopFont = platformFont;
    desktopFont.setPointSize(9);
    QApplication::setFont(desktopFont);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.width(), 659);
    auto *area = window.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QVERIFY(!area->horizontalScrollBar()->isVisible());
    QCOMPARE(area->widget()->width(), area->viewport()->width());
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
