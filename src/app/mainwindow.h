#ifndef PELKO_MAINWINDOW_H
#define PELKO_MAINWINDOW_H

#include "config/configfile.h"
#include "form/formbinding.h"
#include "formlock.h"
#include "link/devicesession.h"
#include "messages.h"
#include "model/uploadplan.h"
#include "tools/typedline.h"
#include "upload/delivery.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
namespace Comparison {
struct DeviceState;
}
namespace Untaken {
struct Row;
}

struct DebugSwitch;

QT_BEGIN_NAMESPACE
namespace Ui {
class MainWindow;
}
QT_END_NAMESPACE

// The one window of the program: the form, and what it shows of the device
// session under it. Its member functions are grouped by subsystem in
// mainwindow_<subsystem>.cpp beside this file; they share the state below and
// reach the form through `ui`. What the subsystems know without a form (the
// link, the dump, the plan of an upload, the files) lives in src/<subsystem>/
// and links no widget.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // What the buttons do, each giving what it came to; the buttons' slots
    // run them and the window has shown its boxes on the way.
    OperationResult start();      // "Connection" while not connected, else "Start" (the upload)
    OperationResult readDevice(); // "Read" (mainwindow_dump.cpp)
    // The tools (mainwindow_tools.cpp)
    OperationResult toggleDebug();
    OperationResult toggleLedDebug();
    OperationResult readBattery();
    OperationResult resetToFactory();
    OperationResult restartDevice();
    OperationResult powerOff();
    // "Send" under the console: a line typed by hand, its answer in the
    // console and in the form; "Save…" beside it keeps the console in a
    // text file (mainwindow_typed.cpp).
    OperationResult sendTypedLine(const QString &line);
    bool saveConsole(const QString &path);
    // Load and Save once a file is chosen: true when the form took the whole
    // file, or the file holds the form (mainwindow_config.cpp).
    bool loadConfiguration(const QString &path);
    bool saveConfiguration(const QString &path);
    // What the stop button does while no operation runs: the goodbye, and
    // the link taken down (mainwindow_link.cpp).
    void hangUp();

signals:
    void signalSerialPortIsReady();
    void serialError();
    // The upload's progress, in per cent, as the progress bar shows it.
    void progressChanged(int percent);

public slots:
    // Port discovery, opening and link events (mainwindow_link.cpp)
    void manageSerialError();
    void managePortReady();
    void initSerial();

    // Connection handshake (mainwindow_handshake.cpp)
    int connectToProduct();

    // Readback (mainwindow_dispatch.cpp, mainwindow_lora.cpp, mainwindow_apply.cpp)
    int decodePelkoAlgo(int mode);
    int decodePelkoLoRa();
    void applyParameters();
    int decodePelkoData(const QByteArray &cmd, QByteArray &readData);

    // Upload (mainwindow_upload.cpp): carries out the plan of the
    // form as it stands.
    int sendParameters();

    // Consumption calculator (mainwindow_calc.cpp)
    void updateConso();
    void CalculConsommation();

private slots:
    // Link buttons (mainwindow_link.cpp)
    void on_startButton_clicked();
    void on_stopButton_clicked();

    // Readback (mainwindow_dump.cpp)
    void on_readAlgoButton_clicked();

    // Configuration files (mainwindow_config.cpp)
    void on_loadAlgoConfigButton_clicked();
    void on_saveAlgoConfigButton_clicked();

    // Maintenance tools (mainwindow_tools.cpp)
    void on_pbResetParam_clicked();
    void on_pbEnableDebug_clicked();
    void on_pbEnableDebugLed_clicked();
    void on_pbRestartProduct_clicked();
    void on_pbTurnOffProduct_clicked();
    void on_pbGetBatteryStatus_clicked();

    // Algorithm selection (mainwindow_algos.cpp)
    void checkNumberAlgoCompatibility(int mode);
    void on_cbAlive_clicked();
    void on_cbChoc_clicked();
    void on_cbMvt_clicked();
    void on_cbTemp_clicked();
    void on_cbTilt_clicked();
    void on_cbRotation_clicked();
    void on_cbOrient_clicked();
    void on_cbVibe_clicked();
    void on_cbAliveRefreshMode_clicked();
    void on_cbTiltModeRefresh_clicked();
    void on_cbTiltModeOnMove_clicked();
    void on_cbRotationModeRefresh_clicked();
    void on_cbRotationModeOnMove_clicked();
    void on_cbOrientModeRefresh_clicked();
    void on_cbOrientModeOnMove_clicked();

    // Dependent-field interlocks (mainwindow_interlocks.cpp)
    void on_MPUmaxRange_valueChanged(int value);
    void on_rbPelkoLaidFlat_clicked();
    void on_rbPelkoStayUpright_clicked();
    void on_rbOTAA_clicked();
    void on_rbABP_clicked();
    void on_xChocInhibition_valueChanged(int value);
    void on_xTiltThresholdPitch_valueChanged(int value);
    void on_xTiltThresholdRoll_valueChanged(int value);
    void on_cbMvtActivity_clicked();
    void on_cbMvtTracking_clicked();
    void on_cboMvtTrackingBurstMode_currentIndexChanged(int index);
    void on_cbEnableLog_clicked();
    void on_cbChocEnableShockLog_clicked();
    void on_cbTempModeThreshold_clicked();

    // Consumption calculator (mainwindow_calc.cpp)
    void on_cboConsoLoRaSF_currentIndexChanged(int index);
    void on_pbConsoCalculate_clicked();

protected:
    // Closing the window during an operation stops it first, then closes.
    void closeEvent(QCloseEvent *event) override;

private:
    friend class BusySequence;
    // Writes `content` whole to `path` under Save's rule (a regular file or
    // a new path; a short write is an error), else tells `couldNot`
    // (mainwindow_config.cpp).
    bool saveWhole(const QString &path, const QByteArray &content, const QString &couldNot);
    // Runs one click's work as a busy sequence and records what it showed
    // (busysequence.cpp). `stoppedAs` is what the user is told if a
    // Stop cuts the work short. Refused while another operation waits on the
    // device.
    OperationResult operation(const std::function<bool()> &work, Error stoppedAs = Error::ToolStopped);
    // Reports an error of an operation, unless a Stop cut it short: the user
    // is then told of the stop instead.
    void fail(Error error);
    // Says goodbye to the device and takes the link down (the disconnect
    // path); nothing at all during a stopped operation, which leaves the link
    // as it is (mainwindow_link.cpp).
    void disconnectDevice();
    // Debug and LED debug, one handler for both (mainwindow_tools.cpp).
    OperationResult toggleDebugSwitch(const DebugSwitch &debug);
    bool readParameters(); // the work of "Read" (mainwindow_dump.cpp)
    // Tells the user, once, that the device went, and leaves the window
    // disconnected (mainwindow_link.cpp).
    void reportDeviceLoss();
    // The console: text at its end, and the note of a refused command just
    // before the end of its echoed answer (mainwindow_dispatch.cpp).
    void noteInConsole(const QString &text);
    void noteRefusal(const QString &note);
    // The steps the algorithm sections share (mainwindow_algos.cpp):
    // switching one on or off, and a click on a mode box of TILT, ROTATION
    // or ORIENTATION.
    int switchSection(int section);
    // Puts a checked configuration file's values into the form
    // (mainwindow_config.cpp).
    void applyConfiguration(const QVariantMap &values);
    // After the program set a box or radio button, runs what a click on it
    // runs, if anything; `onRead`: only for the boxes whose fields the
    // readback makes follow them (mainwindow_algos.cpp).
    void followBox(const char *name, bool onRead = false);
    void modeClicked(int section, bool onMove);
    // The fields whose upload line would change the device as the last Read
    // found it are marked, and counted beside the progress bar; nothing is
    // marked before a Read or once the link is taken down
    // (mainwindow_marks.cpp).
    void addDifferenceLine();
    void rememberDevice(std::shared_ptr<const Comparison::DeviceState> state);
    void forgetDevice();
    void markDifferences();
    void placeMarks();
    std::shared_ptr<const Comparison::DeviceState> deviceHeld;
    bool marksDue = false;
    bool readWouldTell = false; // a line typed since may have changed the device
    QLabel *differenceLine = nullptr;
    // "From the configuration" on the Calculator tab fills the inputs the form
    // decides and keeps them following the form until one is typed over; the
    // tab's line says what came from where, and, after a Read, the lifetime
    // of what the device holds. A chart shows where the day's charge goes
    // (mainwindow_calc.cpp).
    struct DayView;
    std::shared_ptr<DayView> dayView;
    void addDayView();
    void fillDayFromForm();
    void followForm();
    void showDayLine();

    // The command line under the console and the lines sent from it.
    void addCommandLine();
    QLineEdit *typedLine = nullptr;
    TypedLine::History typedHistory;
    // Opens the fields the identified release offers, as its VERSION answer
    // does; `closeLacking` also closes those it lacks, for a form that was
    // open for another release (mainwindow_dispatch.cpp).
    void adaptToRelease(bool closeLacking);
    // A configuration prepared without a device, for a release chosen beside
    // the Connection button: the form as that release's VERSION answer
    // leaves it, Load and Save open, nothing sent. Connecting ends it, and
    // names what the device's release lacks (mainwindow_prepare.cpp).
    void addReleaseChoice();
    void prepareFor(int choice);
    void followLink();
    void endPreparation(float prepared, const QVariantMap &form);
    QComboBox *releaseChoice = nullptr;
    float preparedFor = 0.0f; // 0 while not preparing

    // What the form's rules remember of this form (mainwindow_algos.cpp):
    // the range ORIENTATION gives back, first taken from the slider as it
    // stands on the window's first ORIENTATION click, and whether ROTATION
    // is the one that made the device stay upright.
    int savedMpuMaxRange = 0;
    bool mpuRangeRemembered = false;
    bool uprightForcedByRotation = false;

    Ui::MainWindow *ui;
    // The form's widgets by object name, for the settings named by files,
    // dumps and the parameter table.
    FormBinding::Fields fields;
    ConfigFile::Limits freshLimits; // what the form admits as it is built
    // Disables the form while an operation runs (busysequence.cpp).
    FormLock formLock;
    // The device on the port, the exchange with it and the operation under way.
    DeviceSession m_session;
    std::optional<Error> stopTold; // what the stopped click tells the user
    bool closeWhenIdle = false;    // the window was closed during an operation
    bool stopButtonKept = false;   // the click under way set the stop button itself
    void setStopButton(bool enabled, const QString &caption = QString());

public:
    // What a configuration file may hold: the limits of the form as built.
    const ConfigFile::Limits &fileLimits() const { return freshLimits; }
    DeviceSession &session() { return m_session; }
    const DeviceSession &session() const { return m_session; }
    bool devEuiLocked;
    bool appKeyLocked;
    bool verboseOff;
    bool verboseLedOff;
    float firmwareVersion;
    int activeAlgorithmCount;
    int maxActiveAlgorithms;
    QByteArray loraAnswer;
    QByteArray paramDump;
    // What the last Read's dump holds that the form could not take as it is,
    // each with what Start would send instead (src/readback/untaken.h); null
    // until a Read decodes a dump.
    std::shared_ptr<const QVector<Untaken::Row>> untakenByRead;
    // The same for the form as it stands against what a device reports.
    QVector<Untaken::Row> untakenFrom(const Comparison::DeviceState &device) const;
    bool dumpDecoded = false; // by the Read under way
    // What an upload of the form as it stands would send to this device.
    Upload::Plan uploadPlan() const;
};

#endif // PELKO_MAINWINDOW_H
