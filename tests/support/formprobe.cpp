#include "formprobe.h"

#include "debuglog.h"

#include <QSlider>
#include <QStringList>
#include <QtTest>

void FormProbe::tick(const char *name) const
{
    QAbstractButton *box = find<QAbstractButton>(name);
    if (!box)
        qFatal("no box %s", name);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

QByteArray FormProbe::play(const QByteArray &script, const DebugLog *log) const
{
    const auto shows = [this](bool up) {
        return checked("rbPelkoStayUpright") == up && checked("rbPelkoLaidFlat") != up &&
               enabled("imagePelkoUp") == up && enabled("imagePelkoFlat") != up;
    };
    int at = 0;
    for (const QByteArray &step : script.simplified().split(' ')) {
        const QByteArray restBytes = step.mid(1);
        const char *rest = restBytes.constData();
        const char first = step.at(0);
        const bool expects = QByteArray("+-*!").contains(first);
        if ((expects || QChar(first).isLetter()) && step != "up" && step != "flat" &&
            !find<QWidget>(expects ? rest : step.constData()))
            return "no widget at step " + QByteArray::number(at) + " '" + step + "' of: " + script;
        bool met = true;
        if (first == '+' || first == '-')
            met = enabled(rest) == (first == '+');
        else if (first == '*' || first == '!')
            met = checked(rest) == (first == '*');
        else if (first == '=')
            met = qobject_cast<MainWindow *>(&m_window)->activeAlgorithmCount == restBytes.toInt();
        else if (first == '%')
            find<QSlider>("MPUmaxRange")->setValue(restBytes.toInt());
        else if (first == '@')
            met = find<QSlider>("MPUmaxRange")->value() == restBytes.toInt();
        else if (first == '#')
            met = log && log->contains(QString::fromLatin1(restBytes).replace('~', ' '));
        else if (step == "up" || step == "flat")
            met = shows(step == "up");
        else
            tick(step.constData());
        if (!met)
            return "step " + QByteArray::number(at) + " '" + step + "' of: " + script;
        ++at;
    }
    return QByteArray();
}

ShownForm::ShownForm(const QByteArray &release)
{
    MainWindow::uprightForcedByRotation = false;
    window.show();
    QByteArray answer = "Firmware : v" + release + "\r\nOK\r\n";
    if (!release.isEmpty())
        window.decodePelkoData("VERSION", answer);
}

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
    const char *const kinds[] = {"information", "warning", "critical"}; // as DialogWatcher names them
    QStringList boxes;
    for (const Error error : errors) {
        const ErrorReport report = errorReport(error);
        boxes << QLatin1String(kinds[int(report.kind)]) + QLatin1Char(' ') + report.title + QStringLiteral(": ") +
                     report.text;
    }
    return boxes.join(QStringLiteral(" | "));
}
