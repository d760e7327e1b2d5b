// The answer's trailer trim and the verdict, and the lines built from text
// that ends up in the form after a readback.

#include "fuzzsupport.h"

#include "link/commandline.h"

#include <QString>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzSilenceDebugLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray answer = fuzzBytes(data, size);

    const QByteArray trimmed = trimAnswer(answer);
    FUZZ_CHECK(answer.startsWith(trimmed));
    FUZZ_CHECK(trimmed.size() == (answer.size() >= 3 ? answer.size() - 3 : answer.size()));

    for (const char *cmd : {"VERSION", "READY", "DUMP RAM PARAM", "SAVEPARAM"}) {
        const int verdict = judgeAnswer(cmd, trimmed);
        FUZZ_CHECK(verdict == CommandAccepted || verdict == CommandRefused || verdict == CommandNoAnswer);
        // Nothing is accepted without an "OK" before the trailer.
        if (verdict == CommandAccepted)
            FUZZ_CHECK(trimmed.contains("OK"));
    }

    // Device text read back into a LoRa field and sent again.
    const QString text = QString::fromUtf8(answer);
    const CommandLine lora = buildCommandLine("LORA SET", "APPEUI", 0, text);
    FUZZ_CHECK(lora.endsWithCrLf && lora.bytes.endsWith("\r\n"));
    FUZZ_CHECK(lora.bytes.startsWith("LORA SET APPEUI "));
    const CommandLine bare = buildCommandLine("LORA SET", "DEVADDR", 0, text);
    FUZZ_CHECK(!bare.endsWithCrLf && bare.withoutEnding() == bare.bytes);

    const CommandLine general = buildCommandLine(answer, "period", int(size), QString());
    FUZZ_CHECK(general.bytes.endsWith("\r\n"));
    FUZZ_CHECK(general.withoutEnding().size() == general.bytes.size() - 2);
    return 0;
}
