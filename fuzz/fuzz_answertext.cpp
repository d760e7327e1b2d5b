// The console echo of an answer (colour pair, AppKey mask) and the battery
// level.

#include "fuzzsupport.h"

#include "readback/answertext.h"

#include <QString>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzSilenceDebugLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray answer = fuzzBytes(data, size);
    // The console never sees the NUL bytes that separate the dump's lines.
    QByteArray printable = answer;
    printable.replace('\0', QByteArray());
    const QString text = QString::fromUtf8(printable.constData(), printable.size());

    // One pair goes, escape, "[3", digit, "m" and escape, "[0m": 9 characters,
    // or nothing at all.
    const QString stripped = stripFirstColourPair(text);
    FUZZ_CHECK(stripped == text || stripped.size() == text.size() - 9);
    if (!text.contains(QChar(0x1b)))
        FUZZ_CHECK(stripped == text);

    // The mask covers the 26 characters after each key's label: never shorter
    // than the text, never longer by more than the mask, and no key digit
    // left right after a label.
    const QString masked = maskKeys(stripped);
    FUZZ_CHECK(masked.size() >= stripped.size());
    FUZZ_CHECK(masked.size() <= stripped.size() + 26);
    bool labelled = false;
    for (const char *label :
         {"AppKey : ", "NwkSKey : ", "AppSKey : ", "LORA SET APPKEY ", "LORA SET NWKSKEY ", "LORA SET APPSKEY "})
        labelled = labelled || stripped.contains(QLatin1String(label));
    if (labelled)
        FUZZ_CHECK(masked.contains(QLatin1String("XXXXXXXXXXXXXXXXXXXXXXXXXX")));
    else
        FUZZ_CHECK(masked == stripped);

    const QString echo = consoleEcho(answer);
    FUZZ_CHECK(echo == masked);
    FUZZ_CHECK(!echo.contains(QChar(0)));

    QByteArray battery = answer;
    const QByteArray level = takeBatteryLevel(battery);
    FUZZ_CHECK(!level.contains('%'));
    if (answer.contains("Battery: ")) {
        FUZZ_CHECK(answer.endsWith(battery));
        FUZZ_CHECK(battery.startsWith(level));
    } else {
        FUZZ_CHECK(battery == answer);
        FUZZ_CHECK(level.isEmpty());
    }
    return 0;
}
