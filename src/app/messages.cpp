#include "messages.h"

#include <QApplication>
#include <QMessageBox>

void showMessage(QWidget *parent, MessageKind kind, const QString &title, const QString &text)
{
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
