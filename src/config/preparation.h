#ifndef PELKO_PREPARATION_H
#define PELKO_PREPARATION_H

#include "config/configfile.h"

#include <QString>
#include <QStringList>

// A configuration prepared without a device, for a release the technician
// picks: what the window offers and says meanwhile, and what a device of
// another release, connected afterwards, lacks of it.
namespace Preparation {

// The releases to prepare for, as technicians name them, newest first.
QStringList releaseChoices();

// What the status box says while preparing for this release.
QString statusText(float version);

// What a device of release `device` takes otherwise of a form prepared for
// `prepared`, worded as Load words a file of another release; empty when it
// takes the whole form.
QStringList gapsOnDevice(const ConfigFile::FormValues &form, const ConfigFile::Limits &limits, float prepared,
                         float device);
// The warning that names them, once the device is connected.
QString gapsWarning(float prepared, float device, const QStringList &gaps);

} // namespace Preparation

#endif // PELKO_PREPARATION_H
