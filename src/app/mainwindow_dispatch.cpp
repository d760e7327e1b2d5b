#include "mainwindow.h"

#include "logic/formrules.h"

#include "ui_mainwindow.h"

#include "app/messages.h"
#include "firmware/releases.h"
#include "link/commandline.h"
#include "link/consoletext.h"

#include <QDebug>
#include <QTextCursor>

namespace {
// Device text always goes in as plain characters, never as markup.
void replacePlainText(QTextEdit *box, const QString &text)
{
    box->clear();
    QTextCursor cursor = box->textCursor();
    cursor.insertText(text);
}
} // namespace

void MainWindow::noteInConsole(const QString &text)
{
    QTextCursor cursor = ui->consoleOutput->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    ui->consoleOutput->setTextCursor(cursor);
    ui->consoleOutput->ensureCursorVisible();
}

void MainWindow::noteRefusal(const QString &note)
{
    // Just before the answer's closing line break, so that it reads as part
    // of the refused answer.
    QTextCursor cursor = ui->consoleOutput->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 2);
    cursor.insertText(note);
    ui->consoleOutput->setTextCursor(cursor);
    ui->consoleOutput->ensureCursorVisible();
}

void MainWindow::adaptToRelease(bool closeLacking)
{
    using Firmware::Feature;
    const auto has = [this](Feature feature) {
        return Firmware::opens(firmwareVersion, feature);
    };
    // A field the release offers opens (when what it depends on holds); one
    // it lacks closes only when asked, for a form that was open for another
    // release.
    const auto offer = [&](Feature feature, std::initializer_list<QWidget *> fields, bool when = true) {
        const bool offered = has(feature);
        for (QWidget *field : fields)
            if ((offered && when) || (!offered && closeLacking))
                field->setEnabled(offered);
    };
    if (activeAlgorithmCount == 1) {
        ui->cbChoc->setEnabled(true);
        ui->cbMvt->setEnabled(true);
        ui->cbOrient->setEnabled(true);
        ui->cbTilt->setEnabled(true);
        ui->cbRotation->setEnabled(true);
        if (ui->cbAliveRefreshMode->isChecked() && has(Feature::AliveFramesUncounted)) {
            ui->cbTemp->setEnabled(true);
            ui->cbVibe->setEnabled(true);
        }
    }
    offer(Feature::CommonAlertPeriod, {ui->xAlgoPeriod, ui->tAlgoPeriod});
    offer(Feature::OrientationChoice, {ui->rbPelkoLaidFlat, ui->rbPelkoStayUpright});
    offer(Feature::TiltAlertBoxes, {ui->cbTiltModeAlertMultiple, ui->cbTiltModeAlertZone}, ui->cbTilt->isChecked());
    offer(Feature::SignedTiltMeasure, {ui->cbTiltModeSignedMeasure}, ui->cbTilt->isChecked());
    offer(Feature::PowerOffBox, {ui->cbAllowPowerOFF, ui->tAllowPowerOFF});
    if (has(Feature::AliveFramesUncounted) && ui->cbAliveRefreshMode->isChecked())
        checkNumberAlgoCompatibility(0);
    offer(Feature::MotionTracking, {ui->tMvtTracking});
    offer(Feature::MotionTracking, {ui->cbMvtTracking}, ui->cbMvt->isChecked());
    offer(Feature::EventLog, {ui->tEnableLog, ui->tNbAliveFrameBeforeLog, ui->tNbSecondBeforeStart, ui->tButtonDelay,
                              ui->cbEnableLog, ui->xNbAliveFrameBeforeLog, ui->xNbSecondBeforeStart, ui->xButtonDelay});
    offer(Feature::ShockLog, {ui->tChocEnableShockLog, ui->tChocNbAliveFrameBeforeShockLog});
    // The form may already hold algorithms, chosen before connecting or
    // for a device of another release: the count and the boxes follow
    // the form as it stands.
    checkNumberAlgoCompatibility(FormRules::RecountForRelease);
}

int MainWindow::decodePelkoData(const QByteArray &cmd, QByteArray &readData)
{
    const QString echo = consoleEcho(readData);
    noteInConsole(echo);

    if (cmd == "VERSION") {
        firmwareVersion = Firmware::identify(readData, firmwareVersion);
        qDebug() << "Pelko Firmware version :" << firmwareVersion;

        adaptToRelease(preparedFor != 0.0f);
        qDebug() << "nb_enabled_UC :" << activeAlgorithmCount;

        replacePlainText(ui->leVersion, echo);
        if (ui->leVersion->toPlainText().isEmpty()) {
            qDebug() << "ERROR 6";
            reportError(this, ui->leVersion, Error::NoVersion);
        } else {
            ui->leVersion->setStyleSheet(StatusStyle::ok);
        }
        return 0;
    }
    // The settings and the dump are decoded only from an answer the device
    // accepted: a refused or broken one would otherwise wipe the form (every
    // algorithm box is cleared before a dump is applied).
    const bool accepted = judgeAnswer(cmd, trimAnswer(readData)) == 0;
    if ((cmd == "LORA GET" || cmd == "DUMP RAM PARAM") && !accepted) {
        qDebug() << cmd << "answer not accepted: nothing decoded";
        return 0;
    }
    if (cmd == "LORA GET") {
        loraAnswer = readData;
        return decodePelkoLoRa();
    }
    if (cmd == "DUMP RAM PARAM") {
        paramDump = readData;
        activeAlgorithmCount = 0;
        return decodePelkoAlgo(2);
    }
    return 0;
}
