#include "formvalues.h"

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
            ConfigFile::Limit limit;
            QWidget *widget = form.findChild<QWidget *>(name);
            if (auto *spin = qobject_cast<QSpinBox *>(widget))
                limit = {double(spin->minimum()), double(spin->maximum()), {}};
            else if (auto *spin = qobject_cast<QDoubleSpinBox *>(widget))
                limit = {spin->minimum(), spin->maximum(), {}};
            else if (auto *slider = qobject_cast<QAbstractSlider *>(widget))
                limit = {double(slider->minimum()), double(slider->maximum()), {}};
            else if (auto *edit = qobject_cast<QLineEdit *>(widget))
                limit = {0, double(edit->maxLength()), {}};
            else if (auto *combo = qobject_cast<QComboBox *>(widget))
                for (int i = 0; i < combo->count(); ++i)
                    limit.items << combo->itemText(i);
            else
                continue;
            all.insert(name, limit);
        }
        return all;
    }();
    return limits;
}

ConfigFile::FormValues formValues(const QWidget &window)
{
    ConfigFile::FormValues values;
    for (const QString &name : settingWidgets()) {
        const QWidget *widget = window.findChild<QWidget *>(name);
        if (auto *button = qobject_cast<const QAbstractButton *>(widget))
            values.insert(name, button->isChecked());
        else if (auto *spin = qobject_cast<const QSpinBox *>(widget))
            values.insert(name, spin->value());
        else if (auto *spin = qobject_cast<const QDoubleSpinBox *>(widget))
            values.insert(name, spin->value());
        else if (auto *slider = qobject_cast<const QAbstractSlider *>(widget))
            values.insert(name, slider->value());
        else if (auto *combo = qobject_cast<const QComboBox *>(widget))
            values.insert(name, combo->currentText());
        else if (auto *edit = qobject_cast<const QLineEdit *>(widget))
            values.insert(name, edit->text());
    }
    // ALIVE and VIBRATION go out whenever they are checked, the others only
    // while the form leaves them open.
    for (const ConfigFile::Algorithm &a : ConfigFile::kAlgorithms) {
        const auto *box = window.findChild<const QAbstractButton *>(QLatin1String(a.checkBox));
        const bool always = qstrcmp(a.name, "ALIVE") == 0 || qstrcmp(a.name, "VIBRATION") == 0;
        values.insert(QLatin1String(a.checkBox), box && box->isChecked() && (always || box->isEnabled()));
    }
    return values;
}
