#include "mainwindow.h"

#include "ui_mainwindow.h"

int MainWindow::connectToProduct() { return -1; }

int MainWindow::getProductInfos() { return -1; }

