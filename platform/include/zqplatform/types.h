// Fixed-width Windows-style types shared by the platform, the engine and the client.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(ZQPLATFORM_BUILD)
#define ZQPLAT_API __attribute__((visibility("default")))
#else
#define ZQPLAT_API __attribute__((visibility("default")))
#endif

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef uint32_t ULONG;
typedef int32_t LONG;
typedef int32_t INT;
typedef int32_t BOOL;
typedef int32_t HRESULT;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef float FLOAT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef intptr_t LONG_PTR;

typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

// Handles are opaque pointers.
#define ZQ_DECLARE_HANDLE(name) \
  struct name##__;              \
  typedef struct name##__* name
ZQ_DECLARE_HANDLE(HWND);
ZQ_DECLARE_HANDLE(HINSTANCE);
ZQ_DECLARE_HANDLE(HMENU);
ZQ_DECLARE_HANDLE(HDC);
ZQ_DECLARE_HANDLE(HFONT);
ZQ_DECLARE_HANDLE(HBITMAP);
ZQ_DECLARE_HANDLE(HBRUSH);
ZQ_DECLARE_HANDLE(HPEN);
ZQ_DECLARE_HANDLE(HPALETTE);
ZQ_DECLARE_HANDLE(HICON);
ZQ_DECLARE_HANDLE(HCURSOR);
ZQ_DECLARE_HANDLE(HACCEL);
ZQ_DECLARE_HANDLE(HMONITOR);
ZQ_DECLARE_HANDLE(HKEY);
typedef void* HANDLE;
typedef void* HGDIOBJ;
typedef HINSTANCE HMODULE;

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

typedef struct tagPOINT {
  LONG x, y;
} POINT, *LPPOINT;
typedef struct tagSIZE {
  LONG cx, cy;
} SIZE, *LPSIZE;
typedef struct tagRECT {
  LONG left, top, right, bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct _GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
typedef GUID* LPGUID;
typedef GUID IID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;

// COM-style status codes.
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_FAIL ((HRESULT)0x80004005)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_POINTER ((HRESULT)0x80004003)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_ABORT ((HRESULT)0x80004004)

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKELONG(a, b) \
  ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#define RGB(r, g, b) ((DWORD)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
typedef DWORD COLORREF;
