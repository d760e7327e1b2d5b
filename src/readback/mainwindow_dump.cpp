#include "mainwindow.h"

#include "ui_mainwindow.h"

void MainWindow::on_readAlgoButton_clicked() {}

int MainWindow::decodePelkoAlgo(int) { return -1; }

