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

    if (m_session.sendOneCommand("READY", QByteArray(), 0, QString()) == 0) {
        qDebug() << "==> Product is successfully connected.";
        ui->readAlgoButton->setEnabled(true);
        // A file is checked against the connected release, and saved with
        // the settings that release has.
        ui->loadAlgoConfigButton->setEnabled(true);
        ui->saveAlgoConfigButton->setEnabled(true);
        return getProductInfos();
    }

    fail(Error::NoAnswerToReady);
    qDebug() << "Product is not connected";
    m_session.setLinkReady(false);
    return -1;
}

int MainWindow::getProductInfos()
{
    struct Step
    {
        const char *cmd;
        const char *param;
    };
    // Debug output is on while the device describes itself, off afterwards.
    static const Step steps[] = {
        {"DEBUG", "1"},
        {"VERSION", ""},
        {"LORA GET", ""},
        {"DEBUG", "0"},
    };
    for (const Step &step : steps) {
        const QByteArray cmd(step.cmd);
        const QByteArray param(step.param);
        if (m_session.sendOneCommand(cmd, param, 0, QString()) != 0) {
            const QByteArray named = param.isEmpty() ? cmd : cmd + ' ' + param;
            qDebug().noquote() << "ERROR when sending command '" + QString::fromUtf8(named) + "'";
            return -1;
        }
    }
    verboseOff = true;
    ui->pbEnableDebug->setText(tr("Enable debug"));
    return 0;
}
