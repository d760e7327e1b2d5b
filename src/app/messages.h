#ifndef PELKO_MESSAGES_H
#define PELKO_MESSAGES_H

#include "report/errors.h"

#include <QString>

class QTextEdit;
class QWidget;

// Every dialog of the program goes through here: a modal message box with a
// single OK button and plain-text content (device text never becomes markup).
void showMessage(QWidget *parent, MessageKind kind, const QString &title, const QString &text);

// Tells the user about an error: its text on red in the status box first,
// then its box.
void reportError(QWidget *parent, QTextEdit *status, Error error);

#endif // PELKO_MESSAGES_H
