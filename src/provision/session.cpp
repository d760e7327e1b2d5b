#include "session.h"

#include "app/mainwindow.h"
#include "app/messages.h"
#include "app/formvalues.h"
#include "link/devicesession.h"
#include "readback/lorafields.h"

namespace {
QString said(MessageKind kind, const QString &title, const QString &text)
{
    const char *level = kind == MessageKind::Information ? "" : kind == MessageKind::Warning ? "warning: " : "error: ";
    return QLatin1String(level) + title + QStringLiteral(": ") +
           QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
}
} // namespace

Session::Session(Tell tell) : m_tell(std::move(tell))
{
    m_window = std::make_unique<MainWindow>();
    m_freshValues = formValues(*m_window);
    QObject::connect(m_window.get(), &MainWindow::progressChanged, m_window.get(), [this](int percent) {
        if (percent > 0)
            m_tell(QStringLiteral("%1 %").arg(percent));
    });
}

ConfigFile::Limits Session::limits() const
{
    return m_window->fileLimits();
}

DeviceSession &Session::link()
{
    return m_window->session();
}

Session::~Session()
{
    runUnattended({});
}

void Session::attend(bool agree)
{
    Unattended handlers{
        [this](MessageKind kind, const QString &title, const QString &text) { m_tell(said(kind, title, text)); },
        [](FileChoice) {
            return QString();
        }};
    // A question's points ("- ...") are told a line each.
    handlers.question = [this, agree](const QString &, const QString &text) {
        for (const QString &line : text.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("- ")))
                m_tell(line.mid(2));
        return agree;
    };
    runUnattended(handlers);
}

// The start button connects a window whose link is down and uploads
// otherwise: each of the two asks for its own half.
bool Session::connect()
{
    attend();
    const bool connects = !m_window->session().linkReady();
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
    attend(takeTheRest);
    return m_window->loadConfiguration(path);
}

bool Session::save(const QString &path)
{
    attend();
    return m_window->saveConfiguration(path);
}

bool Session::start()
{
    attend();
    const bool uploads = m_window->session().linkReady();
    return m_window->start().succeeded && uploads;
}

void Session::disconnect()
{
    attend();
    m_window->hangUp();
}

const Upload::Delivery &Session::delivered() const
{
    return m_window->session().delivery();
}

QVector<Upload::SentLine> Session::planned() const
{
    return m_window->uploadPlan().lines();
}

QByteArray Session::dump() const
{
    return m_window->session().dump();
}

QByteArray Session::loraAnswer() const
{
    return m_window->session().loraAnswer();
}

QString Session::portRefusal() const
{
    // A port held by another program fails to open, or to be locked, with a
    // permission error; one that is not there, with "device not found".
    const DeviceSession &link = m_window->session();
    return !link.isOpen() && link.heldElsewhere() ? link.openError() : QString();
}

QString Session::devEui() const
{
    return LoRaFields::parse(m_window->session().loraAnswer()).devEui.value_or(QString());
}

float Session::firmwareVersion() const
{
    return m_window->session().release();
}

namespace BareDevice {

// Each step is an operation of its own, as a click is in the window: a stop
// during one leaves the goodbye to go out after it.
bool connect(DeviceSession &link)
{
    if (!link.beginOperation())
        return false;
    const bool connected = link.connectDevice() == DeviceSession::Handshake::Done && !link.stopping();
    link.endOperation();
    // Not connected yet: nothing to say goodbye to, the port is let go.
    if (!connected)
        link.close();
    return connected;
}

bool read(DeviceSession &link)
{
    if (!link.beginOperation())
        return false;
    const bool read = link.readDump() && !link.stopping();
    link.endOperation();
    return read;
}

int send(DeviceSession &link, const QByteArray &line)
{
    if (!link.beginOperation())
        return -1;
    const int result = link.sendTypedLine(line);
    link.endOperation();
    return result;
}

void disconnect(DeviceSession &link)
{
    if (!link.beginOperation())
        return;
    if (link.connected())
        link.sayGoodbye();
    link.close();
    link.endOperation();
}

} // namespace BareDevice
