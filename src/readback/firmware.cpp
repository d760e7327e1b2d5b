#include "firmware.h"

namespace Firmware {

const Release kReleases[12] = {
    {"1.6", 1.6f},
    {"1.7", 1.7f},
    {"1.8", 1.8f},
    {"1.9", 1.9f},
    {"1.9.1", 1.91f},
    {"1.9.2", 1.92f},
    {"1.9.3", 1.93f},
    {"Firmware : v2.", 2.0f},
    {"Firmware : v2.1", 2.1f},
    {"Firmware : v2.1.1", 2.11f},
    {"Firmware : v2.1.2", 2.12f},
    {"Firmware : v2.2", 2.2f},
};

float identify(const QByteArray &answer, float previous)
{
    float version = previous;
    for (const Release &release : kReleases) {
        if (answer.contains(release.marker))
            version = release.version;
    }
    return version;
}

} // namespace Firmware
