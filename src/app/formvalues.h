#ifndef PELKO_FORMVALUES_H
#define PELKO_FORMVALUES_H

#include "config/configfile.h"

class QWidget;

// The configuration file's view of a window's form.

// The limits of every setting of the file as the form under `form` admits
// them. Read from a form built afresh, they let a file hold what the form
// admits before a device or the acceleration range narrowed anything.
ConfigFile::Limits formLimits(const QWidget &form);

// What the form under `window` shows, setting by setting; an algorithm counts
// as chosen when the upload would send it.
ConfigFile::FormValues formValues(const QWidget &window);

#endif // PELKO_FORMVALUES_H
