#include "mainwindow.h"

#include "readback/comparison.h"
#include "ui_mainwindow.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QTextDocument>
#include <QTimer>

namespace {

// Marks and the count line carry no object name: the form's named widgets
// stay those of the form. A mark names its field in this property.
const char kMarkedField[] = "markedField";

// "≠" beside a field whose upload line would change the device, with the
// device's value in its tooltip. It keeps to the field's side as the layout
// moves the field, and shows while the field does.
class FieldMark : public QLabel
{
public:
    FieldMark(QWidget *field, const QString &onDevice) : QLabel(QStringLiteral("\u2260"), field->parentWidget())
    {
        m_field = field;
        setProperty(kMarkedField, field->objectName());
        const QString tip = QStringLiteral("On the Pelko: ") + onDevice;
        // The device's text is shown as it is, never read as markup.
        setToolTip(Qt::mightBeRichText(tip) ? QStringLiteral("<p>%1</p>").arg(tip.toHtmlEscaped()) : tip);
        setAccessibleName(tip);
        setTextFormat(Qt::PlainText);
        field->installEventFilter(this);
        follow();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (watched == m_field &&
            (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide))
            follow();
        return false;
    }

private:
    void follow()
    {
        adjustSize();
        const QRect field = m_field->geometry();
        // A box or radio button may stretch past its text: the mark follows the text.
        const int used =
            qobject_cast<QAbstractButton *>(m_field) ? qMin(field.width(), m_field->sizeHint().width()) : field.width();
        int x = field.left() + used + 3;
        if (x + width() > parentWidget()->width())
            x = field.left() - width() - 3;
        move(x, field.top() + (field.height() - height()) / 2);
        setVisible(!m_field->isHidden());
        raise();
    }

    QWidget *m_field;
};

} // namespace

void MainWindow::addDifferenceLine()
{
    differenceLine = new QLabel(this);
    differenceLine->setAccessibleName(QStringLiteral("Settings Start will change"));
    differenceLine->setTextFormat(Qt::PlainText);
    if (auto *column = qobject_cast<QBoxLayout *>(ui->progressBar->parentWidget()->layout())) {
        const int at = column->indexOf(ui->progressBar);
        column->removeWidget(ui->progressBar);
        auto *row = new QHBoxLayout;
        row->addWidget(ui->progressBar, 1);
        row->addWidget(differenceLine);
        column->insertLayout(at, row);
    }
}

void MainWindow::rememberDevice(std::shared_ptr<const Comparison::DeviceState> state)
{
    deviceHeld = std::move(state);
    readWouldTell = false;
    markDifferences();
}

void MainWindow::forgetDevice()
{
    deviceHeld.reset();
    readWouldTell = false;
    markDifferences();
}

void MainWindow::markDifferences()
{
    // Many changes at once (a Read, a Load) are marked once, when they are done.
    if (marksDue)
        return;
    marksDue = true;
    QTimer::singleShot(0, this, [this] { placeMarks(); });
}

void MainWindow::placeMarks()
{
    marksDue = false;
    for (QLabel *mark : findChildren<QLabel *>()) {
        if (mark->property(kMarkedField).isValid())
            delete mark;
    }
    const QVector<Comparison::Mark> marks =
        deviceHeld ? Comparison::marks(Comparison::compare(uploadPlan().lines(), *deviceHeld))
                   : QVector<Comparison::Mark>();
    for (const Comparison::Mark &mark : marks) {
        if (QWidget *field = fields.widget(mark.widget))
            new FieldMark(field, mark.onDevice);
    }
    differenceLine->setText(readWouldTell && !deviceHeld
                                ? QStringLiteral("Changed by hand: a Read will show what the Pelko now holds")
                                : Comparison::differenceCount(marks.size()));
    // The calculator's day follows the same changes, and the device read.
    followForm();
}
