#include "mainwindow.h"

#include "ui_mainwindow.h"

int MainWindow::decodePelkoLoRa() { return 0; }

