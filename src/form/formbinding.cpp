#include "formbinding.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

namespace FormBinding {

QVariant value(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->isChecked();
    if (const auto *spin = qobject_cast<const QSpinBox *>(widget))
        return spin->value();
    if (const auto *spin = qobject_cast<const QDoubleSpinBox *>(widget))
        return spin->value();
    if (const auto *slider = qobject_cast<const QAbstractSlider *>(widget))
        return slider->value();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentText();
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    return QVariant();
}

Fields::Fields(const QObject &form)
{
    for (QWidget *widget : form.findChildren<QWidget *>()) {
        if (!widget->objectName().isEmpty() && !m_byName.contains(widget->objectName()))
            m_byName.insert(widget->objectName(), widget);
    }
}

QWidget *Fields::widget(const QString &name) const
{
    return m_byName.value(name);
}

QWidget *Fields::widget(const char *name) const
{
    return name ? widget(QString::fromLatin1(name)) : nullptr;
}

QVariant value(const Fields &form, const char *name)
{
    return value(form.widget(name));
}

void setValue(QWidget *widget, const QVariant &value)
{
    // Numbers come as the form shows them; whole-number widgets cut a fraction.
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setChecked(value.toBool());
    else if (auto *spin = qobject_cast<QDoubleSpinBox *>(widget))
        spin->setValue(value.toDouble());
    else if (auto *spin = qobject_cast<QSpinBox *>(widget))
        spin->setValue(static_cast<int>(value.toDouble()));
    else if (auto *slider = qobject_cast<QAbstractSlider *>(widget))
        slider->setValue(static_cast<int>(value.toDouble()));
    else if (auto *combo = qobject_cast<QComboBox *>(widget))
        combo->setCurrentIndex(value.userType() == QMetaType::QString ? combo->findText(value.toString())
                                                                      : static_cast<int>(value.toDouble()));
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->setText(value.toString());
}

Admits admits(const QWidget *widget)
{
    Admits a;
    a.known = true;
    if (const auto *spin = qobject_cast<const QSpinBox *>(widget)) {
        a.minimum = spin->minimum();
        a.maximum = spin->maximum();
        a.unit = spin->suffix();
    } else if (const auto *spin = qobject_cast<const QDoubleSpinBox *>(widget)) {
        a.minimum = spin->minimum();
        a.maximum = spin->maximum();
        a.unit = spin->suffix();
    } else if (const auto *slider = qobject_cast<const QAbstractSlider *>(widget)) {
        a.minimum = slider->minimum();
        a.maximum = slider->maximum();
    } else if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        a.maximum = edit->maxLength();
    } else if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
        for (int i = 0; i < combo->count(); ++i)
            a.items << combo->itemText(i);
    } else {
        a.known = false;
    }
    return a;
}

} // namespace FormBinding
