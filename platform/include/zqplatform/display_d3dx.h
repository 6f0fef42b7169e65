// D3DX texture helpers over the software device: texture creation at exactly the asked size
// and format (up to the device's maximum texture size), format mapping, loads from .bmp/.tga
// files and from surfaces.
#pragma once

#include "zqplatform/display.h"

class IDirectDrawPalette;
typedef IDirectDrawPalette* LPDIRECTDRAWPALETTE;

// Surface-format codes; the values are stored in files.
enum D3DX_SURFACEFORMAT {
  D3DX_SF_UNKNOWN = 0,
  D3DX_SF_R8G8B8 = 1,
  D3DX_SF_A8R8G8B8 = 2,
  D3DX_SF_X8R8G8B8 = 3,
  D3DX_SF_R5G6B5 = 4,
  D3DX_SF_R5G5B5 = 5,
  D3DX_SF_PALETTE4 = 6,
  D3DX_SF_PALETTE8 = 7,
  D3DX_SF_A1R5G5B5 = 8,
  D3DX_SF_X4R4G4B4 = 9,
  D3DX_SF_A4R4G4B4 = 10,
};
typedef D3DX_SURFACEFORMAT _D3DX_SURFACEFORMAT;

enum D3DX_FILTERTYPE {
  D3DX_FT_POINT = 0x01,
  D3DX_FT_LINEAR = 0x02,
  D3DX_FT_DEFAULT = (int)0xFFFFFFFF,
};

#define D3DX_DEFAULT ((DWORD)0xFFFFFFFF)
#define D3DX_TEXTURE_NOMIPMAP (1 << 8)

#define D3DXERR_NOMEMORY E_OUTOFMEMORY
#define D3DXERR_NULLPOINTER E_POINTER
#define D3DXERR_INVALIDPARAMETER E_INVALIDARG

ZQPLAT_API HRESULT D3DXInitialize();
ZQPLAT_API HRESULT D3DXUninitialize();

// Maps a pixel format to its code (D3DX_SF_UNKNOWN when there is none) and back.
ZQPLAT_API D3DX_SURFACEFORMAT D3DXMakeSurfaceFormat(LPDDPIXELFORMAT format);
ZQPLAT_API HRESULT D3DXMakeDDPixelFormat(D3DX_SURFACEFORMAT format, LPDDPIXELFORMAT out);

// Creates a texture surface. Width and height are clamped to the device's maximum texture
// size (written back); the format is kept when the device can sample it (written back);
// one mip level is made (written back in numMipMaps when given).
ZQPLAT_API HRESULT D3DXCreateTexture(LPDIRECT3DDEVICE7 device, LPDWORD flags, LPDWORD width, LPDWORD height,
                                     D3DX_SURFACEFORMAT* format, LPDIRECTDRAWPALETTE palette,
                                     LPDIRECTDRAWSURFACE7* texture, LPDWORD numMipMaps);

// As D3DXCreateTexture from a .bmp or .tga file; width and height 0 (or null) take the file's;
// the picture is scaled into the texture with the filter (default: linear when scaling).
ZQPLAT_API HRESULT D3DXCreateTextureFromFile(LPDIRECT3DDEVICE7 device, LPDWORD flags, LPDWORD width,
                                             LPDWORD height, D3DX_SURFACEFORMAT* format,
                                             LPDIRECTDRAWPALETTE palette, LPDIRECTDRAWSURFACE7* texture,
                                             LPDWORD numMipMaps, LPSTR srcName, D3DX_FILTERTYPE filter);

// Copies (and scales, converting the format) a surface's rectangle into a texture's.
ZQPLAT_API HRESULT D3DXLoadTextureFromSurface(LPDIRECT3DDEVICE7 device, LPDIRECTDRAWSURFACE7 texture,
                                              DWORD mipMapLevel, LPDIRECTDRAWSURFACE7 source,
                                              RECT* sourceRect, RECT* destRect, D3DX_FILTERTYPE filter);
