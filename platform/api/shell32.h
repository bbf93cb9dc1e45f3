// SHELL32 subset: files dropped on a window.
#pragma once

#include "windef.h"

HP_EXTERN_C_BEGIN

void WINAPI DragAcceptFiles(HWND window, BOOL accept);
UINT WINAPI DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size);
BOOL WINAPI DragQueryPoint(HDROP drop, LPPOINT point);
void WINAPI DragFinish(HDROP drop);

HP_EXTERN_C_END

#define DragQueryFile DragQueryFileA
