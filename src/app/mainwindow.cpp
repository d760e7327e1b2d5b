#include "mainwindow.h"

#include "ui_mainwindow.h"

static void registerPictures()
{
    // The pictures live in the static library; make sure the linker keeps them.
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(QWidget *parent) :
    QMainWindow(parent),
    ui(new Ui::MainWindow),
    portReady(false),
    productConnected(false),
    portFound(false),
    devEuiLocked(false),
    appKeyLocked(false),
    alertPeriodPending(false),
    verboseOff(true),
    verboseLedOff(true),
    firmwareVersion(0.0f),
    activeAlgorithmCount(1),
    maxActiveAlgorithms(2)
{
    registerPictures();
    ui->setupUi(this);

    connect(this, &MainWindow::signalSerialPortIsReady, this, &MainWindow::managePortReady);
    connect(this, &MainWindow::serialError, this, &MainWindow::manageSerialError);

    updateConso();
}

MainWindow::~MainWindow()
{
    delete ui;
}
