#include "mainwindow.h"

#include "readback/dumpkeytable.h"
#include "ui_mainwindow.h"
#include "upload/catalogue.h"

#include <QDebug>

namespace {

// Boxes whose dependent fields open and close with them: once read back,
// the form follows as if the user had clicked them.
struct FollowUp
{
    const char *box;
    void (MainWindow::*handler)();
};

} // namespace

void MainWindow::applyParameters()
{
    static const FollowUp followUps[] = {
        {"cbEnableLog", &MainWindow::on_cbEnableLog_clicked},
        {"cbAliveRefreshMode", &MainWindow::on_cbAliveRefreshMode_clicked},
        {"cbChocEnableShockLog", &MainWindow::on_cbChocEnableShockLog_clicked},
        {"cbTempModeThreshold", &MainWindow::on_cbTempModeThreshold_clicked},
        {"cbTiltModeRefresh", &MainWindow::on_cbTiltModeRefresh_clicked},
        {"cbTiltModeOnMove", &MainWindow::on_cbTiltModeOnMove_clicked},
        {"cbRotationModeRefresh", &MainWindow::on_cbRotationModeRefresh_clicked},
        {"cbRotationModeOnMove", &MainWindow::on_cbRotationModeOnMove_clicked},
        {"cbOrientModeRefresh", &MainWindow::on_cbOrientModeRefresh_clicked},
        {"cbOrientModeOnMove", &MainWindow::on_cbOrientModeOnMove_clicked},
    };

    qDebug() << "";
    qDebug() << "*----- Applying detected value to parameters -----*";

    for (int i = 0; i < kDumpKeyCount; ++i) {
        const int value = dumpKeyTable[i].decodedValue;
        if (value == -1)
            continue;
        qDebug() << "Apply " << value << " to " << QByteArray(dumpKeyTable[i].keyName);

        // Every widget the key sets first, then what follows from them: a
        // mode value sets several boxes at once. The widgets clamp what lies
        // outside their ranges.
        QList<const char *> set;
        for (std::size_t r = 0; r < Upload::kCatalogueSize; ++r) {
            const Upload::Step &step = Upload::kCatalogue[r];
            if (step.dump != i)
                continue;
            const double shown = Upload::formValue(step, value);
            QWidget *widget = findChild<QWidget *>(QLatin1String(step.widget));
            if (step.flags & Upload::UprightUnlessRotating) {
                const bool upright = shown != 0 || ui->cbRotation->isChecked();
                ui->rbPelkoLaidFlat->setChecked(!upright);
                ui->imagePelkoFlat->setEnabled(!upright);
                ui->rbPelkoStayUpright->setChecked(upright);
                ui->imagePelkoUp->setEnabled(upright);
            } else if (auto *spin = qobject_cast<QDoubleSpinBox *>(widget)) {
                spin->setValue(shown);
            } else if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
                spin->setValue(static_cast<int>(shown));
            } else if (auto *slider = qobject_cast<QAbstractSlider *>(widget)) {
                slider->setValue(static_cast<int>(shown));
            } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
                combo->setCurrentIndex(static_cast<int>(shown));
            } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
                button->setChecked(shown != 0);
            }
            set << step.widget;
        }
        for (const FollowUp &followUp : followUps) {
            for (const char *name : set)
                if (qstrcmp(name, followUp.box) == 0)
                    (this->*followUp.handler)();
        }
    }

    qDebug() << "*--------------- FINISHED ---------------*";
    qDebug() << "";
}
