#ifndef PELKO_FORMBINDING_H
#define PELKO_FORMBINDING_H

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

class QObject;
class QWidget;

// The one place that reads and writes a form widget's value by its kind, so
// that the upload, the readback and the configuration files agree on what a
// widget holds: a check box or radio button its checked state (bool), a spin
// box or slider its number (int), a two-decimal spin box its number (double),
// a combo box its current item text, a line edit its text.
namespace FormBinding {

// The widgets under a form by object name, gathered in one walk: findChild
// walks the whole form again for every name, and a file, a dump or a plan
// names a hundred of them.
class Fields
{
public:
    Fields() = default;
    explicit Fields(const QObject &form);
    // Null for a name no widget has, and for no name.
    QWidget *widget(const QString &name) const;
    QWidget *widget(const char *name) const;
    template<class T>
    T *get(const char *name) const
    {
        return qobject_cast<T *>(widget(name));
    }

private:
    QHash<QString, QWidget *> m_byName;
};

// What the widget shows; invalid for a widget that holds no value (or none).
QVariant value(const QWidget *widget);
// The same for the widget of that object name.
QVariant value(const Fields &form, const char *name);

// Sets the widget as a program would, not a click: a box's handler does not
// run, a spin box, slider or combo box signals its change. A combo box takes
// an item text, or an index given as a number.
void setValue(QWidget *widget, const QVariant &value);

// What the widget admits: a spin box or slider its range, a line edit its
// length (in `maximum`), a combo box its items. `known` is false for others.
struct Admits
{
    bool known = false;
    double minimum = 0;
    double maximum = 0;
    QStringList items;
    QString unit; // a spin box's suffix, as it follows the number
};
Admits admits(const QWidget *widget);

} // namespace FormBinding

#endif // PELKO_FORMBINDING_H
