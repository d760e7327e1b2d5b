#include "formvalues.h"

#include "form/formbinding.h"
#include "mainwindow_widgets.h"

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

ConfigFile::Limits formLimits(const QWidget &form)
{
    const FormBinding::Fields fields(form);
    ConfigFile::Limits all;
    for (const QString &name : settingWidgets()) {
        const FormBinding::Admits admits = FormBinding::admits(fields.widget(name));
        if (admits.known)
            all.insert(name, {admits.minimum, admits.maximum, admits.items, admits.unit});
    }
    return all;
}

ConfigFile::FormValues formValues(const QWidget &window)
{
    const FormBinding::Fields fields(window);
    ConfigFile::FormValues values;
    for (const QString &name : settingWidgets()) {
        const QVariant value = FormBinding::value(fields.widget(name));
        if (value.isValid())
            values.insert(name, value);
    }
    // Some algorithms go out whenever they are checked, the others only
    // while the form leaves them open.
    for (const Model::Algorithm &a : Model::kAlgorithms) {
        const QWidget *box = fields.widget(a.checkBox);
        values.insert(QLatin1String(a.checkBox), box && FormBinding::value(box).toBool() &&
                                                     (a.runsWhileClosed || FormWidgets::enabledByForm(box)));
    }
    return values;
}
