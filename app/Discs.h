// The discs of the outside view: the Moon with its phase, the Earth as a lit
// globe, the Sun symbol; each can be drawn in black to erase it.
#pragma once

namespace app {

void DrawMoon(int colour);
void DrawEarth(int colour);
void DrawSunSymbol(int colour);

// Registers the globe's transform, visibility and projection hooks (once, at
// the parameters' initialisation).
void InstallGlobeHooks();

} // namespace app
