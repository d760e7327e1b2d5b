#include "mainwindow.h"

#include "ui_mainwindow.h"

void MainWindow::on_pbResetParam_clicked() {}

void MainWindow::on_pbEnableDebug_clicked() {}

void MainWindow::on_pbEnableDebugLed_clicked() {}

void MainWindow::on_pbRestartProduct_clicked() {}

void MainWindow::on_pbTurnOffProduct_clicked() {}

void MainWindow::on_pbGetBatteryStatus_clicked() {}

