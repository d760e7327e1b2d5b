#include "mainwindow.h"

#include "ui_mainwindow.h"

void MainWindow::on_startButton_clicked() {}

void MainWindow::on_stopButton_clicked() {}

void MainWindow::initSerial() {}

void MainWindow::managePortReady() {}

void MainWindow::manageSerialError() {}

