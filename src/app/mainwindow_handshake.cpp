#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "messages.h"

#include <QDateTime>
#include <QDebug>

int MainWindow::connectToProduct()
{
    // Each connection starts a fresh console, dated so that a saved console
    // tells when the dialogue took place.
    ui->consoleOutput->setPlainText(QLatin1String("----------------------> ") +
                                    QDateTime::currentDateTimeUtc().toString(Qt::TextDate) +
                                    QLatin1String(" <----------------------\n"));

    const DeviceSession::Handshake done = m_session.handshake();
    if (done == DeviceSession::Handshake::NoAnswerToReady) {
        fail(Error::NoAnswerToReady);
        return -1;
    }
    // The device answers: it can be read, and a file is checked against
    // its release and saved with the settings that release has.
    ui->readAlgoButton->setEnabled(true);
    ui->loadAlgoConfigButton->setEnabled(true);
    ui->saveAlgoConfigButton->setEnabled(true);
    if (done != DeviceSession::Handshake::Done)
        return -1;
    verboseOff = true;
    ui->pbEnableDebug->setText(tr("Enable debug"));
    return 0;
}
