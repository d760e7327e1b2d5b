#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationDomain(QStringLiteral("halbrook.example"));
    QCoreApplication::setOrganizationName(QStringLiteral("Halbrook"));
    QCoreApplication::setApplicationName(QStringLiteral("Pelko Configurator"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.4.4"));

    MainWindow window;
    window.show();
    window.setWindowTitle(QStringLiteral("Pelko Configurator - v2.4.4"));
    return app.exec();
}
