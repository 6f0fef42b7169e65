// Textures: CZqTexture, a Direct3D texture surface shared by name with a user count, made
// lazily from its name; and the texture record, the engine's file of one texture.
#pragma once

#include <cstddef>

#include "ZqDefs.h"
#include "ZqSurface.h"

class CZqEngine;
class CPixelMap32;
struct SStreamBuf;
struct SPixel24;

class ZQ_API CZqTexture : public CZqSurface {
 public:
  explicit CZqTexture(CZqEngine* engine);
  ~CZqTexture() override;

  void Cleanup() override;
  // Makes the surface from the name; 0 when it exists already.
  long RestoreObjects() override;

  // The user count; nothing is released at any count (the engine deletes its textures).
  int AddUser();
  int Release();

  // Stores the name (releasing the surface when it changes); nothing is loaded.
  int SetStreamSource(const char* name);
  // The surface; without one, the name is first imported as a texture record.
  LPDIRECTDRAWSURFACE7 GetTexture();

  long CreateEx(DWORD width, DWORD height, _D3DX_SURFACEFORMAT format, DWORD mipCount);
  long CreateFromFile(const char* path, DWORD width, DWORD height, _D3DX_SURFACEFORMAT format,
                      DWORD mipCount);
  long CreateFromFileEx(const char* path, const SPixel24* key, _D3DX_SURFACEFORMAT format, DWORD mipCount);
  // Only a size and a base point; nothing is drawn from it.
  void CreateVirtual(DWORD width, DWORD height, long baseX, long baseY);
  int CreateFromTGA(const char* path, float scale, _D3DX_SURFACEFORMAT format, DWORD mipCount);
  // Trims the map to its pixels with alpha and makes the texture of them; 1 or 0.
  int CreateFromPixmap(CPixelMap32* map, float scale, _D3DX_SURFACEFORMAT format, DWORD mipCount);
  long LoadFromSurface(SScreenRect* destRect, CDxSurface* source, SScreenRect* sourceRect);

  // Texture records.
  long Import(const char* path);
  long Import(SStreamBuf* stream);
  int LoadFromMemory(const BYTE* record, size_t length);
  // The record size, 0 on failure.
  long Export(const char* path, int runLength);
  long Export(SStreamBuf* stream, int runLength);

  void SetBasePoint(const SScreenPoint& point) { m_ptBase = point; }
  DWORD GetWidthEx() const { return m_dwWidthEx; }
  DWORD GetHeightEx() const { return m_dwHeightEx; }
  int IsTexture() const { return m_bTexture; }

 private:
  // After a texture exists: description, base (0, 0), logical size, texture flag.
  long TakeTexture(LPDIRECTDRAWSURFACE7 texture, DWORD mipCount);
  long CreateFromJpegStream(SStreamBuf* stream, const SPixel24* key, _D3DX_SURFACEFORMAT format,
                            DWORD mipCount);
  long CreateFromPgmStream(SStreamBuf* stream);
  long CreateFromObject(const char* name);
  long ImportRows(const BYTE* data, size_t size, int32_t format, int32_t runLength, DWORD width,
                  DWORD height);

  int32_t m_nUser;
  DWORD m_dwWidthEx;
  DWORD m_dwHeightEx;
  int m_bTexture;
  DWORD m_dwMipCount;
};
