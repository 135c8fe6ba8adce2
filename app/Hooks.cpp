// Call points that connect the application to the globe drawing: the globe's
// hooks are the outside view's disc operations.
#include "app/Discs.h"
#include "app/Panel.h"
#include "earth/Globe.h"

namespace app {

void InstallGlobeHooks() {
    earth::SetGlobeHooks(TransformGlobePoint, ProjectGlobePoint, GlobePointVisible);
}

} // namespace app
