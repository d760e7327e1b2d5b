#include "mainwindow.h"

#include "ui_mainwindow.h"

int MainWindow::sendParameters() { return -1; }

