// Presentation: blits onto the primary surface land in the frame of the target window's
// client area, which the window system's back-end shows (headless it is only kept, for tests).
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

#include "display/surface.h"
#include "window/backend.h"
#include "zqplatform/window.h"

namespace zqdisplay {

namespace {

struct WindowFrame {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;  // 0x00RRGGBB
  DWORD presents = 0;
};

std::mutex g_lock;
std::map<HWND, WindowFrame> g_frames;

// A window's frame goes with the window: handles are never reused, but a frame kept for every
// window ever presented would grow without end.
void forgetFrame(HWND hwnd) {
  std::lock_guard<std::mutex> l(g_lock);
  g_frames.erase(hwnd);
}

// Client rectangle of the window in screen coordinates.
RECT clientArea(HWND hwnd, const RECT& fallback) {
  RECT rc{};
  if (hwnd && GetClientRect(hwnd, &rc) && rc.right > rc.left && rc.bottom > rc.top) {
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return RECT{origin.x, origin.y, origin.x + (rc.right - rc.left), origin.y + (rc.bottom - rc.top)};
  }
  return RECT{0, 0, std::max<LONG>(fallback.right, 1), std::max<LONG>(fallback.bottom, 1)};
}

WindowFrame& frameFor(HWND hwnd, const RECT& area) {
  static const bool listening = (zqwin::addDestroyListener(&forgetFrame), true);
  (void)listening;
  WindowFrame& f = g_frames[hwnd];
  const int w = int(area.right - area.left), h = int(area.bottom - area.top);
  if (f.width != w || f.height != h) {
    f.width = w;
    f.height = h;
    f.pixels.assign(size_t(w) * h, 0);
  }
  return f;
}

}  // namespace

HRESULT presentBlt(HWND hwnd, const RECT& screenDest, Surface* src, const RECT& s) {
  std::lock_guard<std::mutex> l(g_lock);
  const RECT area = clientArea(hwnd, screenDest);
  WindowFrame& f = frameFor(hwnd, area);
  // Destination in client coordinates, clipped to the client area; source follows in proportion.
  const LONG dl = screenDest.left - area.left, dt = screenDest.top - area.top;
  const LONG dw = screenDest.right - screenDest.left, dh = screenDest.bottom - screenDest.top;
  const LONG sw = s.right - s.left, sh = s.bottom - s.top;
  const LONG x0 = std::max<LONG>(dl, 0), x1 = std::min<LONG>(dl + dw, f.width);
  const LONG y0 = std::max<LONG>(dt, 0), y1 = std::min<LONG>(dt + dh, f.height);
  const PixelLayout& lay = src->layout();
  const DWORD bytes = lay.bytes();
  if (x0 < x1 && y0 < y1) {
    std::vector<LONG> cols(size_t(x1 - x0));
    for (LONG x = x0; x < x1; ++x)
      cols[size_t(x - x0)] = s.left + LONG(((2 * int64_t(x - dl) + 1) * sw) / (2 * int64_t(dw)));
    for (LONG y = y0; y < y1; ++y) {
      const LONG sy = s.top + LONG(((2 * int64_t(y - dt) + 1) * sh) / (2 * int64_t(dh)));
      const BYTE* row = src->bits() + size_t(sy) * src->pitch();
      DWORD* out = f.pixels.data() + size_t(y) * f.width;
      if (lay.argb8888()) {
        const uint32_t* r32 = reinterpret_cast<const uint32_t*>(row);
        for (LONG x = x0; x < x1; ++x) out[x] = r32[cols[size_t(x - x0)]] & 0x00FFFFFFu;
      } else {
        for (LONG x = x0; x < x1; ++x)
          out[x] = decode(lay, readRaw(row + size_t(cols[size_t(x - x0)]) * bytes, bytes)) & 0x00FFFFFFu;
      }
    }
  }
  ++f.presents;
  if (hwnd) zqwin::presentFrame(hwnd, f.pixels.data(), f.width, f.height);
  return DD_OK;
}

HRESULT presentFill(HWND hwnd, const RECT* screenDest, DWORD argb) {
  std::lock_guard<std::mutex> l(g_lock);
  const RECT area = clientArea(hwnd, screenDest ? *screenDest : RECT{0, 0, 1, 1});
  WindowFrame& f = frameFor(hwnd, area);
  RECT d = screenDest ? *screenDest : area;
  const LONG x0 = std::max<LONG>(d.left - area.left, 0), x1 = std::min<LONG>(d.right - area.left, f.width);
  const LONG y0 = std::max<LONG>(d.top - area.top, 0), y1 = std::min<LONG>(d.bottom - area.top, f.height);
  for (LONG y = y0; y < y1; ++y)
    std::fill(f.pixels.begin() + y * f.width + x0, f.pixels.begin() + y * f.width + x1, argb & 0x00FFFFFFu);
  return DD_OK;
}

namespace {
bool writePng(const char* path, int w, int h, const std::vector<BYTE>& rgb) {
  FILE* fp = std::fopen(path, "wb");
  if (!fp) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(fp);
    return false;
  }
  png_init_io(png, fp);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) png_write_row(png, const_cast<BYTE*>(rgb.data() + size_t(y) * w * 3));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(fp) == 0;
}

bool writeArgbPng(const char* path, int w, int h, const DWORD* px, size_t stride) {
  std::vector<BYTE> rgb(size_t(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      DWORD c = px[size_t(y) * stride + x];
      BYTE* o = &rgb[(size_t(y) * w + x) * 3];
      o[0] = BYTE(c >> 16);
      o[1] = BYTE(c >> 8);
      o[2] = BYTE(c);
    }
  return writePng(path, w, h, rgb);
}
}  // namespace

}  // namespace zqdisplay

using namespace zqdisplay;

const DWORD* zqDisplayPresentedFrame(HWND hwnd, int* width, int* height) {
  std::lock_guard<std::mutex> l(g_lock);
  auto it = g_frames.find(hwnd);
  if (it == g_frames.end() || it->second.presents == 0) return nullptr;
  if (width) *width = it->second.width;
  if (height) *height = it->second.height;
  return it->second.pixels.data();
}

DWORD zqDisplayPresentCount(HWND hwnd) {
  std::lock_guard<std::mutex> l(g_lock);
  auto it = g_frames.find(hwnd);
  return it == g_frames.end() ? 0 : it->second.presents;
}

BOOL zqDisplayWritePresentedFramePng(HWND hwnd, const char* path) {
  if (!path) return FALSE;
  std::lock_guard<std::mutex> l(g_lock);
  auto it = g_frames.find(hwnd);
  if (it == g_frames.end() || it->second.presents == 0) return FALSE;
  return writeArgbPng(path, it->second.width, it->second.height, it->second.pixels.data(),
                      size_t(it->second.width));
}

BOOL zqDisplayWriteSurfacePng(LPDIRECTDRAWSURFACE7 surface, const char* path) {
  if (!surface || !path) return FALSE;
  Surface* s = asSurface(surface);
  if (!s->bits() || s->layout().zbuffer) return FALSE;
  int stride;
  uint32_t aor;
  const uint32_t* px = s->argbView(&stride, &aor);
  return writeArgbPng(path, s->width(), s->height(), px, size_t(stride));
}
