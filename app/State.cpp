// The application's module-global state records, one instance each, with the
// resets that the program entry and the tests use.
#include "app/Discs.h"
#include "app/InsideView.h"
#include "app/MainLoop.h"
#include "app/OutsideView.h"
#include "app/Panel.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "earth/Globe.h"

namespace app {

namespace {
Parameters parameters;
RunState runState;
SceneState sceneState;
} // namespace

Parameters& Params() {
    return parameters;
}
void ResetParameters() {
    parameters = Parameters{};
}

RunState& Run() {
    return runState;
}
void ResetRunState() {
    runState = RunState{};
}

SceneState& Scene() {
    return sceneState;
}
void ResetScene() {
    sceneState = SceneState{};
}

void ResetApplicationState() {
    ResetParameters();
    ResetRunState();
    ResetScene();
    ResetDiscState();
    ResetInsideView();
    ResetOutsideView();
    ResetPanelState();
    earth::ResetGlobe();
}

} // namespace app
