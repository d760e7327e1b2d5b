#include "mainwindow.h"
#include "formvalues.h"

#include "ui_mainwindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDebug>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

MainWindow::MainWindow(QWidget *parent) :
    QMainWindow(parent),
    ui(new Ui::MainWindow),
    devEuiLocked(false),
    appKeyLocked(false),
    verboseOff(true),
    verboseLedOff(true),
    firmwareVersion(0.0f),
    activeAlgorithmCount(1),
    maxActiveAlgorithms(2)
{
    ui->setupUi(this);
    fields = FormBinding::Fields(*this);
    freshLimits = formLimits(*this);
    formLock.hold(ui->verticalLayout_2, ui->horizontalLayout_2, ui->tabWidget);
    formLock.hold(ui->horizontalLayout_4, ui->startButton, ui->stopButton);
    for (int i = 0; i < ui->tabWidget->count(); ++i)
        formLock.add(ui->tabWidget->widget(i));
    // Every answer is echoed and decoded into the form before it is judged.
    m_session.setAnswerReader([this](const QByteArray &cmd, const QByteArray &answer) {
        QByteArray readData = answer;
        decodePelkoData(cmd, readData);
    });
    connect(&m_session, &DeviceSession::consoleText, this, &MainWindow::noteInConsole);
    connect(&m_session, &DeviceSession::refusalNoted, this, &MainWindow::noteRefusal);
    connect(&m_session, &DeviceSession::deviceLost, this, &MainWindow::reportDeviceLoss);
    connect(&m_session, &DeviceSession::progressed, ui->progressBar, &QProgressBar::setValue);

    connect(this, &MainWindow::signalSerialPortIsReady, this, &MainWindow::managePortReady);
    connect(this, &MainWindow::serialError, this, &MainWindow::manageSerialError);
    connect(ui->progressBar, &QProgressBar::valueChanged, this, &MainWindow::progressChanged);
    // Which tab the user looks at, for reading a debug log alongside a picture.
    connect(ui->tabWidget, &QTabWidget::currentChanged, this,
            [this](int index) { qDebug().noquote() << "Tab shown: " + ui->tabWidget->tabText(index); });

    addDifferenceLine();
    addDayView();
    addReleaseChoice();
    // Any change of the form may change what Start would change on the device.
    const auto changed = [this] {
        markDifferences();
    };
    for (QAbstractButton *button : ui->tabWidget->findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::toggled, this, changed);
    // The algorithm boxes sit above the tabs; a click on one may grey or
    // free others without ticking them.
    for (const Model::Algorithm &algorithm : Model::kAlgorithms)
        if (auto *box = findChild<QAbstractButton *>(QLatin1String(algorithm.checkBox))) {
            connect(box, &QAbstractButton::toggled, this, changed);
            connect(box, &QAbstractButton::clicked, this, changed);
        }
    for (QSpinBox *box : ui->tabWidget->findChildren<QSpinBox *>())
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    for (QDoubleSpinBox *box : ui->tabWidget->findChildren<QDoubleSpinBox *>())
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    for (QSlider *slider : ui->tabWidget->findChildren<QSlider *>())
        connect(slider, &QSlider::valueChanged, this, changed);
    for (QComboBox *combo : ui->tabWidget->findChildren<QComboBox *>())
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    for (QLineEdit *edit : ui->tabWidget->findChildren<QLineEdit *>())
        connect(edit, &QLineEdit::textChanged, this, changed);
    // Not part of the form: what is typed there changes nothing Start sends.
    addCommandLine();

    updateConso();
}

MainWindow::~MainWindow()
{
    // Closing the port as it is destroyed must not reach a window half gone.
    disconnect(&m_session, nullptr, this, nullptr);
    delete ui;
}
