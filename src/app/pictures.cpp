#include "startup.h"

#include <QtGlobal>

void registerPictures()
{
    // The pictures live in the static library; make sure the linker keeps them.
    Q_INIT_RESOURCE(resources);
}
