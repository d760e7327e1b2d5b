#include "mainwindow.h"

#include "ui_mainwindow.h"

void MainWindow::on_MPUmaxRange_valueChanged(int) {}

void MainWindow::on_rbPelkoLaidFlat_clicked() {}

void MainWindow::on_rbPelkoStayUpright_clicked() {}

void MainWindow::on_rbOTAA_clicked() {}

void MainWindow::on_rbABP_clicked() {}

void MainWindow::on_xChocInhibition_valueChanged(int) {}

void MainWindow::on_xTiltThresholdPitch_valueChanged(int) {}

void MainWindow::on_xTiltThresholdRoll_valueChanged(int) {}

void MainWindow::on_cbMvtActivity_clicked() {}

void MainWindow::on_cbMvtTracking_clicked() {}

void MainWindow::on_cboMvtTrackingBurstMode_currentIndexChanged(int) {}

void MainWindow::on_cbEnableLog_clicked() {}

void MainWindow::on_cbChocEnableShockLog_clicked() {}

void MainWindow::on_cbAliveRefreshMode_clicked() {}

void MainWindow::on_cbTempModeThreshold_clicked() {}

void MainWindow::on_cbTiltModeRefresh_clicked() {}

void MainWindow::on_cbTiltModeOnMove_clicked() {}

void MainWindow::on_cbRotationModeRefresh_clicked() {}

void MainWindow::on_cbRotationModeOnMove_clicked() {}

void MainWindow::on_cbOrientModeRefresh_clicked() {}

void MainWindow::on_cbOrientModeOnMove_clicked() {}

