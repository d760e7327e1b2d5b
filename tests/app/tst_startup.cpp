#include "mainwindow.h"
#include "startup.h"

#include <QPushButton>
#include <QScreen>
#include <QtTest>

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void theProgramIntroducesItselfAsPelkoConfigurator244();
    void aFreshWindowHasNoLinkAndOffersOnlyToConnect();
};

void StartupTest::theProgramIntroducesItselfAsPelkoConfigurator244()
{
    setApplicationIdentity();
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Halbrook"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Pelko Configurator"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("2.4.4"));

    MainWindow window;
    showMainWindow(window);
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), QStringLiteral("Pelko Configurator - v2.4.4"));
    // The offscreen screen, 800x600, is shorter than the form: the window opens within it.
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(window.frameGeometry()));
    QCOMPARE(window.width(), 659);
}

void StartupTest::aFreshWindowHasNoLinkAndOffersOnlyToConnect()
{
    MainWindow window;
    QVERIFY(!window.session().linkReady() && !window.session().connected() && !window.session().port().isOpen());
    // Read, Load and Save wait for a device.
    for (const char *name : {"startButton", "readAlgoButton", "loadAlgoConfigButton", "saveAlgoConfigButton"}) {
        auto *button = window.findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button && button->isEnabled() == (QByteArray(name) == "startButton"), name);
    }
    // Stop has nothing to stop: it leaves only the start button.
    auto *stop = window.findChild<QPushButton *>(QStringLiteral("stopButton"));
    stop->click();
    QVERIFY(!stop->isEnabled() && window.findChild<QPushButton *>(QStringLiteral("startButton"))->isEnabled());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
