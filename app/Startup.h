// The one start-up path of the program and of the frame export: every module
// of the window layer and of the application takes its start values.
#pragma once

#include <string>
#include <vector>

namespace app {

// Start values of every module of the application (the parameters, the run,
// the scene, the discs, both views, the panel) and of the globe.
void ResetApplicationState();

// Gives the window layer's modules and the application their start values,
// in this order (the layer's before any window exists, the application's
// records after them), and takes the command line: `programPath` is the
// running program's file (its name becomes the caption's program name),
// `arguments` the arguments after the program name without the window
// system's own (the first names a parameter file).
void StartModules(const std::string& programPath, const std::vector<std::string>& arguments);

} // namespace app
