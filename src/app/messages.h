#ifndef PELKO_MESSAGES_H
#define PELKO_MESSAGES_H

#include <QString>

class QWidget;

enum class MessageKind { Information, Warning, Critical };

// Every dialog of the program goes through here: a modal message box with a
// single OK button and plain-text content (device text never becomes markup).
void showMessage(QWidget *parent, MessageKind kind, const QString &title, const QString &text);

#endif // PELKO_MESSAGES_H
