// The "LORA GET" answer: sentences, identifiers, keys, the default data rate
// and the join-request time-out.

#include "fuzzsupport.h"

#include "readback/lorafields.h"

#include <optional>

namespace {

void checkField(const std::optional<QString> &field, int count)
{
    if (!field)
        return;
    // Never more than the field's byte count, and ended at a NUL byte.
    FUZZ_CHECK(field->size() <= count);
    FUZZ_CHECK(!field->contains(QChar(0)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzSilenceDebugLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray answer = fuzzBytes(data, size);

    const LoRaFields::Answer a = LoRaFields::parse(answer);
    checkField(a.devEui, 16);
    checkField(a.appEui, 16);
    checkField(a.appKeyTail, 32);
    checkField(a.nwkSKey, 32);
    checkField(a.appSKey, 32);
    checkField(a.devAddr, 8);
    checkField(a.nwkId, 6);
    // A field is reported exactly when its label is there.
    FUZZ_CHECK(a.devEui.has_value() == answer.contains("DevEui : "));
    FUZZ_CHECK(a.appKeyTail.has_value() == answer.contains("AppKey : "));
    FUZZ_CHECK(a.modeOtaa == answer.contains("Mode : OTAA"));

    const std::optional<int> rate = LoRaFields::defaultDataRate(answer);
    FUZZ_CHECK(rate.has_value() == answer.contains("Default_DR : "));
    if (rate)
        FUZZ_CHECK(*rate >= -9 && *rate <= 9); // one byte: a digit at most

    // The spin box's own range and a narrower one.
    const std::optional<int> timeout = LoRaFields::joinRequestTimeout(answer, 0, 240);
    if (timeout)
        FUZZ_CHECK(*timeout >= 0 && *timeout <= 240);
    const std::optional<int> narrow = LoRaFields::joinRequestTimeout(answer, 10, 20);
    if (narrow)
        FUZZ_CHECK(*narrow >= 10 && *narrow <= 20);
    FUZZ_CHECK(timeout.has_value() == answer.contains("JoinRequestError Timeout : "));

    // Labels taken from the answer itself, with the counts and offsets the
    // decoder uses.
    if (size > 1) {
        const int cut = data[0] % int(size);
        const QByteArray label = answer.mid(1, cut);
        const std::optional<QString> bytes = LoRaFields::bytesAfterLabel(answer, label, 32, 26);
        checkField(bytes, 32);
    }
    return 0;
}
