#include "session.h"

#include "app/mainwindow.h"
#include "app/messages.h"
#include "link/serialports.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace {
QString said(MessageKind kind, const QString &title, const QString &text)
{
    const char *level = kind == MessageKind::Information ? "" : kind == MessageKind::Warning ? "warning: " : "error: ";
    return QLatin1String(level) + title + QStringLiteral(": ") +
           QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
}
} // namespace

Session::Session(const QString &port, Tell tell) : m_tell(std::move(tell))
{
    listOnlyPort(port);
    m_window = std::make_unique<MainWindow>();
    QObject::connect(m_window.get(), &MainWindow::progressChanged, m_window.get(), [this](int percent) {
        if (percent > 0)
            m_tell(QStringLiteral("%1 %").arg(percent));
    });
}

Session::~Session()
{
    runUnattended({});
}

void Session::attend(const QString &file, bool agree)
{
    Unattended handlers{
        [this](MessageKind kind, const QString &title, const QString &text) { m_tell(said(kind, title, text)); },
        [file](FileChoice) {
            return file;
        }};
    // A question's points ("- ...") are told a line each; declined, the
    // click did not do its work.
    handlers.question = [this, agree](const QString &, const QString &text) {
        for (const QString &line : text.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("- ")))
                m_tell(line.mid(2));
        m_declined = !agree;
        return agree;
    };
    runUnattended(handlers);
}

bool Session::clickShowingNothing(const char *button, const QString &file, bool agree)
{
    m_declined = false;
    attend(file, agree);
    const OperationRecord record;
    if (auto *target = m_window->findChild<QAbstractButton *>(QLatin1String(button)))
        target->click();
    return record.result(true).shown.isEmpty() && !m_declined;
}

// The start button connects a window whose link is down and uploads
// otherwise: each of the two asks for its own half.
bool Session::connect()
{
    attend();
    const bool connects = !m_window->portReady;
    return m_window->start().succeeded && connects;
}

bool Session::read()
{
    // A warning (settings the form could not take as the device holds them)
    // is told a line each, and is not a failure.
    runUnattended({[this](MessageKind kind, const QString &title, const QString &text) {
                       if (kind != MessageKind::Warning)
                           return m_tell(said(kind, title, text));
                       for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                           m_tell(said(kind, title, line));
                   },
                   [](FileChoice) {
                       return QString();
                   }});
    return m_window->readDevice().succeeded;
}

QVector<Untaken::Row> Session::untaken() const
{
    return m_window->untakenByRead ? *m_window->untakenByRead : QVector<Untaken::Row>();
}

bool Session::load(const QString &path, bool takeTheRest)
{
    return clickShowingNothing("loadAlgoConfigButton", path, takeTheRest);
}

bool Session::save(const QString &path)
{
    return clickShowingNothing("saveAlgoConfigButton", path);
}

bool Session::start()
{
    attend();
    const bool uploads = m_window->portReady;
    return m_window->start().succeeded && uploads;
}

void Session::disconnect()
{
    clickShowingNothing("stopButton");
}

const Upload::Delivery &Session::delivered() const
{
    return m_window->uploadDelivery;
}

QVector<Upload::SentLine> Session::planned() const
{
    return m_window->uploadPlan().lines();
}

QByteArray Session::dump() const
{
    return m_window->paramDump;
}

QByteArray Session::loraAnswer() const
{
    return m_window->loraAnswer;
}

QString Session::portRefusal() const
{
    // A port held by another program fails to open, or to be locked, with a
    // permission error; one that is not there, with "device not found".
    const QSerialPort &port = m_window->serial;
    return !port.isOpen() && heldByAnotherProgram(port.error(), port.errorString()) ? port.errorString() : QString();
}

QString Session::devEui() const
{
    const auto *edit = m_window->findChild<QLineEdit *>(QStringLiteral("leDevEUI"));
    return edit ? edit->text() : QString();
}

float Session::firmwareVersion() const
{
    return m_window->firmwareVersion;
}
