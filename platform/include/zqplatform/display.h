// Platform module 'display': DirectDraw 7 surfaces and the Direct3D 7 device in software.
// Interfaces are plain C++ classes with the methods the engine calls; objects are reference
// counted (Release returns the count left) and are destroyed when it reaches 0.
// Rendering executes immediately: a lock, DC or blit between two draws sees both.
#pragma once

#include "zqplatform/display_records.h"

class IDirectDraw7;
class IDirectDrawSurface7;
class IDirectDrawClipper;
class IDirect3D7;
class IDirect3DDevice7;
typedef IDirectDraw7* LPDIRECTDRAW7;
typedef IDirectDrawSurface7* LPDIRECTDRAWSURFACE7;
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;
typedef IDirect3D7* LPDIRECT3D7;
typedef IDirect3DDevice7* LPDIRECT3DDEVICE7;
typedef const GUID& REFCLSID;

// ---- interface and device ids ----
inline constexpr GUID IID_IDirectDraw7 = {
    0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};
inline constexpr GUID IID_IDirectDrawSurface7 = {
    0x06675a80, 0x3b9b, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};
inline constexpr GUID IID_IDirect3D7 = {
    0xf5049e77, 0x4861, 0x11d2, {0xa4, 0x07, 0x00, 0xa0, 0xc9, 0x06, 0x29, 0xa8}};
inline constexpr GUID IID_IDirect3DDevice7 = {
    0xf5049e79, 0x4861, 0x11d2, {0xa4, 0x07, 0x00, 0xa0, 0xc9, 0x06, 0x29, 0xa8}};
inline constexpr GUID IID_IDirect3DRGBDevice = {
    0xa4665c60, 0x2673, 0x11cf, {0xa3, 0x1a, 0x00, 0xaa, 0x00, 0xb9, 0x33, 0x56}};
inline constexpr GUID IID_IDirect3DHALDevice = {
    0x84e63de0, 0x46aa, 0x11cf, {0x81, 0x6f, 0x00, 0x00, 0xc0, 0x20, 0x15, 0x6e}};
inline constexpr GUID IID_IDirect3DMMXDevice = {
    0x881949a1, 0xd6f3, 0x11d0, {0x89, 0xab, 0x00, 0xa0, 0xc9, 0x05, 0x41, 0x29}};
inline constexpr GUID IID_IDirect3DRefDevice = {
    0x50936643, 0x13e9, 0x11d1, {0x89, 0xaa, 0x00, 0xa0, 0xc9, 0x05, 0x41, 0x29}};
inline constexpr GUID IID_IDirect3DTnLHalDevice = {
    0xf5049e78, 0x4861, 0x11d2, {0xa4, 0x07, 0x00, 0xa0, 0xc9, 0x06, 0x29, 0xa8}};

inline bool zqSameGuid(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

// ---- callbacks ----
typedef BOOL (*LPDDENUMCALLBACKEXA)(GUID* lpGUID, LPSTR lpDriverDescription, LPSTR lpDriverName,
                                    LPVOID lpContext, HMONITOR hm);
typedef HRESULT (*LPDDENUMMODESCALLBACK2)(LPDDSURFACEDESC2 desc, LPVOID lpContext);
typedef HRESULT (*LPD3DENUMDEVICESCALLBACK7)(LPSTR lpDeviceDescription, LPSTR lpDeviceName,
                                             LPD3DDEVICEDESC7 desc, LPVOID lpContext);
typedef HRESULT (*LPD3DENUMPIXELFORMATSCALLBACK)(LPDDPIXELFORMAT format, LPVOID lpContext);

// ---- DirectDraw ----
class IDirectDrawClipper {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT SetHWnd(DWORD flags, HWND hwnd) = 0;
  virtual HRESULT GetHWnd(HWND* hwnd) = 0;

 protected:
  virtual ~IDirectDrawClipper() = default;
};

class IDirectDrawSurface7 {
 public:
  virtual HRESULT QueryInterface(REFIID riid, LPVOID* object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT AddAttachedSurface(LPDIRECTDRAWSURFACE7 surface) = 0;
  virtual HRESULT DeleteAttachedSurface(DWORD flags, LPDIRECTDRAWSURFACE7 surface) = 0;
  virtual HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* surface) = 0;
  // Clipped (to both surfaces and, on the primary, to the clipper's window), point-sampled
  // stretch; DDBLT_COLORFILL with lpDDBltFx->dwFillColor; DDBLT_KEYSRC compares the RGB bits.
  virtual HRESULT Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
                      LPDDBLTFX fx) = 0;
  virtual HRESULT Flip(LPDIRECTDRAWSURFACE7 target, DWORD flags) = 0;
  virtual HRESULT GetCaps(LPDDSCAPS2 caps) = 0;
  virtual HRESULT GetClipper(LPDIRECTDRAWCLIPPER* clipper) = 0;
  virtual HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) = 0;
  virtual HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  virtual HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  // A device context over the surface memory (text goes straight into the pixels).
  virtual HRESULT GetDC(HDC* hdc) = 0;
  virtual HRESULT ReleaseDC(HDC hdc) = 0;
  virtual HRESULT GetPixelFormat(LPDDPIXELFORMAT format) = 0;
  virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) = 0;
  virtual HRESULT IsLost() = 0;
  virtual HRESULT Restore() = 0;
  virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) = 0;
  virtual HRESULT Unlock(LPRECT rect) = 0;

 protected:
  virtual ~IDirectDrawSurface7() = default;
};

class IDirectDraw7 {
 public:
  // IID_IDirect3D7 gives the Direct3D interface of this driver.
  virtual HRESULT QueryInterface(REFIID riid, LPVOID* object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, void* outer) = 0;
  virtual HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface, void* outer) = 0;
  virtual HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 filter, LPVOID context,
                                   LPDDENUMMODESCALLBACK2 callback) = 0;
  virtual HRESULT FlipToGDISurface() = 0;
  virtual HRESULT GetCaps(LPDDCAPS driverCaps, LPDDCAPS helCaps) = 0;
  virtual HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) = 0;
  virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate, DWORD flags) = 0;
  virtual HRESULT RestoreDisplayMode() = 0;
  virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
  virtual HRESULT RestoreAllSurfaces() = 0;
  virtual HRESULT TestCooperativeLevel() = 0;

 protected:
  virtual ~IDirectDraw7() = default;
};

// ---- Direct3D ----
class IDirect3D7 {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, LPVOID context) = 0;
  virtual HRESULT CreateDevice(REFCLSID deviceGuid, LPDIRECTDRAWSURFACE7 renderTarget,
                               LPDIRECT3DDEVICE7* device) = 0;
  virtual HRESULT EnumZBufferFormats(REFCLSID deviceGuid, LPD3DENUMPIXELFORMATSCALLBACK callback,
                                     LPVOID context) = 0;

 protected:
  virtual ~IDirect3D7() = default;
};

class IDirect3DDevice7 {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT GetCaps(LPD3DDEVICEDESC7 desc) = 0;
  virtual HRESULT GetDirect3D(LPDIRECT3D7* d3d) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT SetRenderTarget(LPDIRECTDRAWSURFACE7 surface, DWORD flags) = 0;
  virtual HRESULT GetRenderTarget(LPDIRECTDRAWSURFACE7* surface) = 0;
  virtual HRESULT Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR color, D3DVALUE z,
                        DWORD stencil) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) = 0;
  virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) = 0;
  virtual HRESULT SetViewport(LPD3DVIEWPORT7 viewport) = 0;
  virtual HRESULT GetViewport(LPD3DVIEWPORT7 viewport) = 0;
  virtual HRESULT SetMaterial(LPD3DMATERIAL7 material) = 0;
  virtual HRESULT GetMaterial(LPD3DMATERIAL7 material) = 0;
  virtual HRESULT SetLight(DWORD index, LPD3DLIGHT7 light) = 0;
  virtual HRESULT GetLight(DWORD index, LPD3DLIGHT7 light) = 0;
  virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) = 0;
  virtual HRESULT SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 texture) = 0;
  virtual HRESULT GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7* texture) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, LPDWORD value) = 0;
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD vertexCount,
                                DWORD flags) = 0;
  virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD vertexCount,
                                       LPWORD indices, DWORD indexCount, DWORD flags) = 0;

 protected:
  virtual ~IDirect3DDevice7() = default;
};

// ---- creation and enumeration ----
// lpGuid null (or a driver's GUID from the enumeration) and IID_IDirectDraw7.
ZQPLAT_API HRESULT DirectDrawCreateEx(GUID* lpGuid, LPVOID* lplpDD, REFIID iid, void* outer);
// The primary driver is reported with a null GUID.
ZQPLAT_API HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD flags);

#include "zqplatform/display_d3dx.h"
#include "zqplatform/display_hooks.h"
