#include "mainwindow.h"

#include "ui_mainwindow.h"

int MainWindow::sendOneCommand(const QByteArray &, const QByteArray &, int, const QString &) { return -1; }

int MainWindow::write(const QByteArray &) { return -1; }

int MainWindow::read(QByteArray &) { return 1; }

