// Test hooks of the display module: the enumerated hardware, surface loss, texture limits,
// the cooperative-level state, and the frames presented into windows.
#pragma once

#include "zqplatform/display.h"

// One Direct3D device of a driver fed to the enumerator.
struct ZqDisplayDevice {
  char description[128];
  char name[64];
  D3DDEVICEDESC7 desc;  // desc.deviceGUID is the device's GUID
};

// One DirectDraw driver fed to the enumerator. The first driver with primary != 0 is reported
// with a null GUID.
struct ZqDisplayDriver {
  BOOL primary;
  GUID guid;
  char description[128];
  char name[64];
  DDCAPS hardwareCaps;
  DDCAPS emulationCaps;
  const DDSURFACEDESC2* modes;  // display modes, in the order EnumDisplayModes reports them
  int modeCount;
  const ZqDisplayDevice* devices;
  int deviceCount;
  BOOL failDirectDraw;  // DirectDrawCreateEx fails for this driver
  BOOL failDirect3D;    // QueryInterface(IID_IDirect3D7) fails
};

// Replaces the machine's drivers (copied). A count below 0 restores the default: the primary
// driver with the software device and the machine's display modes.
ZQPLAT_API void zqDisplaySetDrivers(const ZqDisplayDriver* drivers, int count);
// The default primary driver, device and a display mode, to be edited by tests.
ZQPLAT_API void zqDisplayDefaultDriver(ZqDisplayDriver* driver);
ZQPLAT_API void zqDisplayDefaultDevice(ZqDisplayDevice* device);
ZQPLAT_API void zqDisplayMakeMode(DDSURFACEDESC2* mode, DWORD width, DWORD height, DWORD bpp,
                                  DWORD refreshRate);

// Every existing surface becomes lost until Restore / RestoreAllSurfaces.
ZQPLAT_API void zqDisplayMarkAllSurfacesLost();
// Largest texture width/height of the software device (default 4096); 0 restores the default.
ZQPLAT_API void zqDisplaySetMaxTextureSize(DWORD size);
// The desktop mode that GetDisplayMode reports (width 0 restores the machine's).
ZQPLAT_API void zqDisplaySetDesktopMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate);
// What TestCooperativeLevel returns (DD_OK by default).
ZQPLAT_API void zqDisplaySetCooperativeLevelResult(HRESULT result);
// The widest vectors (512, 256 or 128 bits) the software device's kernels may use where the
// processor has them; 512 by default. Every width gives the same pixels.
ZQPLAT_API void zqDisplaySetKernelWidth(int bits);
// Number of live surfaces (all DirectDraw objects).
ZQPLAT_API int zqDisplayLiveSurfaceCount();

// The last frame presented into a window's client area, as 0x00RRGGBB pixels, row by row.
// Null when nothing was presented. The pointer stays valid until the next present.
ZQPLAT_API const DWORD* zqDisplayPresentedFrame(HWND hwnd, int* width, int* height);
ZQPLAT_API DWORD zqDisplayPresentCount(HWND hwnd);
// Writes that frame, or a surface, as an RGB PNG. TRUE on success.
ZQPLAT_API BOOL zqDisplayWritePresentedFramePng(HWND hwnd, const char* path);
ZQPLAT_API BOOL zqDisplayWriteSurfacePng(LPDIRECTDRAWSURFACE7 surface, const char* path);

// The exclusive full screen as a driver object holds it: the window, its cooperative flags, the
// display mode set and the flips presented since. exclusiveMode: the window took that display
// mode (FALSE: it covers the desktop at the desktop's mode). TRUE while a mode is set.
struct ZqDisplayFullscreenState {
  HWND window;
  DWORD cooperativeFlags;
  DWORD width, height, bitsPerPixel, refreshRate;
  BOOL exclusiveMode;
  DWORD flips;
  DWORD lastFlipFlags;
};
ZQPLAT_API BOOL zqDisplayGetFullscreenState(ZqDisplayFullscreenState* out);
