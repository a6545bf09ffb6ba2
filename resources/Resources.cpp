#include "Resources.h"

#include <QtGlobal>
#include <QDir>

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
