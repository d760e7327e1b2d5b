#ifndef PELKO_TESTS_FORMDRIVER_H
#define PELKO_TESTS_FORMDRIVER_H

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

    MainWindow window;
};

// The boxes the limit of two governs, in the order of the window.
static const char *const kLimitedBoxes[] = {"cbChoc", "cbMvt", "cbTemp", "cbTilt", "cbRotation", "cbOrient", "cbVibe"};
// Their bits in the algorithm mask.
static const int kBits[] = {4, 32, 2, 8, 128, 16, 256};

#endif // PELKO_TESTS_FORMDRIVER_H
