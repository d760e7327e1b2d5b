#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "app/messages.h"
#include "link/consoletext.h"
#include "tools/typedline.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

namespace {

// Up and Down on the command line walk the lines sent from this window.
class HistoryKeys : public QObject
{
public:
    HistoryKeys(QLineEdit *edit, TypedLine::History *history) : QObject(edit), m_edit(edit), m_history(history)
    {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_edit || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down)
            return false;
        m_edit->setText(key == Qt::Key_Up ? m_history->older() : m_history->newer());
        return true;
    }

private:
    QLineEdit *m_edit;
    TypedLine::History *m_history;
};

// The new widgets carry no object name: the form's named widgets stay those
// of the form. They are known by their accessible names.
QPushButton *button(const QString &text, const QString &name)
{
    auto *made = new QPushButton(text);
    made->setAccessibleName(name);
    return made;
}

} // namespace

void MainWindow::addCommandLine()
{
    typedLine = new QLineEdit;
    typedLine->setAccessibleName(QStringLiteral("Command to send"));
    typedLine->setPlaceholderText(QStringLiteral("A command for the Pelko, e.g. BATTERY GET LIFE"));
    QPushButton *send = button(tr("Send"), QStringLiteral("Send"));
    QPushButton *save = button(tr("Save\u2026"), QStringLiteral("Save the console"));
    QPushButton *clear = button(tr("Clear"), QStringLiteral("Clear the console"));
    auto *row = new QHBoxLayout;
    row->addWidget(typedLine, 1);
    row->addWidget(send);
    row->addWidget(save);
    row->addWidget(clear);
    ui->verticalLayout_5->addLayout(row);
    // A little room below, so that a horizontal scroll bar of the tab never covers the row.
    ui->verticalLayout_5->addSpacing(4);
    new HistoryKeys(typedLine, &typedHistory);

    connect(typedLine, &QLineEdit::returnPressed, send, &QPushButton::click);
    connect(send, &QPushButton::clicked, this, [this] { sendTypedLine(typedLine->text()); });
    connect(save, &QPushButton::clicked, this, [this] {
        const QString path = chooseConfigurationFile(this, FileChoice::SaveConsole);
        if (!path.isEmpty())
            saveConsole(path);
    });
    connect(clear, &QPushButton::clicked, ui->consoleOutput, &QTextEdit::clear);
}

OperationResult MainWindow::sendTypedLine(const QString &line)
{
    qDebug() << "sendTypedLine";
    QString why = TypedLine::refusal(line);
    if (why.isEmpty() && typedHistory.isMaskedEntry(line))
        why = QStringLiteral("a line with a key is not sent again from the history, type it in full");
    if (!why.isEmpty()) {
        qDebug().noquote() << "Typed line not sent: " + why;
        noteInConsole(QStringLiteral("\nNot sent: %1.\n").arg(why));
        return {};
    }
    if (m_session.linkReady()) {
        typedHistory.add(line);
        typedLine->clear();
    }
    // The device goes away after these: the user is told as by the Tools buttons.
    if (TypedLine::restarts(line))
        return restartDevice();
    if (TypedLine::powersOff(line))
        return powerOff();

    return operation([this, line] {
        if (refuseWithoutLink(this, ui->leVersion, m_session.linkReady()))
            return false;
        // The line stands in the console before its answer, as in a terminal.
        const QString shown = ui->consoleOutput->toPlainText();
        noteInConsole((shown.endsWith(QLatin1Char('>')) ? QString() : QStringLiteral("> ")) + maskKeys(line.trimmed()) +
                      QLatin1Char('\n'));
        // A reading command goes out as the program sends it, so that its
        // answer fills the form as the program's own does.
        const QByteArray reading = TypedLine::readingCommand(line);
        if (!reading.isEmpty())
            return m_session.sendOneCommand(reading, QByteArray(), 0, QString()) == 0;

        const int result = m_session.sendTypedLine(TypedLine::wireText(line));
        // Whatever the line did, what the last Read found may no longer hold.
        forgetDevice();
        readWouldTell = true;
        return result == 0;
    });
}

bool MainWindow::saveConsole(const QString &path)
{
    return saveWhole(path,
                     TypedLine::consoleFile(ui->consoleOutput->toPlainText(), QDateTime::currentDateTimeUtc()).toUtf8(),
                     tr("The console could not be saved to %1: %2"));
}
