// Engine picture files over arbitrary bytes: a "PGM" body read into a 32-bit and a 16-bit
// surface (spans clipped to the surface, counts checked against the stream), and a "PGG" group
// header with its frame table.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "ZqLib.h"

namespace {

struct Surfaces {
  LPDIRECTDRAW7 dd = nullptr;
  LPDIRECTDRAWSURFACE7 plain[2] = {};
  Surfaces() {
    DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr);
    if (!dd) return;
    dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    const DWORD bits[2] = {32, 16};
    for (int i = 0; i < 2; ++i) {
      DDSURFACEDESC2 d;
      std::memset(&d, 0, sizeof d);
      d.dwSize = sizeof d;
      d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
      d.dwWidth = 13;
      d.dwHeight = 7;
      d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
      d.ddpfPixelFormat.dwSize = sizeof d.ddpfPixelFormat;
      d.ddpfPixelFormat.dwFlags = DDPF_RGB;
      d.ddpfPixelFormat.dwRGBBitCount = bits[i];
      d.ddpfPixelFormat.dwRBitMask = i == 0 ? 0xFF0000 : 0xF800;
      d.ddpfPixelFormat.dwGBitMask = i == 0 ? 0x00FF00 : 0x07E0;
      d.ddpfPixelFormat.dwBBitMask = i == 0 ? 0x0000FF : 0x001F;
      dd->CreateSurface(&d, &plain[i], nullptr);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Surfaces surfaces;
  static int fd = memfd_create("picture_body", 0);
  if (size > (1 << 20) || fd < 0) return 0;

  for (LPDIRECTDRAWSURFACE7 plain : surfaces.plain) {
    if (!plain) continue;
    FILE* f = fmemopen(const_cast<uint8_t*>(data), size ? size : 1, "rb");
    if (!f) return 0;
    SStreamBuf s;
    s.m_pFile = f;
    s.m_nSize = int32_t(size);
    CZqSurface surface(nullptr);
    if (surface.Create(plain) == 0) surface.LoadFromPGMFile(&s);
    std::fclose(f);
  }

  char path[64];
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) return 0;
  CZqTextureGroup group(nullptr);
  group.LoadFromPGG(path);
  return 0;
}
