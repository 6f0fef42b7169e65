// GDI stand-in: fonts, device contexts over surface memory, text, DIB and bitmap blits, palettes.
#pragma once

#include "zqplatform/types.h"

// ---- records (32-bit little-endian layouts; stored in .bmp files) ----

#pragma pack(push, 1)
typedef struct tagBITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
} BITMAPFILEHEADER, *LPBITMAPFILEHEADER;
#pragma pack(pop)

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPCOREHEADER {
  DWORD bcSize;
  WORD bcWidth;
  WORD bcHeight;
  WORD bcPlanes;
  WORD bcBitCount;
} BITMAPCOREHEADER, *LPBITMAPCOREHEADER;

typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD;

typedef struct tagRGBTRIPLE {
  BYTE rgbtBlue;
  BYTE rgbtGreen;
  BYTE rgbtRed;
} RGBTRIPLE;

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO, *LPBITMAPINFO;

typedef struct tagBITMAPCOREINFO {
  BITMAPCOREHEADER bmciHeader;
  RGBTRIPLE bmciColors[1];
} BITMAPCOREINFO, *LPBITMAPCOREINFO;

static_assert(sizeof(BITMAPFILEHEADER) == 14, "BITMAPFILEHEADER is 14 bytes");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(BITMAPCOREHEADER) == 12, "BITMAPCOREHEADER is 12 bytes");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD is 4 bytes");
static_assert(sizeof(RGBTRIPLE) == 3, "RGBTRIPLE is 3 bytes");
static_assert(sizeof(BITMAPINFO) == 44, "BITMAPINFO is 44 bytes");

// In-memory description of a bitmap (GetObjectA); never stored.
typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
} BITMAP, *LPBITMAP;

typedef struct tagPALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
} PALETTEENTRY, *LPPALETTEENTRY;

typedef struct tagLOGPALETTE {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
} LOGPALETTE, *LPLOGPALETTE;

#define LF_FACESIZE 32
typedef struct tagLOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA, *LPLOGFONTA;
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA is 60 bytes");

typedef struct tagTEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
} TEXTMETRICA, *LPTEXTMETRICA;

// ---- values ----

#define GDI_ERROR 0xFFFFFFFFu
#define CLR_INVALID 0xFFFFFFFFu
#define HGDI_ERROR ((HGDIOBJ)(intptr_t)-1)

// GetObjectType
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_MEMDC 10

// Stock objects
#define WHITE_BRUSH 0
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define WHITE_PEN 6
#define BLACK_PEN 7
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17

// Font weights, charsets, precisions, qualities, pitch and family
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900
#define FW_BLACK FW_HEAVY
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define SHIFTJIS_CHARSET 128
#define HANGUL_CHARSET 129
#define GB2312_CHARSET 134
#define CHINESEBIG5_CHARSET 136
#define OEM_CHARSET 255
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0

// Background modes
#define TRANSPARENT 1
#define OPAQUE 2

// DrawText formats
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_TABSTOP 0x00000080
#define DT_NOCLIP 0x00000100
#define DT_EXTERNALLEADING 0x00000200
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800

// GetDeviceCaps
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define RC_PALETTE 0x0100

// DIBs
#define BI_RGB 0
#define BI_RLE8 1
#define BI_RLE4 2
#define BI_BITFIELDS 3
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1

// Raster operations and stretch modes
#define SRCCOPY 0x00CC0020u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4
#define STRETCH_DELETESCANS COLORONCOLOR

// LoadImage
#define IMAGE_BITMAP 0
#define LR_DEFAULTCOLOR 0x0000
#define LR_LOADFROMFILE 0x0010
#define LR_CREATEDIBSECTION 0x2000

// ---- surface device contexts (the display module's IDirectDrawSurface7::GetDC) ----

// A DC whose drawing goes straight into the given memory: 16, 24 or 32 bits a pixel, channels
// given by their masks. Null for an unusable description. The memory must outlive the DC.
ZQPLAT_API HDC zqCreateSurfaceDC(void* bits, int width, int height, int pitch, int bitsPerPixel, DWORD rMask,
                                 DWORD gMask, DWORD bMask);
ZQPLAT_API void zqDeleteSurfaceDC(HDC hdc);

// ---- device contexts ----

ZQPLAT_API HDC GetDC(HWND hwnd);
ZQPLAT_API int ReleaseDC(HWND hwnd, HDC hdc);
ZQPLAT_API HDC CreateCompatibleDC(HDC hdc);
ZQPLAT_API BOOL DeleteDC(HDC hdc);
ZQPLAT_API int GetDeviceCaps(HDC hdc, int index);
ZQPLAT_API COLORREF SetTextColor(HDC hdc, COLORREF color);
ZQPLAT_API COLORREF GetTextColor(HDC hdc);
ZQPLAT_API COLORREF SetBkColor(HDC hdc, COLORREF color);
ZQPLAT_API COLORREF GetBkColor(HDC hdc);
ZQPLAT_API int SetBkMode(HDC hdc, int mode);
ZQPLAT_API int GetBkMode(HDC hdc);
ZQPLAT_API int SetStretchBltMode(HDC hdc, int mode);
ZQPLAT_API int GetStretchBltMode(HDC hdc);
ZQPLAT_API COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
ZQPLAT_API COLORREF GetPixel(HDC hdc, int x, int y);

// ---- objects ----

ZQPLAT_API HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
ZQPLAT_API BOOL DeleteObject(HGDIOBJ obj);
ZQPLAT_API HGDIOBJ GetStockObject(int index);
ZQPLAT_API HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
ZQPLAT_API DWORD GetObjectType(HGDIOBJ obj);
ZQPLAT_API int GetObjectA(HGDIOBJ obj, int size, LPVOID out);

// ---- fonts and text ----

ZQPLAT_API int MulDiv(int number, int numerator, int denominator);
ZQPLAT_API HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                             DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                             DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
ZQPLAT_API HFONT CreateFontIndirectA(const LOGFONTA* lf);
// Registers a font file for this process only; the type is told from the content. Returns the
// number of faces added (0 on failure).
ZQPLAT_API int AddFontResourceA(LPCSTR fileName);
ZQPLAT_API BOOL RemoveFontResourceA(LPCSTR fileName);
ZQPLAT_API BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length);
ZQPLAT_API int DrawTextA(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format);
ZQPLAT_API BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, LPSIZE size);
ZQPLAT_API BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA tm);

// ---- DIBs, bitmaps and palettes ----

ZQPLAT_API int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                                 UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* bmi,
                                 UINT colorUse);
ZQPLAT_API int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                             int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi,
                             UINT colorUse, DWORD rop);
ZQPLAT_API HPALETTE CreatePalette(const LOGPALETTE* pal);
ZQPLAT_API HPALETTE SelectPalette(HDC hdc, HPALETTE pal, BOOL forceBackground);
ZQPLAT_API UINT RealizePalette(HDC hdc);
ZQPLAT_API HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                                    DWORD offset);
ZQPLAT_API HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// Bitmaps from files only (LR_LOADFROMFILE): this platform has no module resources.
ZQPLAT_API HANDLE LoadImageA(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags);
ZQPLAT_API HBITMAP LoadBitmapA(HINSTANCE inst, LPCSTR name);
ZQPLAT_API BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
ZQPLAT_API BOOL StretchBlt(HDC dest, int xDest, int yDest, int destWidth, int destHeight, HDC src, int xSrc,
                           int ySrc, int srcWidth, int srcHeight, DWORD rop);
