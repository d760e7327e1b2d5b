#include "lorafields.h"

#include "dumpscan.h"

#include <QtGlobal>

namespace LoRaFields {

const QString kAppKeyMask = QStringLiteral("XXXXXXXXXXXXXXXXXXXXXXXXXX");

namespace {

int clamp(int value, int minimum, int maximum)
{
    return qBound(minimum, value, maximum);
}

struct TextField
{
    const char *setKey;
    const char *label;
    int length;
};
const TextField kTextFields[] = {
    {"DEVEUI", "DevEui : ", 16},   {"APPEUI", "AppEui : ", 16},  {"NWKSKEY", "NwkSKey : ", 32},
    {"APPSKEY", "AppSKey : ", 32}, {"DEVADDR", "DevAddr : ", 8}, {"NWKID", "NwkID : ", 6},
};

const TextField *textField(const QByteArray &setKey)
{
    for (const TextField &field : kTextFields)
        if (setKey == field.setKey)
            return &field;
    return nullptr;
}

} // namespace

int reportedLength(const QByteArray &setKey)
{
    const TextField *field = textField(setKey);
    return field ? field->length : 0;
}

std::optional<QString> reportedText(const QByteArray &answer, const QByteArray &setKey)
{
    const TextField *field = textField(setKey);
    if (!field)
        return std::nullopt;
    return bytesAfterLabel(answer, field->label, field->length);
}

std::optional<QString> bytesAfterLabel(const QByteArray &answer, const QByteArray &label, int count, int skip)
{
    const int at = answer.indexOf(label);
    if (at < 0)
        return std::nullopt;
    QByteArray bytes = answer.mid(at + label.size() + skip, count);
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromLatin1(bytes);
}

std::optional<int> defaultDataRate(const QByteArray &answer)
{
    const std::optional<QString> digit = bytesAfterLabel(answer, "Default_DR : ", 1);
    if (!digit)
        return std::nullopt;
    return dumpDecimal(digit->toLatin1());
}

std::optional<int> joinRequestTimeout(const QByteArray &answer, int minimum, int maximum)
{
    int shown = 0;
    for (int n = 3; n >= 1; --n) {
        const std::optional<QString> text = bytesAfterLabel(answer, "JoinRequestError Timeout : ", n);
        if (!text)
            return std::nullopt;
        shown = clamp(dumpDecimal(text->toLatin1()), minimum, maximum);
        if (shown != 0)
            break;
    }
    return shown;
}

Answer parse(const QByteArray &answer)
{
    Answer a;
    a.ackDisabled = answer.contains("ACK is disabled");
    a.ackEnabled = answer.contains("ACK is enabled");
    a.adrDisabled = answer.contains("ADR is disabled");
    a.adrEnabled = answer.contains("ADR is enabled");
    a.networkPublic = answer.contains("Network is PUBLIC");
    a.networkPrivate = answer.contains("Network is PRIVATE");
    a.modeAbp = answer.contains("Mode : ABP");
    a.modeOtaa = answer.contains("Mode : OTAA");
    a.devEui = reportedText(answer, "DEVEUI");
    a.appEui = reportedText(answer, "APPEUI");
    // Only the key's last six characters are shown: the mask covers the rest.
    a.appKeyTail = bytesAfterLabel(answer, "AppKey : ", 32, kAppKeyMask.size());
    a.nwkSKey = reportedText(answer, "NWKSKEY");
    a.appSKey = reportedText(answer, "APPSKEY");
    a.devAddr = reportedText(answer, "DEVADDR");
    a.nwkId = reportedText(answer, "NWKID");
    return a;
}

} // namespace LoRaFields
