// Surfaces: CDxSurface (one DirectDraw surface with pixel conversion, blits, GDI text and
// loaders) and CZqSurface (the engine's off-screen surface: creation, colour keys, restore).
#pragma once

#include <string>

#include "ZqDefs.h"
#include "ZqGeometry.h"
#include "ZqPixelMap.h"

class CZqEngine;
class CPixelMap32;
class CDibMap;
struct SStreamBuf;

#pragma pack(push, 1)
// One run of a picture body: a row and a column range [first, end), all from the surface's
// top-left.
struct SPictureSpan {
  int16_t row;
  int16_t first;
  int16_t end;
};
#pragma pack(pop)
static_assert(sizeof(SPictureSpan) == 6, "spans are stored in picture files");

// How one channel (red, green, blue, alpha) sits in a pixel: an 8-bit value loses `loss` low
// bits and is shifted left by `shift`.
struct SChannelInfo {
  int32_t loss = 8;
  int32_t shift = 0;
};

class ZQ_API CDxSurface {
 public:
  CDxSurface();
  explicit CDxSurface(CZqEngine* engine);
  CDxSurface(const CDxSurface&) = delete;
  CDxSurface& operator=(const CDxSurface&) = delete;

  virtual DWORD GetWidth();
  virtual DWORD GetHeight();
  virtual SScreenRect GetRect();
  // The raw pixel (0 outside the surface); each non-null output gets its channel as 8 bits.
  virtual DWORD GetPixelInfo(long x, long y, BYTE* alpha, BYTE* red, BYTE* green, BYTE* blue);
  virtual long Update();
  virtual void ReleaseSurface();
  virtual long RestoreSurface();
  virtual long BeginLock(BYTE** bits, LONG* pitch) = 0;
  virtual long EndLock() = 0;
  virtual void Cleanup();
  virtual long OnCreate();

  // Adopts a surface (one more reference).
  long Create(LPDIRECTDRAWSURFACE7 surface);
  // Asks the engine's DirectDraw object for a surface.
  long Create(DDSURFACEDESC2* desc);

  LPDIRECTDRAWSURFACE7 GetDDrawSurface() const { return m_pSurface; }
  _D3DX_SURFACEFORMAT GetSurfaceFormat() const { return m_format; }
  DWORD GetColorCount() const { return m_dwBitCount; }
  CZqEngine* GetEngine() const { return m_pEngine; }
  const std::string& GetName() const { return m_strName; }
  const DDSURFACEDESC2& GetSurfaceDesc() const { return m_ddsd; }
  const SChannelInfo& GetChannel(int index) const { return m_channel[index]; }  // 0 red .. 3 alpha
  const SPictureSpan* GetSpans() const { return m_pSpans; }
  long GetSpanCount() const { return m_nSpanCount; }
  SScreenPoint GetBasePoint() const { return m_ptBase; }
  void AdjustBasePoint(const SScreenPoint& offset) { m_ptBase += offset; }

  long BeginDc(HDC* dc);
  long EndDc(HDC dc);

  // 0xAARRGGBB to this surface's pixel value.
  DWORD ConvertColor(DWORD argb) const;
  // GDI colour 0x00BBGGRR to this surface's pixel value (no alpha).
  DWORD ConvertGDIColor(COLORREF color) const;
  long Clear(DWORD pixel, SScreenRect* rect = nullptr);
  long RGBClear(COLORREF color, SScreenRect* rect = nullptr);

  long Blt(long x, long y, CDxSurface* source, SScreenRect* sourceRect, int useKey);
  long Blt(SScreenRect* destRect, CDxSurface* source, SScreenRect* sourceRect, int useKey);
  long CopySurface(long x, long y, CDxSurface* source, SScreenRect* sourceRect);

  long DrawTextDirect(HFONT font, const char* text, long x, long y, COLORREF textColor, COLORREF backColor);
  long DrawTextCenter(HFONT font, const char* text, long x, long y, long width, COLORREF textColor,
                      COLORREF backColor);
  long DrawTextInRect(HFONT font, const char* text, long x, long y, long width, long height,
                      COLORREF textColor, COLORREF backColor);
  // Text in one colour (0xAARRGGBB) without smoothing; background 0 keeps the pixels.
  long DrawTextA(HFONT font, const char* text, SScreenRect* rect, long width, long height, UINT format,
                 DWORD textColor, DWORD backColor);
  long DrawNumber(HFONT font, const char* text, SScreenRect* rect, long width, long height, UINT format,
                  DWORD textColor, DWORD backColor);
  long DrawBitmap(HBITMAP bitmap, long sourceX, long sourceY, long sourceWidth, long sourceHeight);
  long DrawBitmap(const char* name, long width, long height);

  long LoadFromPixmap(CPixelMap32* map, long x, long y);
  long LoadFromJpegFile(const char* path, const SPixel24* key, long x, long y);
  long LoadFromJpegFile(SStreamBuf* stream, const SPixel24* key, long x, long y);
  long LoadFromPGMFile(SStreamBuf* stream);
  long LoadFromRGBData(const BYTE* data, long width, long height, int bottomUp, long x, long y);
  long LoadFromDibmap(CDibMap* dib, long x, long y);
  long LoadFromDibmapEx(CDibMap* dib, SScreenRect* sourceRect, SScreenRect* destRect);

  long ChangeFormat(_D3DX_SURFACEFORMAT format);

 protected:
  ~CDxSurface();

  // Lock of the whole surface, retried while the surface is still drawing.
  HRESULT LockWhole(DDSURFACEDESC2* desc);
  DWORD PackChannels(DWORD r, DWORD g, DWORD b, DWORD a) const;
  void StorePixel(BYTE* row, long x, DWORD value) const;
  void ClearWhole();

  CZqEngine* m_pEngine;
  std::string m_strName;
  int m_bEngineFlag;
  int m_bVideoMemory;
  LPDIRECTDRAWSURFACE7 m_pSurface;
  DDSURFACEDESC2 m_ddsd;
  _D3DX_SURFACEFORMAT m_format;
  DWORD m_dwBitCount;
  SPictureSpan* m_pSpans;
  long m_nSpanCount;
  SScreenPoint m_ptBase;
  SChannelInfo m_channel[4];  // red, green, blue, alpha
};

class ZQ_API CZqSurface : public CDxSurface {
 public:
  explicit CZqSurface(CZqEngine* engine);

  long BeginLock(BYTE** bits, LONG* pitch) override;
  long EndLock() override;
  virtual long ReleaseObjects();
  virtual long RestoreObjects();
  virtual ~CZqSurface();

  long CreateEx(DWORD width, DWORD height, int videoMemory);
  long CreateEx(CPixelMap32* map, int flag);
  long CreateFromBitmap(const char* name, DWORD width, DWORD height, int videoMemory, COLORREF colorKey);
  long CreateFromJPEG(const char* path);

  // The pixel value the driver itself stores for a GDI colour (-1: the present pixel (0, 0)).
  DWORD ConvertGDIColor(COLORREF color);
  long SetColorKey(COLORREF color);
  int HasColorKey() const { return m_bColorKey; }
  COLORREF GetColorKey() const { return m_colorKey; }

 protected:
  int m_bColorKey;
  COLORREF m_colorKey;
  int m_bMemory;
};
