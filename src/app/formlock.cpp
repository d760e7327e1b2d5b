#include "formlock.h"

#include "mainwindow_widgets.h"

#include <QApplication>
#include <QBoxLayout>
#include <QWidget>

void FormLock::add(QWidget *container)
{
    container->setProperty(FormWidgets::kLockedContainer, true);
    m_containers << container;
}

void FormLock::hold(QBoxLayout *row, QLayout *content, QWidget *next)
{
    const int at = row->indexOf(content);
    auto *holder = new QWidget(row->parentWidget());
    row->takeAt(at); // the layout itself, which no longer has a parent
    content->setContentsMargins(0, 0, 0, 0);
    holder->setLayout(content);
    row->insertWidget(at, holder);
    holder->stackUnder(next);
    add(holder);
}

void FormLock::hold(QBoxLayout *row, QWidget *content, QWidget *next)
{
    const int at = row->indexOf(content);
    auto *holder = new QWidget(row->parentWidget());
    holder->setSizePolicy(content->sizePolicy());
    row->removeWidget(content);
    auto *own = new QHBoxLayout(holder);
    own->setContentsMargins(0, 0, 0, 0);
    own->addWidget(content);
    row->insertWidget(at, holder);
    holder->stackUnder(next);
    add(holder);
}

void FormLock::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    if (locked)
        m_focus = QApplication::focusWidget();
    for (QWidget *container : m_containers)
        container->setEnabled(!locked);
    // The keyboard goes back where it was, if that field is still open.
    if (!locked && m_focus && m_focus->isEnabled())
        m_focus->setFocus();
}
