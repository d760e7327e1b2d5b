#include "formvalues.h"

#include "form/formbinding.h"
#include "logic/mainwindow_widgets.h"
#include "ui_mainwindow.h"

#include <QMainWindow>

namespace {

QStringList settingWidgets()
{
    QStringList names;
    for (const ConfigFile::Entry &e : ConfigFile::entries()) {
        names << QLatin1String(e.widget);
        if (e.partner)
            names << QLatin1String(e.partner);
    }
    return names;
}

} // namespace

ConfigFile::Limits formLimits()
{
    static const ConfigFile::Limits limits = [] {
        QMainWindow form;
        Ui::MainWindow ui;
        ui.setupUi(&form);
        ConfigFile::Limits all;
        for (const QString &name : settingWidgets()) {
            const FormBinding::Admits admits = FormBinding::admits(form.findChild<QWidget *>(name));
            if (admits.known)
                all.insert(name, {admits.minimum, admits.maximum, admits.items, admits.unit});
        }
        return all;
    }();
    return limits;
}

ConfigFile::FormValues formValues(const QWidget &window)
{
    ConfigFile::FormValues values;
    for (const QString &name : settingWidgets()) {
        const QVariant value = FormBinding::value(window.findChild<QWidget *>(name));
        if (value.isValid())
            values.insert(name, value);
    }
    // Some algorithms go out whenever they are checked, the others only
    // while the form leaves them open.
    for (const Model::Algorithm &a : Model::kAlgorithms) {
        const auto *box = window.findChild<QWidget *>(QLatin1String(a.checkBox));
        values.insert(QLatin1String(a.checkBox), box && FormBinding::value(box).toBool() &&
                                                     (a.runsWhileClosed || FormWidgets::enabledByForm(box)));
    }
    return values;
}
