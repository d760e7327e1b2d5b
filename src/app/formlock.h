#ifndef PELKO_FORMLOCK_H
#define PELKO_FORMLOCK_H

#include <QPointer>
#include <QVector>
#include <QWidget>

class QBoxLayout;
class QLayout;

// While an operation talks to the device the form takes no input of any
// kind: no click, key, touch, drop or accessibility action reaches a field,
// because every field is disabled, the stop button alone excepted. What is
// disabled are containers that the form's rules never enable or disable (the
// tab pages, a holder around the algorithm boxes and one around the start
// button), so each field keeps the state the rules gave it, and a handler
// that runs meanwhile (the readback) reads and sets it as usual
// (FormWidgets::enabledByForm). The tab bar stays live: switching tabs
// changes nothing, and the console can be watched.
class FormLock
{
public:
    FormLock() = default;
    // Puts the item at `at` of `row` (a layout, or a widget moved into a
    // layout of its own) into a holder the lock disables. The holder comes
    // just before `next` among its parent's children, where what it holds
    // came before, so that the form lists its fields in the same order.
    void hold(QBoxLayout *row, QLayout *content, QWidget *next);
    void hold(QBoxLayout *row, QWidget *content, QWidget *next);
    // A container of the form's own that its rules never touch.
    void add(QWidget *container);

    void setLocked(bool locked);
    bool isLocked() const { return m_locked; }

private:
    QVector<QWidget *> m_containers;
    bool m_locked = false;
    QPointer<QWidget> m_focus; // where the keyboard was when the form was locked
};

#endif // PELKO_FORMLOCK_H
