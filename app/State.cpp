// The application's module-global state records, one instance each, with the
// resets that the program entry and the tests use.
#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"

namespace app {

namespace {
Parameters parameters;
RunState runState;
SceneState sceneState;
}  // namespace

Parameters& Params() { return parameters; }
void ResetParameters() { parameters = Parameters{}; }

RunState& Run() { return runState; }
void ResetRunState() { runState = RunState{}; }

SceneState& Scene() { return sceneState; }
void ResetScene() { sceneState = SceneState{}; }

}  // namespace app
