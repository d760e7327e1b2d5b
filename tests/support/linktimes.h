#ifndef PELKO_LINKTIMES_H
#define PELKO_LINKTIMES_H

#include "link/timing.h"

// Shorter quiet times and waits for tests whose subject is not the time
// itself, given to the session a test drives (its `limits()`); a test may
// change any other limit of them too.
LinkLimits shortLinkTimes(int quietMs = 60, int saveQuietMs = 300);

#endif // PELKO_LINKTIMES_H
