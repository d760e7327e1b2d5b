#ifndef PELKO_MAINWINDOW_WIDGETS_H
#define PELKO_MAINWINDOW_WIDGETS_H

// Small widget helpers shared by the form-logic handlers of the window.

#include "logic/formrules.h"

#include <QAbstractButton>
#include <QVariant>
#include <QWidget>

#include <initializer_list>

namespace FormWidgets {

inline void setAllEnabled(std::initializer_list<QWidget *> widgets, bool enabled)
{
    for (QWidget *w : widgets)
        w->setEnabled(enabled);
}

inline void apply(QWidget *widget, FormRules::Action action)
{
    if (action == FormRules::Action::Enable)
        widget->setEnabled(true);
    else if (action == FormRules::Action::Disable)
        widget->setEnabled(false);
}

// While an operation runs the window disables a few containers the form's
// rules never touch (src/app/formlock.cpp). Whether the rules leave a field
// open is read under them, so the lock changes nothing the form decides.
constexpr char kLockedContainer[] = "pelkoLockedContainer";

inline bool enabledByForm(const QWidget *widget)
{
    for (const QWidget *above = widget->parentWidget(); above; above = above->parentWidget())
        if (above->property(kLockedContainer).toBool())
            return widget->isEnabledTo(above);
    return widget->isEnabled();
}

// An algorithm or option "is on" when its box is both checked and enabled.
inline bool isOn(const QAbstractButton *box)
{
    return box->isChecked() && enabledByForm(box);
}

// Gives the refresh mode back to each algorithm that is checked, once nothing
// takes their periodic wake-up any more.
template<typename Form>
void reopenRefreshModes(const Form *ui)
{
    if (ui->cbTilt->isChecked())
        ui->cbTiltModeRefresh->setEnabled(true);
    if (ui->cbRotation->isChecked())
        ui->cbRotationModeRefresh->setEnabled(true);
    if (ui->cbOrient->isChecked())
        ui->cbOrientModeRefresh->setEnabled(true);
}

} // namespace FormWidgets

#endif // PELKO_MAINWINDOW_WIDGETS_H
