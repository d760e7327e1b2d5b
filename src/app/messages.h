#ifndef PELKO_MESSAGES_H
#define PELKO_MESSAGES_H

#include "report/errors.h"

#include <QString>
#include <QVector>

#include <functional>
#include <optional>

class QTextEdit;
class QWidget;

// Every dialog of the program goes through here: a modal message box with a
// single OK button and plain-text content (device text never becomes markup).
void showMessage(QWidget *parent, MessageKind kind, const QString &title, const QString &text);

// Asks the user a question with Yes and No, No the default; true for Yes.
bool askQuestion(QWidget *parent, const QString &title, const QString &text);

// Tells the user about an error: its text on red in the status box first,
// then its box.
void reportError(QWidget *parent, QTextEdit *status, Error error);

// What one operation of the window (Connect, Read, Start, a tool) came to:
// whether it did what it was asked, the last error it reported, and every box
// the user was shown on the way, in order. The window has shown them already;
// a program driving the window reads them here instead of from the boxes.
struct ShownMessage
{
    MessageKind kind;
    QString title;
    QString text;
};
struct OperationResult
{
    bool succeeded = false;
    bool stopped = false; // a Stop cut it short: nothing more went out after the line in flight
    std::optional<Error> error;
    QVector<ShownMessage> shown;
};

// Gathers what is shown and reported for as long as it lives. Records nest:
// an operation run inside another (a restart connects again) is seen by both.
class OperationRecord
{
public:
    OperationRecord();
    ~OperationRecord();
    OperationRecord(const OperationRecord &) = delete;
    OperationRecord &operator=(const OperationRecord &) = delete;

    OperationResult result(bool succeeded) const;

private:
    friend void showMessage(QWidget *, MessageKind, const QString &, const QString &);
    friend void reportError(QWidget *, QTextEdit *, Error);
    OperationResult m_result;
};

// Every request to the device needs a ready link: without one the user is told
// to connect first (Error 7) and the caller sends nothing. True when refused.
bool refuseWithoutLink(QWidget *parent, QTextEdit *status, bool portReady);

// Every file the user picks goes through here as well: a file dialog the
// window owns, asking for a configuration file to open or a name to save it
// under (or a text file to keep the console in). Empty when the user cancels.
enum class FileChoice { Open, Save, SaveConsole };
QString chooseConfigurationFile(QWidget *parent, FileChoice choice);

// A program that drives the window without anyone at it (the provisioning
// tool) takes the messages, questions and file choices itself: no box opens
// and no dialog waits. Empty handlers restore the boxes and dialogs; a
// question without its handler is told as a warning and answered No, so
// that nothing changes unasked.
struct Unattended
{
    std::function<void(MessageKind kind, const QString &title, const QString &text)> message;
    std::function<QString(FileChoice choice)> file;
    std::function<bool(const QString &title, const QString &text)> question = {};
};
void runUnattended(const Unattended &handlers);

#endif // PELKO_MESSAGES_H
