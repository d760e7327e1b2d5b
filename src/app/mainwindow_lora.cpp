#include "mainwindow.h"

#include "firmware/releases.h"
#include "readback/lorafields.h"
#include "ui_mainwindow.h"

#include <optional>

namespace {

// Text goes in at the cursor, as typed: what the field holds stays and the
// field's maximum length cuts the rest. A field the answer does not report is
// left as it is.
void insertField(QLineEdit *field, const std::optional<QString> &text)
{
    if (text)
        field->insert(*text);
}

} // namespace

int MainWindow::decodePelkoLoRa()
{
    const LoRaFields::Answer answer = LoRaFields::parse(loraAnswer);

    // The pairs are not exclusive by themselves: set both buttons each time.
    if (answer.ackDisabled) {
        ui->rbMessageUnconfirmed->setChecked(true);
        ui->rbMessageConfirmed->setChecked(false);
    }
    if (answer.ackEnabled) {
        ui->rbMessageUnconfirmed->setChecked(false);
        ui->rbMessageConfirmed->setChecked(true);
    }
    if (answer.adrDisabled) {
        ui->rbADR_OFF->setChecked(true);
        ui->rbADR_ON->setChecked(false);
    }
    if (answer.adrEnabled) {
        ui->rbADR_OFF->setChecked(false);
        ui->rbADR_ON->setChecked(true);
    }

    // A device that does not say which network it is on keeps the public one,
    // and the choice is not offered.
    ui->rbPublicNetwork->setChecked(true);
    ui->rbPublicNetwork->setEnabled(false);
    ui->rbPrivateNetwork->setEnabled(false);
    if (answer.networkPublic) {
        ui->rbPublicNetwork->setEnabled(true);
        ui->rbPrivateNetwork->setEnabled(true);
        ui->rbPublicNetwork->setChecked(true);
        ui->rbPrivateNetwork->setChecked(false);
    }
    if (answer.networkPrivate) {
        ui->rbPublicNetwork->setEnabled(true);
        ui->rbPrivateNetwork->setEnabled(true);
        ui->rbPublicNetwork->setChecked(false);
        ui->rbPrivateNetwork->setChecked(true);
    }

    if (answer.modeAbp) {
        ui->rbOTAA->setChecked(false);
        ui->rbABP->setChecked(true);
    }
    if (answer.modeOtaa) {
        ui->rbOTAA->setChecked(true);
        ui->rbABP->setChecked(false);
        ui->leAppSKEY->setEnabled(false);
        ui->leNwkSKEY->setEnabled(false);
    }

    insertField(ui->leDevEUI, answer.devEui);
    insertField(ui->leAppEUI, answer.appEui);
    if (answer.appKeyTail) {
        // The key itself is never shown: the mask, then only as much of the
        // key as the field still has room for (its last characters).
        ui->leAppKEY->insert(LoRaFields::kAppKeyMask);
        ui->leAppKEY->insert(*answer.appKeyTail);
    }
    insertField(ui->leNwkSKEY, answer.nwkSKey);
    insertField(ui->leAppSKEY, answer.appSKey);
    insertField(ui->leDevADDR, answer.devAddr);
    insertField(ui->leNwkID, answer.nwkId);

    if (Firmware::opens(firmwareVersion, Firmware::Feature::DefaultDataRate)) {
        if (const std::optional<int> rate = LoRaFields::defaultDataRate(loraAnswer))
            ui->xLoRaDefaultDR->setValue(*rate);
    }
    if (Firmware::opens(firmwareVersion, Firmware::Feature::JoinRequestTimeOutReadback)) {
        const std::optional<int> timeout =
            LoRaFields::joinRequestTimeout(loraAnswer, ui->xJRErrorTimeout->minimum(), ui->xJRErrorTimeout->maximum());
        if (timeout)
            ui->xJRErrorTimeout->setValue(*timeout);
    }

    // A device that already has its identity keeps it: the upload will not
    // send these two again.
    const QString devEui = ui->leDevEUI->text();
    if (!devEui.isEmpty() && devEui != QLatin1String("0000000000000000")) {
        devEuiLocked = true;
        ui->leDevEUI->setReadOnly(true);
    }
    const QString appKey = ui->leAppKEY->text();
    if (!appKey.isEmpty() && appKey != QLatin1String("00000000000000000000000000000000")) {
        appKeyLocked = true;
        ui->leAppKEY->setReadOnly(true);
    }
    ui->leDevEUI->setReadOnly(true);
    ui->leAppKEY->setReadOnly(true);
    ui->leAppEUI->setReadOnly(false);
    ui->leNwkSKEY->setReadOnly(false);
    ui->leAppSKEY->setReadOnly(false);

    on_rbOTAA_clicked();
    return 0;
}
