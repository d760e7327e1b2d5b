#ifndef PELKO_TESTS_FORMDRIVER_H
#define PELKO_TESTS_FORMDRIVER_H

#include "debuglog.h"
#include "mainwindow.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QSlider>
#include <QtTest>

// Drives the real window the way a technician does: identify a release as
// the connection would, click boxes, read what is shown.
class FormDriver
{
public:
    // `release` as the device names it ("1.9.2", "2.2"); empty: never identified.
    explicit FormDriver(const QByteArray &release = QByteArray())
    {
        // Remembered orientation is shared by every window of the process;
        // each test starts from a window that forced nothing.
        MainWindow::uprightForcedByRotation = false;
        window.show();
        if (!release.isEmpty()) {
            QByteArray answer = "Firmware : v" + release + "\r\nOK\r\n";
            window.decodePelkoData("VERSION", answer);
        }
    }

    template<class T = QWidget>
    T *get(const char *name) const
    {
        T *widget = window.findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

    // On the box's indicator: a stretched box does not take clicks beyond its text.
    void click(const char *name)
    {
        QAbstractButton *box = get<QAbstractButton>(name);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }
    bool enabled(const char *name) const { return get(name)->isEnabled(); }
    bool checked(const char *name) const { return get<QAbstractButton>(name)->isChecked(); }
    int count() const { return window.activeAlgorithmCount; }
    int slider() const { return get<QSlider>("MPUmaxRange")->value(); }
    bool upright() const
    {
        return checked("rbPelkoStayUpright") && !checked("rbPelkoLaidFlat") && enabled("imagePelkoUp") &&
               !enabled("imagePelkoFlat");
    }
    bool laidFlat() const
    {
        return checked("rbPelkoLaidFlat") && !checked("rbPelkoStayUpright") && enabled("imagePelkoFlat") &&
               !enabled("imagePelkoUp");
    }

    // Plays a click script and returns the first step whose expectation is
    // not met (empty when all are). Steps, separated by blanks: a name clicks
    // that box; "+name" / "-name" expect it enabled / disabled, "*name" /
    // "!name" checked / unchecked; "=N" expects the algorithm count; "%N"
    // moves the range slider and "@N" expects its position; "up" / "flat"
    // expect the orientation shown; "#text" expects a debug trace holding
    // the text, "~" standing for a blank (needs a DebugLog).
    QByteArray play(const QByteArray &script, const DebugLog *log = nullptr)
    {
        int at = 0;
        for (const QByteArray &step : script.simplified().split(' ')) {
            const QByteArray restBytes = step.mid(1);
            const char *rest = restBytes.constData();
            const char first = step.at(0);
            bool met = true;
            if (first == '+' || first == '-')
                met = enabled(rest) == (first == '+');
            else if (first == '*' || first == '!')
                met = checked(rest) == (first == '*');
            else if (first == '=')
                met = count() == restBytes.toInt();
            else if (first == '%')
                get<QSlider>("MPUmaxRange")->setValue(restBytes.toInt());
            else if (first == '@')
                met = slider() == restBytes.toInt();
            else if (first == '#')
                met = log && log->contains(QString::fromLatin1(restBytes).replace('~', ' '));
            else if (step == "up" || step == "flat")
                met = step == "up" ? upright() : laidFlat();
            else
                click(step.constData());
            if (!met)
                return "step " + QByteArray::number(at) + " '" + step + "' of: " + script;
            ++at;
        }
        return QByteArray();
    }

    MainWindow window;
};

// The boxes the limit of two governs, in the order of the window.
static const char *const kLimitedBoxes[] = {"cbChoc", "cbMvt", "cbTemp", "cbTilt", "cbRotation", "cbOrient", "cbVibe"};
// Their bits in the algorithm mask.
static const int kBits[] = {4, 32, 2, 8, 128, 16, 256};
// A field of each, open exactly while its box is ticked.
static const char *const kFields[] = {"xChocGxSup",     "xMvtGxSup",           "xTempSlowPeriod", "xTiltThresholdPitch",
                                      "xRotationNbLap", "xOrientMesureLength", "xVibrationPeriod"};

#endif // PELKO_TESTS_FORMDRIVER_H
