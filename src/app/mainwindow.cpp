#include "mainwindow.h"

#include "ui_mainwindow.h"

#include <QDebug>

volatile std::sig_atomic_t MainWindow::stopRequested = 0;

static void registerPictures()
{
    // The pictures live in the static library; make sure the linker keeps them.
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(QWidget *parent) :
    QMainWindow(parent),
    ui(new Ui::MainWindow),
    sequenceDepth(0),
    answerCutOff(false),
    lossPending(false),
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
    answerReader = [this](const QByteArray &cmd, QByteArray &answer) {
        decodePelkoData(cmd, answer);
    };
    lossReporter = [this] {
        reportDeviceLoss();
    };

    connect(this, &MainWindow::signalSerialPortIsReady, this, &MainWindow::managePortReady);
    connect(this, &MainWindow::serialError, this, &MainWindow::manageSerialError);
    connect(&serial, &QSerialPort::errorOccurred, this, &MainWindow::manageDeviceLoss);
    connect(ui->progressBar, &QProgressBar::valueChanged, this, &MainWindow::progressChanged);
    // Which tab the user looks at, for reading a debug log alongside a picture.
    connect(ui->tabWidget, &QTabWidget::currentChanged, this,
            [this](int index) { qDebug().noquote() << "Tab shown: " + ui->tabWidget->tabText(index); });

    updateConso();
}

MainWindow::~MainWindow()
{
    // Closing the port as it is destroyed must not reach a window half gone.
    disconnect(&serial, nullptr, this, nullptr);
    delete ui;
}
