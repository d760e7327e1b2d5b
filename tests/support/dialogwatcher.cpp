#include "dialogwatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

DialogWatcher::DialogWatcher(int dismissAfterMs, QObject *parent) : QObject(parent), m_dismissAfterMs(dismissAfterMs)
{
    m_clock.start();
    connect(&m_timer, &QTimer::timeout, this, &DialogWatcher::poll);
    m_timer.start(5);
}

QStringList DialogWatcher::titles() const
{
    QStringList list;
    for (const SeenDialog &d : m_seen)
        list << d.title;
    return list;
}

QString DialogWatcher::summary() const
{
    QStringList list;
    for (const SeenDialog &d : m_seen)
        list << d.kind + QLatin1Char(' ') + d.title + QLatin1String(": ") + d.text;
    return list.join(QLatin1String(" | "));
}

void DialogWatcher::poll()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (!box || !box->isVisible() || box->property("pelkoWatcherSeen").toBool())
            continue;
        box->setProperty("pelkoWatcherSeen", true);
        const char *const kinds[] = {"none", "information", "warning", "critical", "question"};
        SeenDialog dialog;
        dialog.kind = QString::fromLatin1(kinds[box->icon()]);
        dialog.title = box->windowTitle();
        dialog.text = box->text();
        dialog.shownAtMs = m_clock.elapsed();
        m_seen.append(dialog);
        const int index = m_seen.size() - 1;
        QPointer<QMessageBox> guarded(box);
        QTimer::singleShot(m_dismissAfterMs, this, [this, guarded, index]() {
            if (!guarded)
                return;
            m_seen[index].dismissedAtMs = m_clock.elapsed();
            QAbstractButton *ok = guarded->button(QMessageBox::Ok);
            if (ok)
                ok->click();
            else
                guarded->reject();
        });
    }
}
