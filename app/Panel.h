// The fixed texts round the animation: the start screen, the status panel of
// the outside view and the help screens of F1.
#pragma once

namespace app {

// Once, before the first prompt of a program started without arguments.
void ShowStartScreen();
// Redraws the status panel of the outside view.
void DrawOutsideLabels();
// The help of the current view; it stays until the next key (single-step
// mode until the next frame, which restores the mode).
void ShowHelp();

} // namespace app
