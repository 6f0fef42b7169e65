// The software DirectDraw surface: memory, description, locks, blits, colour keys, loss.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/pixel_format.h"

namespace zqdisplay {

class Clipper;

class Surface final : public IDirectDrawSurface7 {
 public:
  // desc must be complete (size, caps, pixel format); primary surfaces have no memory.
  static HRESULT create(const DDSURFACEDESC2& desc, HWND window, Surface** out);

  HRESULT QueryInterface(REFIID riid, LPVOID* object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT AddAttachedSurface(LPDIRECTDRAWSURFACE7 surface) override;
  HRESULT DeleteAttachedSurface(DWORD flags, LPDIRECTDRAWSURFACE7 surface) override;
  HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* surface) override;
  HRESULT Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
              LPDDBLTFX fx) override;
  HRESULT Flip(LPDIRECTDRAWSURFACE7 target, DWORD flags) override;
  HRESULT GetCaps(LPDDSCAPS2 caps) override;
  HRESULT GetClipper(LPDIRECTDRAWCLIPPER* clipper) override;
  HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
  HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT GetDC(HDC* hdc) override;
  HRESULT ReleaseDC(HDC hdc) override;
  HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override;
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
  HRESULT IsLost() override;
  HRESULT Restore() override;
  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
  HRESULT Unlock(LPRECT rect) override;

  // ---- for the device, D3DX and presentation ----
  int width() const { return int(desc_.dwWidth); }
  int height() const { return int(desc_.dwHeight); }
  LONG pitch() const { return pitch_; }
  BYTE* bits() { return memory_.get(); }
  const PixelLayout& layout() const { return layout_; }
  const DDSURFACEDESC2& desc() const { return desc_; }
  bool lost() const { return lost_; }
  bool busy() const { return locks_ > 0 || dc_ != nullptr; }
  bool primary() const { return (desc_.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0; }
  void markLost() { lost_ = true; }
  void touch() { ++version_; }  // contents changed
  uint64_t version() const { return version_; }
  HWND presentWindow() const;
  Surface* attachedZ() const;

  // 32-bit ARGB view of the pixels for sampling: the memory itself for 32-bit formats
  // (alphaOr forces opaque alpha where the format has none), else a converted copy kept
  // until the contents change.
  const uint32_t* argbView(int* stride, uint32_t* alphaOr);

 private:
  Surface() = default;
  ~Surface() override;
  HRESULT fill(const RECT& r, DWORD raw);
  HRESULT copyFrom(Surface* src, RECT dst, RECT srcRect, bool key, DDCOLORKEY keyRange);

  std::atomic<ULONG> refs_{1};
  DDSURFACEDESC2 desc_{};
  PixelLayout layout_;
  LONG pitch_ = 0;
  std::unique_ptr<BYTE[]> memory_;
  bool lost_ = false;
  int locks_ = 0;
  HDC dc_ = nullptr;
  bool hasSrcKey_ = false;
  DDCOLORKEY srcKey_{};
  Clipper* clipper_ = nullptr;
  HWND window_ = nullptr;  // cooperative-level window, for the primary
  std::vector<Surface*> attached_;
  uint64_t version_ = 1;
  std::vector<uint32_t> shadow_;
  uint64_t shadowVersion_ = 0;
};

class Clipper final : public IDirectDrawClipper {
 public:
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;
  HRESULT SetHWnd(DWORD flags, HWND hwnd) override;
  HRESULT GetHWnd(HWND* hwnd) override;
  HWND window() const { return hwnd_; }

 private:
  std::atomic<ULONG> refs_{1};
  HWND hwnd_ = nullptr;
};

Surface* asSurface(LPDIRECTDRAWSURFACE7 s);

// Every live surface (for loss and counting).
void registerSurface(Surface* s);
void unregisterSurface(Surface* s);
void forEachSurface(void (*fn)(Surface*, void*), void* ctx);
int liveSurfaceCount();

// Presentation into windows (present.cpp): a blit onto the primary surface.
HRESULT presentBlt(HWND hwnd, const RECT& screenDest, Surface* src, const RECT& srcRect);
HRESULT presentFill(HWND hwnd, const RECT* screenDest, DWORD argb);
void desktopSize(int* w, int* h);

}  // namespace zqdisplay
