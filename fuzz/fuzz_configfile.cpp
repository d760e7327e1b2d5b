// The configuration file a user loads: any bytes at all, checked against
// limits like the form's and a release taken from the input.

#include "fuzzsupport.h"

#include "config/configfile.h"
#include "firmware/releases.h"

namespace {

// Ranges and items in the spirit of the form's; the form itself needs widgets.
ConfigFile::Limits limits()
{
    ConfigFile::Limits all;
    for (const ConfigFile::Entry &e : ConfigFile::entries()) {
        ConfigFile::Limit limit{-100, 100000, {}};
        if (e.kind == Upload::Kind::Range)
            limit = {1, 4, {}};
        else if (e.kind == Upload::Kind::Text)
            limit = {0, 16, {}};
        else if (e.kind == Upload::Kind::Frequency || e.kind == Upload::Kind::Item ||
                 e.kind == Upload::Kind::BurstCount)
            limit.items = QStringList{"0,24", "1", "2", "3", "4", "16", "500"};
        all.insert(QLatin1String(e.widget), limit);
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzSilenceDebugLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ConfigFile::Limits formLike = limits();
    const QByteArray file = fuzzBytes(data, size);
    const float version = Firmware::kReleases[size % 12].version;

    // Without limits the reader still holds together.
    ConfigFile::read(file, ConfigFile::Limits(), version, ConfigFile::FormValues());

    const ConfigFile::Reading first = ConfigFile::read(file, formLike, version, ConfigFile::FormValues());
    if (!first.problems.isEmpty())
        return 0;
    // A file accepted whole is saved again as the same settings, and that
    // file is accepted too.
    const ConfigFile::Reading again =
        ConfigFile::read(ConfigFile::write(first.values, version), formLike, version, ConfigFile::FormValues());
    FUZZ_CHECK(again.problems.isEmpty());
    for (auto it = first.values.begin(); it != first.values.end(); ++it)
        FUZZ_CHECK(again.values.value(it.key()) == it.value());
    return 0;
}
