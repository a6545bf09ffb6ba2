#include "Resources.h"

#include <QtGlobal>

// No qt.conf is compiled in: on Linux any qt.conf makes Qt look for its
// plugins beside the executable instead of where the system keeps them.
static void initAll()
{
    Q_INIT_RESOURCE(resources);
}

void InitResources()
{
    static bool done = false;
    if (!done) {
        initAll();
        done = true;
    }
}
