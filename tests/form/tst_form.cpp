// What the key fields accept before any device is connected; and, since a
// technician's laptop has a small screen, whatever size the window is given,
// the header, the algorithm boxes, the tab bar, the progress bar and the
// start/stop buttons stay in sight, and every other button can be scrolled to.

#include "formprobe.h"

#include <QScopeGuard>
#include <QtTest>
#include <QtWidgets>

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
    void loraKeysAcceptAnyCharacterUpToTheirLength();
    void everyControlIsWithinReach_data();
    void everyControlIsWithinReach();
    void algosTabNeedsNoSidewaysScrollingAtTheDefaultWidth();

private:
    MainWindow m_window;
    const FormProbe form{m_window};
};

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
