#include "app/Startup.h"

#include "app/Discs.h"
#include "app/InsideView.h"
#include "app/MainLoop.h"
#include "app/OutsideView.h"
#include "app/Panel.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace app {

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

void StartModules(const std::string& programPath, const std::vector<std::string>& arguments) {
    window::ResetLayer(programPath);
    window::RegisterFontSubstitutions();
    window::ResetDrawingState();
    window::ResetWorldWindow();
    window::ResetPixelPath();
    ResetApplicationState();
    SetCommandLine(arguments);
}

} // namespace app
