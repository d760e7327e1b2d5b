#include "mainwindow.h"

#include "ui_mainwindow.h"

int MainWindow::savedMpuMaxRange = 0;

bool MainWindow::uprightForcedByRotation = false;

void MainWindow::checkNumberAlgoCompatibility(int) {}

void MainWindow::on_cbAlive_clicked() {}

void MainWindow::on_cbChoc_clicked() {}

void MainWindow::on_cbMvt_clicked() {}

void MainWindow::on_cbTemp_clicked() {}

void MainWindow::on_cbTilt_clicked() {}

void MainWindow::on_cbRotation_clicked() {}

void MainWindow::on_cbOrient_clicked() {}

void MainWindow::on_cbVibe_clicked() {}

