#ifndef PELKO_LORAFIELDS_H
#define PELKO_LORAFIELDS_H

#include <QByteArray>
#include <QString>

#include <optional>

// Reading the fields of the device's "LORA GET" answer.
//
// A field is the run of bytes that follows its label's first occurrence. When
// the label is absent the device did not report the field, and it has no value
// here: its form field is left as it is rather than filled from elsewhere in
// the answer.
namespace LoRaFields {

// The mask shown in place of all but the last characters of the AppKey.
extern const QString kAppKeyMask;

// Up to `count` bytes starting `skip` bytes after the end of the label's first
// occurrence, as text, ended early at a NUL byte; fewer when the answer ends
// sooner. Empty optional when the label is missing.
std::optional<QString> bytesAfterLabel(const QByteArray &answer, const QByteArray &label, int count, int skip = 0);

// The default data rate: the single byte after "Default_DR : " as a decimal
// number (0 when it is not one).
std::optional<int> defaultDataRate(const QByteArray &answer);

// The join-request error time-out as the spin box with range
// [minimum, maximum] ends up showing it: three bytes after the label are read,
// and while that shows 0, two and then one, so that a number followed
// directly by its unit ("12h") is still read.
std::optional<int> joinRequestTimeout(const QByteArray &answer, int minimum, int maximum);

// The identifiers and keys the answer reports, by the key "LORA SET" gives
// them: how many characters the answer carries of each (0: not reported in
// full, as the AppKey), and the text it carries.
int reportedLength(const QByteArray &setKey);
std::optional<QString> reportedText(const QByteArray &answer, const QByteArray &setKey);

// What the answer says, as sentences and fields.
struct Answer
{
    bool ackDisabled = false;
    bool ackEnabled = false;
    bool adrDisabled = false;
    bool adrEnabled = false;
    bool networkPublic = false;
    bool networkPrivate = false;
    bool modeAbp = false;
    bool modeOtaa = false;
    std::optional<QString> devEui;
    std::optional<QString> appEui;
    std::optional<QString> appKeyTail; // what follows the mask in the AppKey field
    std::optional<QString> nwkSKey;
    std::optional<QString> appSKey;
    std::optional<QString> devAddr;
    std::optional<QString> nwkId;
};

Answer parse(const QByteArray &answer);

} // namespace LoRaFields

#endif // PELKO_LORAFIELDS_H
