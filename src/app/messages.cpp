#include "messages.h"

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
    box.exec();
}
