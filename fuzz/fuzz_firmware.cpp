// Release identification from the VERSION answer.

#include "fuzzsupport.h"

#include "readback/firmware.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzSilenceDebugLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray answer = fuzzBytes(data, size);
    // 0 at start, and a release kept from an earlier connection.
    for (const float previous : {0.0f, 2.2f}) {
        const float version = Firmware::identify(answer, previous);
        bool known = version == previous;
        for (const Firmware::Release &release : Firmware::kReleases)
            known = known || version == release.version;
        FUZZ_CHECK(known);
        // The gates only ever open in release order.
        FUZZ_CHECK(!Firmware::from2_2(version) || Firmware::from2_1_1(version));
        FUZZ_CHECK(!Firmware::from2_1_1(version) || Firmware::from2_0(version));
        FUZZ_CHECK(!Firmware::from2_0(version) || Firmware::from1_9_3(version));
        FUZZ_CHECK(!Firmware::from1_9_3(version) || Firmware::from1_9_2(version));
        FUZZ_CHECK(!Firmware::from1_9_2(version) || Firmware::from1_9_1(version));
        FUZZ_CHECK(!Firmware::from1_9_1(version) || Firmware::from1_9(version));
    }
    return 0;
}
