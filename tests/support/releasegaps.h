#ifndef PELKO_RELEASEGAPS_H
#define PELKO_RELEASEGAPS_H

#include <QByteArray>
#include <QStringList>

// A file saved on a 2.2 device, with settings a 1.9.2 device lacks or takes
// otherwise, and what the window and the tool name of it on a 1.9.2 device
// just read.
namespace ReleaseGaps {
inline const QByteArray kFileOf2_2 = R"({"format": "Pelko configuration", "version": 1, "release": "2.2",
    "algorithms": ["ALIVE", "SHOCK"], "ALIVE": {"period": 1800}, "SHOCK": {"gxSup": 4000, "enableShockLog": true},
    "MOTION": {"tracking": true}, "COMMON": {"buttonDelay": 3}, "TILT": {"signedMeasure": true}})";
inline const QStringList kNamedOn1_9_2 = {
    QStringLiteral("left out: COMMON.buttonDelay (not offered by firmware 1.9.2)"),
    QStringLiteral("left out: MOTION.tracking (not offered by firmware 1.9.2)"),
    QStringLiteral("left out: SHOCK.enableShockLog (not offered by firmware 1.9.2)"),
    QStringLiteral("taken differently: TILT.signedMeasure: Start does not send the file's true to firmware 1.9.2, "
                   "the device keeps its own")};
} // namespace ReleaseGaps

#endif // PELKO_RELEASEGAPS_H
