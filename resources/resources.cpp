#include "resources/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the registration function of the resource file, so it must be used
// outside of any namespace.
static void registerQuillonResources()
{
    Q_INIT_RESOURCE(quillon);
}

namespace quillon::resources {

void init()
{
    static const bool registered = [] {
        registerQuillonResources();
        return true;
    }();
    (void)registered;
}

} // namespace quillon::resources
