#include "app/front_panel.h"

HINSTANCE appInstance;
HWND mainWindow;
HMENU popupMenu;
HBITMAP backgroundBitmap;
HBRUSH backgroundBrush;
int32_t screenWidth;
int32_t screenHeight;
HDROP dropHandle;
int32_t dropIndex;
