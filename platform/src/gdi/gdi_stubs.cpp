// Placeholder bodies until the module is filled in.
#include "zqplatform/gdi.h"

HDC zqCreateSurfaceDC(void*, int, int, int, int, DWORD, DWORD, DWORD) { return nullptr; }
void zqDeleteSurfaceDC(HDC) {}
HDC GetDC(HWND) { return nullptr; }
int ReleaseDC(HWND, HDC) { return 0; }
HDC CreateCompatibleDC(HDC) { return nullptr; }
BOOL DeleteDC(HDC) { return FALSE; }
int GetDeviceCaps(HDC, int index) { return (index == LOGPIXELSX || index == LOGPIXELSY) ? 96 : 0; }
COLORREF SetTextColor(HDC, COLORREF) { return CLR_INVALID; }
COLORREF GetTextColor(HDC) { return CLR_INVALID; }
COLORREF SetBkColor(HDC, COLORREF) { return CLR_INVALID; }
COLORREF GetBkColor(HDC) { return CLR_INVALID; }
int SetBkMode(HDC, int) { return 0; }
int GetBkMode(HDC) { return 0; }
int SetStretchBltMode(HDC, int) { return 0; }
int GetStretchBltMode(HDC) { return 0; }
COLORREF SetPixel(HDC, int, int, COLORREF) { return CLR_INVALID; }
COLORREF GetPixel(HDC, int, int) { return CLR_INVALID; }
HGDIOBJ SelectObject(HDC, HGDIOBJ) { return nullptr; }
BOOL DeleteObject(HGDIOBJ) { return FALSE; }
HGDIOBJ GetStockObject(int) { return nullptr; }
HGDIOBJ GetCurrentObject(HDC, UINT) { return nullptr; }
DWORD GetObjectType(HGDIOBJ) { return 0; }
int GetObjectA(HGDIOBJ, int, LPVOID) { return 0; }
int MulDiv(int a, int b, int c) { return c ? (int)(((long long)a * b) / c) : -1; }
HFONT CreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  LPCSTR) { return nullptr; }
HFONT CreateFontIndirectA(const LOGFONTA*) { return nullptr; }
int AddFontResourceA(LPCSTR) { return 0; }
BOOL RemoveFontResourceA(LPCSTR) { return FALSE; }
BOOL TextOutA(HDC, int, int, LPCSTR, int) { return FALSE; }
int DrawTextA(HDC, LPCSTR, int, LPRECT, UINT) { return 0; }
BOOL GetTextExtentPoint32A(HDC, LPCSTR, int, LPSIZE) { return FALSE; }
BOOL GetTextMetricsA(HDC, LPTEXTMETRICA) { return FALSE; }
int SetDIBitsToDevice(HDC, int, int, DWORD, DWORD, int, int, UINT, UINT, const void*,
                      const BITMAPINFO*, UINT) { return 0; }
int StretchDIBits(HDC, int, int, int, int, int, int, int, int, const void*, const BITMAPINFO*, UINT,
                  DWORD) { return 0; }
HPALETTE CreatePalette(const LOGPALETTE*) { return nullptr; }
HPALETTE SelectPalette(HDC, HPALETTE, BOOL) { return nullptr; }
UINT RealizePalette(HDC) { return GDI_ERROR; }
HBITMAP CreateDIBSection(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) { return nullptr; }
HBITMAP CreateCompatibleBitmap(HDC, int, int) { return nullptr; }
HANDLE LoadImageA(HINSTANCE, LPCSTR, UINT, int, int, UINT) { return nullptr; }
HBITMAP LoadBitmapA(HINSTANCE, LPCSTR) { return nullptr; }
BOOL BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD) { return FALSE; }
BOOL StretchBlt(HDC, int, int, int, int, HDC, int, int, int, int, DWORD) { return FALSE; }
