#include "startup.h"

#include <QCoreApplication>
#include <QMainWindow>

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationDomain(QStringLiteral("halbrook.example"));
    QCoreApplication::setOrganizationName(QStringLiteral("Halbrook"));
    QCoreApplication::setApplicationName(QStringLiteral("Pelko Configurator"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.4.4"));
}

void showMainWindow(QMainWindow &window)
{
    window.show();
    // A fixed literal: the title is not composed from the name and version.
    window.setWindowTitle(QStringLiteral("Pelko Configurator - v2.4.4"));
}
