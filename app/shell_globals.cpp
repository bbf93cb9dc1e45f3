#include "app/front_panel.h"

HINSTANCE appInstance;
HWND mainWindow;
HMENU popupMenu;
HBITMAP backgroundBitmap;
HBRUSH backgroundBrush;
int32_t screenWidth;
int32_t screenHeight;
POINT pointerPos;
HDROP dropHandle;
int32_t dropIndex;

HFONT panelFont;
HBRUSH redLightBrush;
HBRUSH yellowLightBrush;
HBRUSH greenLightBrush;
HBRUSH blueLightBrush;
HBRUSH unlitLightBrush;
HBRUSH progressBrush;
