// The display-mode menu the engine application hangs into its window and popup menus.
#include <cstdio>

#include "ZqGame.h"

HMENU Device_CreateModeMenu(SDxDeviceInfo* device) {
  if (!device) return nullptr;
  HMENU menu = CreateMenu();
  if (!menu) return nullptr;
  AppendMenuA(menu, MF_STRING | MF_CHECKED, ZQ_MENU_WINDOWED, "Windowed mode");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  // A record read back without its mode array lists no modes rather than reading through null.
  const DWORD count = device->pddsdModes ? device->dwNumModes : 0;
  for (DWORD i = 0; i < count; ++i) {
    const DDSURFACEDESC2& mode = device->pddsdModes[i];
    char text[64];
    std::snprintf(text, sizeof text, "%dX%dX%d", (int)mode.dwWidth, (int)mode.dwHeight,
                  (int)mode.ddpfPixelFormat.dwRGBBitCount);
    AppendMenuA(menu, MF_STRING, ZQ_MENU_MODE_BASE + i, text);
  }
  return menu;
}
