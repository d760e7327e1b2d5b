#include "messages.h"

#include <QApplication>
#include <QDebug>
#include <QFileDialog>
#include <QMessageBox>
#include <QTextEdit>

namespace {
Unattended unattended;
QVector<OperationRecord *> records;
} // namespace

OperationRecord::OperationRecord()
{
    records.append(this);
}

OperationRecord::~OperationRecord()
{
    records.removeOne(this);
}

OperationResult OperationRecord::result(bool succeeded) const
{
    OperationResult out = m_result;
    out.succeeded = succeeded;
    return out;
}

void runUnattended(const Unattended &handlers)
{
    unattended = handlers;
}

void showMessage(QWidget *parent, MessageKind kind, const QString &title, const QString &text)
{
    for (OperationRecord *record : records)
        record->m_result.shown.append({kind, title, text});
    if (unattended.message) {
        unattended.message(kind, title, text);
        return;
    }
    QMessageBox::Icon icon = QMessageBox::Information;
    if (kind == MessageKind::Warning)
        icon = QMessageBox::Warning;
    else if (kind == MessageKind::Critical)
        icon = QMessageBox::Critical;

    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("pelkoMessageBox"));
    box.setTextFormat(Qt::PlainText);
    // A box shown while the window waits for the device wants an answer from
    // the user: the usual cursor while it is open.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
}

bool askQuestion(QWidget *parent, const QString &title, const QString &text)
{
    if (unattended.question)
        return unattended.question(title, text);
    if (unattended.message) {
        showMessage(parent, MessageKind::Warning, title, text);
        return false;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("pelkoQuestionBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool yes = box.exec() == QMessageBox::Yes;
    if (busy)
        QApplication::restoreOverrideCursor();
    return yes;
}

void reportError(QWidget *parent, QTextEdit *status, Error error)
{
    for (OperationRecord *record : records)
        record->m_result.error = error;
    const ErrorReport report = errorReport(error);
    if (!report.status.isEmpty()) {
        status->clear();
        status->insertPlainText(report.status);
        status->setStyleSheet(StatusStyle::error);
    }
    if (!report.title.isEmpty())
        showMessage(parent, report.kind, report.title, report.text);
}

bool refuseWithoutLink(QWidget *parent, QTextEdit *status, bool portReady)
{
    if (portReady)
        return false;
    qDebug().noquote() << "ERROR 7: port com is not ready: Product not connected";
    reportError(parent, status, Error::NotConnected);
    return true;
}

QString chooseConfigurationFile(QWidget *parent, FileChoice choice)
{
    if (unattended.file)
        return unattended.file(choice);
    const bool open = choice == FileChoice::Open;
    const bool console = choice == FileChoice::SaveConsole;
    QFileDialog dialog(parent,
                       open      ? QObject::tr("Load a configuration")
                       : console ? QObject::tr("Save the console")
                                 : QObject::tr("Save the configuration"),
                       QString(),
                       console ? QObject::tr("Text (*.txt);;All files (*)")
                               : QObject::tr("Pelko configuration (*.json);;All files (*)"));
    dialog.setObjectName(QStringLiteral("pelkoFileDialog"));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(console ? QStringLiteral("txt") : QStringLiteral("json"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
