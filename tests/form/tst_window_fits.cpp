// A technician's laptop has a small screen: whatever size the window is given,
// the header, the algorithm boxes, the tab bar, the progress bar and the
// start/stop buttons stay in sight, and every other button can be scrolled to.

#include "mainwindow.h"

#include <QtTest>

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

class WindowFitsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlIsWithinReach_data();
    void everyControlIsWithinReach();
    void algosTabNeedsNoSidewaysScrollingAtTheDefaultWidth();
};

// The part of the widget left visible by every widget around it.
static QRect shownPart(const QWidget *widget)
{
    QRect shown(widget->mapTo(widget->window(), QPoint()), widget->size());
    for (const QWidget *p = widget->parentWidget(); p; p = p->parentWidget())
        shown &= QRect(p->mapTo(p->window(), QPoint()), p->size());
    return shown;
}

static bool wholeInSight(const QWidget *widget)
{
    return widget->isVisible() && shownPart(widget).size() == widget->size();
}

// Scrolls every area around the widget, innermost first, as a user would.
static void scrollTo(QWidget *widget)
{
    for (QWidget *p = widget->parentWidget(); p; p = p->parentWidget())
        if (auto *area = qobject_cast<QScrollArea *>(p))
            area->ensureWidgetVisible(widget);
}

void WindowFitsTest::everyControlIsWithinReach_data()
{
    QTest::addColumn<QSize>("asked");
    // A 1280x720 screen less a title bar and a task bar.
    QTest::newRow("1260x650") << QSize(1260, 650);
    QTest::newRow("smallest allowed") << QSize(1, 1);
}

void WindowFitsTest::everyControlIsWithinReach()
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
        const QString page = tabs->tabText(tab);
        for (QWidget *widget : alwaysInSight)
            QVERIFY2(wholeInSight(widget), qPrintable(page + ": " + widget->objectName()));
        for (QPushButton *button : window.findChildren<QPushButton *>()) {
            if (!button->isVisibleTo(&window))
                continue;
            scrollTo(button);
            QVERIFY2(wholeInSight(button), qPrintable(page + ": " + button->objectName()));
            reached << button;
        }
    }
    QCOMPARE(reached.size(), window.findChildren<QPushButton *>().size());
}

void WindowFitsTest::algosTabNeedsNoSidewaysScrollingAtTheDefaultWidth()
{
    // The offscreen platform writes in 12 points; a desktop, like Debian's or
    // Windows', in 9.
    const QFont platformFont = QApplication::font();
    QFont desktopFont = platformFont;
    desktopFont.setPointSize(9);
    QApplication::setFont(desktopFont);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *area = window.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    const bool sideways = area->horizontalScrollBar()->isVisible();
    const int contentWidth = area->widget()->width();
    QApplication::setFont(platformFont);

    QCOMPARE(window.width(), 659);
    QVERIFY(!sideways);
    QCOMPARE(contentWidth, area->viewport()->width());
}

QTEST_MAIN(WindowFitsTest)
#include "tst_window_fits.moc"
