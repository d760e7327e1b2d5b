#include "mainwindow.h"

#include "form/formbinding.h"
#include "model/dumpkeytable.h"
#include "ui_mainwindow.h"
#include "model/catalogue.h"

#include <QDebug>

void MainWindow::applyParameters()
{
    qDebug() << "";
    qDebug() << "*----- Applying detected value to parameters -----*";

    for (int i = 0; i < kDumpKeyCount; ++i) {
        const int value = m_session.dumpValues().at(std::size_t(i));
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
            QWidget *widget = fields.widget(step.widget);
            if (step.flags & Upload::UprightUnlessRotating) {
                const bool upright = shown != 0 || ui->cbRotation->isChecked();
                ui->rbPelkoLaidFlat->setChecked(!upright);
                ui->imagePelkoFlat->setEnabled(!upright);
                ui->rbPelkoStayUpright->setChecked(upright);
                ui->imagePelkoUp->setEnabled(upright);
            } else {
                FormBinding::setValue(widget, shown);
            }
            set << step.widget;
        }
        for (const char *name : set)
            followBox(name, true);
    }

    qDebug() << "*--------------- FINISHED ---------------*";
    qDebug() << "";
}
