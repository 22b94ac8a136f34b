// Valbrix.exe: dialog 301 on the desktop, readings typed with keybd_event.
#include <windows.h>

#include "win32/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return valbrix::runApplication(instance); }
