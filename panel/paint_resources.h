// The panel's drawing resources: the font of the text lines and six solid
// brushes, for the tree lights and the inside of the progress bar. The
// program's start-up creates them and its shutdown deletes them, both in
// the order below.
#pragma once

#include "platform/win32.h"

extern HFONT panelFont;
extern HBRUSH redLightBrush;
extern HBRUSH yellowLightBrush;
extern HBRUSH greenLightBrush;
extern HBRUSH blueLightBrush;
extern HBRUSH unlitLightBrush;
extern HBRUSH progressBrush;

void createPaintResources();
void deletePaintResources();
