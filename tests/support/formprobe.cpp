#include "formprobe.h"

#include "debuglog.h"

#include <QSlider>
#include <QStringList>
#include <QtTest>

#include <iterator>

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
    window.show();
    QByteArray answer = "Firmware : v" + release + "\r\nOK\r\n";
    if (!release.isEmpty())
        window.decodePelkoData("VERSION", answer);
}

QString FormProbe::statusShown() const
{
    return status()->toPlainText() + QStringLiteral(" [") + status()->styleSheet() + QLatin1Char(']');
}

namespace {
// What the user must read for each error, word for word, in the order of
// Error: the box as DialogWatcher::summary() spells it, then the status box.
const char *const kTold[][2] = {
    {"critical Error 1: The Pelko's CDC port COM could not be find.",
     "ERROR 1: please connect the product and try again"},
    {"critical Error 2: Error while initialize the serial connection.\n\nPlease try this :\n1. Unplug the USB cable\n"
     "2. Plug it again\n3. Close this box then clic 'Connection'",
     "ERROR 2: please try again"},
    {"critical Error 2: The Pelko's port is held by another program (pelko-provision, a terminal).\n\nClose it or "
     "let it finish, then clic 'Connection'.",
     "ERROR 2: the port is busy, please try again"},
    {"critical Error 3: No product answer... Please verify that the product is well connected, turned on and "
     "detected by your computer. Then please try again.",
     ""},
    {"critical Error 4: Serial port is ready but the product didn't answer.", "ERROR 4: please try again"},
    {"critical Error 5: The configuration failed. Please try again.", ""},
    {"", "ERROR 6: Can't get product version"},
    {"critical Error 7: Please plug the product, turn it on and connect it to the app before doing anything.",
     "ERROR 7: Product not connected"},
    {"critical Error 8: Factory reset failed ! Please try again.", "ERROR 8: Factory reset failed"},
    {"warning Error 9: Could not change verbose mode.", "ERROR 9: Could not change verbose mode on Pelko"},
    {"warning Error 9: Could not change verbose LED mode.", "ERROR 9: Could not change verbose LED mode on Pelko"},
    {"warning Error 10: Pelko reboot failed !", "ERROR 10: Could not reboot the Pelko."},
    {"warning Error 11: Pelko shutdown failed !", "ERROR 11: Could not poweroff the Pelko."},
    {"critical Error 12: Read Pelko config failed ! Please try again.", "ERROR 12: Read Pelko config failed"},
    {"warning Error 13: Could not get battery status !", "ERROR 13: Could not get battery status."},
    {"warning Disconnected: The Pelko was disconnected (USB cable unplugged or product turned off).\n\n"
     "Plug it in again, turn it on, then click 'Connection'.",
     ""},
};
static_assert(std::size(kTold) == std::size_t(Error::DeviceLost) + 1, "one row per error");
} // namespace

QString statusOf(Error error)
{
    return QString::fromUtf8(kTold[int(error)][1]) + QStringLiteral(" [color:#ffffff; background:#ee0000;]");
}

QString boxesOf(const QList<Error> &errors)
{
    QStringList boxes;
    for (const Error error : errors)
        boxes << QString::fromUtf8(kTold[int(error)][0]);
    return boxes.join(QStringLiteral(" | "));
}
