// D3DXCreateTextureFromFile over arbitrary .bmp / .tga bytes (read through a memory file).
// Seeds in fuzz/corpus/d3dx_files, made with ImageMagick: `convert -size 3x2 gradient:red-blue
// BMP3:grad24.bmp`, a 4-colour palette BMP3, run-length, 32-bit alpha and colour-mapped TGAs.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "software_device.h"
#include "zqplatform/display.h"

namespace {

struct Device : SoftwareDevice {
  Device() : SoftwareDevice(8, 8) {
    zqDisplaySetMaxTextureSize(512);  // keeps the scaling of huge pictures quick
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Device device;
  static int fd = memfd_create("d3dx_file", 0);
  static char path[64];
  if (fd < 0 || !device.dev) return 0;
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) return 0;
  for (D3DX_SURFACEFORMAT f : {D3DX_SF_A8R8G8B8, D3DX_SF_R5G6B5}) {
    DWORD w = 0, h = 0;
    D3DX_SURFACEFORMAT format = f;
    LPDIRECTDRAWSURFACE7 tex = nullptr;
    if (SUCCEEDED(D3DXCreateTextureFromFile(device.dev, nullptr, &w, &h, &format, nullptr, &tex, nullptr,
                                            path, D3DX_FT_DEFAULT))) {
      DDSURFACEDESC2 d{};
      d.dwSize = sizeof d;
      if (tex->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) == DD_OK) {
        volatile BYTE sink = static_cast<BYTE*>(d.lpSurface)[size_t(h - 1) * d.lPitch];
        (void)sink;
        tex->Unlock(nullptr);
      }
      tex->Release();
    }
  }
  return 0;
}
