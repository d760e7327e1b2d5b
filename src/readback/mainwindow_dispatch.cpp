#include "mainwindow.h"

#include "ui_mainwindow.h"

int MainWindow::decodePelkoData(const QByteArray &, QByteArray &) { return 0; }

