#include "ui/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a global function and must stay outside any namespace.
static void RegisterVelmorinResources() { Q_INIT_RESOURCE(velmorin); }

namespace velmorin {

void InitAppResources() { RegisterVelmorinResources(); }

}  // namespace velmorin
