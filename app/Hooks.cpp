// Call points for parts of the program that are not built yet: the globe's
// hooks. They do nothing for now.
#include "app/Discs.h"
#include "app/Panel.h"

namespace app {

void InstallGlobeHooks() {}

} // namespace app
