#include "session.h"

#include "app/mainwindow.h"
#include "app/messages.h"
#include "link/serialports.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>

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
    if (auto *bar = m_window->findChild<QProgressBar *>(QStringLiteral("progressBar"))) {
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [this](int percent) {
            if (percent > 0)
                m_tell(QStringLiteral("%1 %").arg(percent));
        });
    }
}

Session::~Session()
{
    runUnattended({});
}

QStringList Session::click(const char *button, const QString &file)
{
    QStringList messages;
    runUnattended({[&](MessageKind kind, const QString &title, const QString &text) {
                       messages << said(kind, title, text);
                       m_tell(messages.constLast());
                   },
                   [file](FileChoice) {
                       return file;
                   }});
    if (auto *target = m_window->findChild<QAbstractButton *>(QLatin1String(button)))
        target->click();
    return messages;
}

bool Session::connect()
{
    const QStringList messages = click("startButton");
    return messages.size() == 1 && messages.constFirst().startsWith(QLatin1String("Information: "));
}

bool Session::read()
{
    // A warning (algorithms the form could not tick) is told, not a failure.
    const QStringList messages = click("readAlgoButton");
    return std::none_of(messages.begin(), messages.end(),
                        [](const QString &message) { return message.startsWith(QLatin1String("error: ")); });
}

bool Session::load(const QString &path)
{
    return click("loadAlgoConfigButton", path).isEmpty();
}

bool Session::save(const QString &path)
{
    return click("saveAlgoConfigButton", path).isEmpty();
}

bool Session::start()
{
    const QStringList messages = click("startButton");
    return !messages.isEmpty() && messages.constLast().startsWith(QLatin1String("Success: "));
}

void Session::disconnect()
{
    click("stopButton");
}

QVector<Upload::SentLine> Session::sent() const
{
    return m_window->uploadSent;
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
    return !port.isOpen() && port.error() == QSerialPort::PermissionError ? port.errorString() : QString();
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
