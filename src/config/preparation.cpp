#include "preparation.h"

#include "firmware/releases.h"

#include <iterator>

namespace Preparation {

QStringList releaseChoices()
{
    QStringList names;
    for (auto release = std::rbegin(Firmware::kReleases); release != std::rend(Firmware::kReleases); ++release)
        names << Firmware::releaseName(release->version);
    return names;
}

QString statusText(float version)
{
    return QStringLiteral("Preparing for firmware %1: no device connected").arg(Firmware::releaseName(version));
}

QStringList gapsOnDevice(const ConfigFile::FormValues &form, const ConfigFile::Limits &limits, float prepared,
                         float device)
{
    if (prepared == device || !Firmware::isRelease(device))
        return {};
    // The form as a file saved for its release, loaded onto the device's.
    const ConfigFile::Reading reading = ConfigFile::read(ConfigFile::write(form, prepared), limits, device, form);
    return ConfigFile::releaseGaps(reading, device);
}

QString gapsWarning(float prepared, float device, const QStringList &gaps)
{
    return QStringLiteral("The form was prepared for firmware %1; the connected device has firmware %2, which takes "
                          "some of its settings otherwise:\n\n- %3\n\nThe form keeps them; Start sends the device only "
                          "what its firmware offers.")
        .arg(Firmware::releaseName(prepared), Firmware::releaseName(device), gaps.join(QLatin1String("\n- ")));
}

} // namespace Preparation
