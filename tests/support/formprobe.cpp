#include "formprobe.h"

#include <QStringList>

namespace {
QString kindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return QStringLiteral("information");
    case MessageKind::Warning:
        return QStringLiteral("warning");
    case MessageKind::Critical:
        return QStringLiteral("critical");
    }
    return QString();
}
} // namespace

QString FormProbe::statusShown() const
{
    return status()->toPlainText() + QStringLiteral(" [") + status()->styleSheet() + QLatin1Char(']');
}

QString statusOf(Error error)
{
    return errorReport(error).status + QStringLiteral(" [") + QString(StatusStyle::error) + QLatin1Char(']');
}

QString boxesOf(const QList<Error> &errors)
{
    QStringList boxes;
    for (const Error error : errors) {
        const ErrorReport report = errorReport(error);
        boxes << kindName(report.kind) + QLatin1Char(' ') + report.title + QStringLiteral(": ") + report.text;
    }
    return boxes.join(QStringLiteral(" | "));
}
