#include "startup.h"

#include "config/configfile.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

// Room left around the window for its title bar and borders, which are not
// known before it is shown.
static const QSize kWindowFrameAllowance(16, 40);

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationDomain(QStringLiteral("halbrook.example"));
    QCoreApplication::setOrganizationName(QStringLiteral("Halbrook"));
    QCoreApplication::setApplicationName(QStringLiteral("Pelko Configurator"));
    QCoreApplication::setApplicationVersion(QLatin1String(ConfigFile::kProgramVersion));
}

// On a laptop the form's own size can be taller than the screen: open smaller,
// at the top of the screen, so the buttons along the bottom edge stay in reach.
static void fitToScreen(QMainWindow &window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QSize fitting = window.size().boundedTo(room.size() - kWindowFrameAllowance);
    if (fitting == window.size())
        return;
    window.resize(fitting);
    window.move(room.x() + (room.width() - window.width() - kWindowFrameAllowance.width()) / 2, room.y());
}

void showMainWindow(QMainWindow &window)
{
    fitToScreen(window);
    window.show();
    // A fixed literal: the title is not composed from the name and version.
    window.setWindowTitle(QStringLiteral("Pelko Configurator - v2.4.4"));
}
