// Release identification from the VERSION answer.

#include "fuzzsupport.h"

#include "firmware/releases.h"

#include <iterator>

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
        // Features only ever open in release order: a release that has one
        // feature has every feature of the releases before it.
        bool laterOpen = false;
        for (int i = int(std::size(Firmware::kReleases)) - 1; i >= 0; --i) {
            for (const Firmware::Feature feature : Firmware::kReleases[i].opens) {
                if (feature == Firmware::Feature::None)
                    continue;
                const bool open = Firmware::opens(version, feature);
                FUZZ_CHECK(open || !laterOpen);
                laterOpen = laterOpen || open;
            }
        }
    }
    return 0;
}
