#include "mainwindow.h"

#include "ui_mainwindow.h"

void MainWindow::updateConso() {}

void MainWindow::CalculConsommation() {}

void MainWindow::on_cboConsoLoRaSF_currentIndexChanged(int) {}

void MainWindow::on_pbConsoCalculate_clicked() {}

