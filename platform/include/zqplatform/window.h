// Windows, window classes and procedures, the thread message queue, timers, menus,
// accelerators, cursors and message boxes. Back-ends: SDL2, or headless (ZQ_HEADLESS=1 or no
// display) where windows exist without a screen and tests inject the input.
#pragma once

#include <string>
#include <vector>

#include "zqplatform/types.h"
#include "zqplatform/base.h"

// ---- messages ---------------------------------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_SETCURSOR 0x0020
#define WM_MOUSEACTIVATE 0x0021
#define WM_GETMINMAXINFO 0x0024
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_COPYDATA 0x004A
#define WM_CONTEXTMENU 0x007B
#define WM_GETICON 0x007F
#define WM_SETICON 0x0080
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCHITTEST 0x0084
#define WM_NCPAINT 0x0085
#define WM_NCACTIVATE 0x0086
#define WM_KEYFIRST 0x0100
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_DEADCHAR 0x0103
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_KEYLAST 0x0109
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_INITMENU 0x0116
#define WM_INITMENUPOPUP 0x0117
#define WM_MENUSELECT 0x011F
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MBUTTONDBLCLK 0x0209
#define WM_MOUSEWHEEL 0x020A
#define WM_MOUSELAST 0x020A
#define WM_ENTERMENULOOP 0x0211
#define WM_EXITMENULOOP 0x0212
#define WM_SIZING 0x0214
#define WM_CAPTURECHANGED 0x0215
#define WM_MOVING 0x0216
#define WM_POWERBROADCAST 0x0218
#define WM_ENTERSIZEMOVE 0x0231
#define WM_EXITSIZEMOVE 0x0232
#define WM_USER 0x0400
#define WM_APP 0x8000

// WM_SIZE wParam
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2
#define SIZE_MAXSHOW 3
#define SIZE_MAXHIDE 4
// WM_ACTIVATE wParam
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2
// WM_POWERBROADCAST wParam
#define PBT_APMQUERYSUSPEND 0x0000
#define PBT_APMRESUMESUSPEND 0x0007
// WM_SETICON wParam
#define ICON_SMALL 0
#define ICON_BIG 1
// WM_NCHITTEST results
#define HTERROR (-2)
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
// WM_SYSCOMMAND ids
#define SC_SIZE 0xF000
#define SC_MOVE 0xF010
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_MONITORPOWER 0xF170
#define SC_RESTORE 0xF120

// Mouse key state (wParam of mouse messages)
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#define WHEEL_DELTA 120
#define GET_WHEEL_DELTA_WPARAM(w) ((short)HIWORD(w))

// ---- virtual-key codes ------------------------------------------------------------------------
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE

// ---- styles -----------------------------------------------------------------------------------
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
  (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_APPWINDOW 0x00040000L
#define WS_EX_OVERLAPPEDWINDOW (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200

#define CW_USEDEFAULT ((int)0x80000000)

// ShowWindow
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

// SetWindowPos
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOCOPYBITS 0x0100
#define SWP_NOOWNERZORDER 0x0200
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)(intptr_t)-1)
#define HWND_NOTOPMOST ((HWND)(intptr_t)-2)
#define HWND_DESKTOP ((HWND)0)

// GetWindowLong / SetWindowLong
#define GWL_WNDPROC (-4)
#define GWL_HINSTANCE (-6)
#define GWL_HWNDPARENT (-8)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GWLP_WNDPROC GWL_WNDPROC
#define GWLP_HINSTANCE GWL_HINSTANCE
#define GWLP_ID GWL_ID
#define GWLP_USERDATA GWL_USERDATA

// GetWindow
#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

// RedrawWindow
#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800

// GetSystemMetrics (classic metrics: frame 4, caption 19, menu 19)
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXFIXEDFRAME SM_CXDLGFRAME
#define SM_CYFIXEDFRAME SM_CYDLGFRAME
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CYMENU 15
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17
#define SM_MOUSEPRESENT 19
#define SM_CXMIN 28
#define SM_CYMIN 29
#define SM_CXSIZE 30
#define SM_CYSIZE 31
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXSIZEFRAME SM_CXFRAME
#define SM_CYSIZEFRAME SM_CYFRAME
#define SM_CXMINTRACK 34
#define SM_CYMINTRACK 35
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CXMAXTRACK 59
#define SM_CYMAXTRACK 60
#define SM_CXMAXIMIZED 61
#define SM_CYMAXIMIZED 62

// PeekMessage
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

// ---- records ----------------------------------------------------------------------------------
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *LPMSG, *PMSG;

typedef struct tagWNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA, *LPWNDCLASSA;

typedef struct tagWNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
} WNDCLASSEXA, *LPWNDCLASSEXA;

typedef struct tagCREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

typedef struct tagMINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
} MINMAXINFO, *LPMINMAXINFO;

typedef struct tagWINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
} WINDOWPOS, *LPWINDOWPOS;

typedef struct tagCOPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  LPVOID lpData;
} COPYDATASTRUCT, *PCOPYDATASTRUCT;

#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

// ---- windows and classes ----------------------------------------------------------------------
ZQPLAT_API WORD RegisterClassA(const WNDCLASSA* wc);
ZQPLAT_API WORD RegisterClassExA(const WNDCLASSEXA* wc);
ZQPLAT_API BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
ZQPLAT_API BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA out);
ZQPLAT_API HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                LPVOID param);
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
ZQPLAT_API BOOL DestroyWindow(HWND hwnd);
ZQPLAT_API BOOL IsWindow(HWND hwnd);
ZQPLAT_API LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
ZQPLAT_API LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
ZQPLAT_API LONG GetWindowLongA(HWND hwnd, int index);
ZQPLAT_API LONG SetWindowLongA(HWND hwnd, int index, LONG value);
ZQPLAT_API LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
ZQPLAT_API LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
ZQPLAT_API BOOL SetWindowTextA(HWND hwnd, LPCSTR text);  // GBK
// A title in another code page (950 Big5, 936 GBK, 65001 UTF-8): the bytes are kept as the
// window text and converted for the window system.
ZQPLAT_API BOOL zqSetWindowTextCodePage(HWND hwnd, LPCSTR text, UINT codePage);
ZQPLAT_API int GetWindowTextA(HWND hwnd, LPSTR out, int size);
ZQPLAT_API int GetWindowTextLengthA(HWND hwnd);
ZQPLAT_API int GetClassNameA(HWND hwnd, LPSTR out, int size);
ZQPLAT_API HWND GetParent(HWND hwnd);
ZQPLAT_API HWND SetParent(HWND child, HWND parent);
ZQPLAT_API HWND GetWindow(HWND hwnd, UINT cmd);
ZQPLAT_API BOOL IsChild(HWND parent, HWND hwnd);
ZQPLAT_API HWND GetDesktopWindow();
ZQPLAT_API int GetDlgCtrlID(HWND hwnd);
ZQPLAT_API HWND GetDlgItem(HWND parent, int id);

ZQPLAT_API BOOL ShowWindow(HWND hwnd, int cmd);
ZQPLAT_API BOOL UpdateWindow(HWND hwnd);
ZQPLAT_API BOOL IsWindowVisible(HWND hwnd);
ZQPLAT_API BOOL IsIconic(HWND hwnd);
ZQPLAT_API BOOL IsZoomed(HWND hwnd);
ZQPLAT_API BOOL EnableWindow(HWND hwnd, BOOL enable);
ZQPLAT_API BOOL IsWindowEnabled(HWND hwnd);
ZQPLAT_API BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
ZQPLAT_API BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
ZQPLAT_API BOOL GetClientRect(HWND hwnd, LPRECT rect);
ZQPLAT_API BOOL GetWindowRect(HWND hwnd, LPRECT rect);
ZQPLAT_API BOOL ClientToScreen(HWND hwnd, LPPOINT pt);
ZQPLAT_API BOOL ScreenToClient(HWND hwnd, LPPOINT pt);
ZQPLAT_API BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
ZQPLAT_API BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
ZQPLAT_API int GetSystemMetrics(int index);

ZQPLAT_API BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
ZQPLAT_API BOOL ValidateRect(HWND hwnd, const RECT* rect);
ZQPLAT_API BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
ZQPLAT_API BOOL RedrawWindow(HWND hwnd, const RECT* rect, void* region, UINT flags);

ZQPLAT_API HWND SetFocus(HWND hwnd);
ZQPLAT_API HWND GetFocus();
ZQPLAT_API HWND GetActiveWindow();
ZQPLAT_API HWND SetActiveWindow(HWND hwnd);
ZQPLAT_API HWND GetForegroundWindow();
ZQPLAT_API BOOL SetForegroundWindow(HWND hwnd);
ZQPLAT_API HWND SetCapture(HWND hwnd);
ZQPLAT_API BOOL ReleaseCapture();
ZQPLAT_API HWND GetCapture();

// A top-level window by class (ASCII case-insensitive) and title (exact bytes); either may be
// null (matches any). Windows of this process come first, then findable windows of other
// processes (zqSetFindable): their handle takes SendMessageA(WM_COPYDATA) and IsWindow.
ZQPLAT_API HWND FindWindowA(LPCSTR className, LPCSTR windowName);

// ---- the message queue ------------------------------------------------------------------------
// Retrieval order: sent messages, posted messages, input, WM_QUIT, WM_PAINT, WM_TIMER. A posted
// message is never delivered inside the call that posts it.
ZQPLAT_API BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
// Blocks until a message arrives. Headless, when nothing can arrive any more (no message, no
// painting, no timer), it returns FALSE with a WM_QUIT message (wParam 0) instead of hanging, and
// logs that to stderr. A pending timer makes it advance the manual clock to the timer's due time.
ZQPLAT_API BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
ZQPLAT_API BOOL WaitMessage();
ZQPLAT_API BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
ZQPLAT_API BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
ZQPLAT_API LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
ZQPLAT_API BOOL TranslateMessage(const MSG* msg);
ZQPLAT_API LRESULT DispatchMessageA(const MSG* msg);
ZQPLAT_API void PostQuitMessage(int exitCode);
ZQPLAT_API DWORD GetMessageTime();
// Key state as of the key messages retrieved so far (high bit: down, low bit: toggled).
ZQPLAT_API SHORT GetKeyState(int vk);
ZQPLAT_API SHORT GetAsyncKeyState(int vk);
ZQPLAT_API DWORD GetCurrentThreadId();

ZQPLAT_API UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
ZQPLAT_API BOOL KillTimer(HWND hwnd, UINT_PTR id);

// ---- accelerators -----------------------------------------------------------------------------
#define FVIRTKEY 0x01
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10

typedef struct tagACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
} ACCEL, *LPACCEL;

ZQPLAT_API HACCEL CreateAcceleratorTableA(LPACCEL entries, int count);
ZQPLAT_API BOOL DestroyAcceleratorTable(HACCEL table);
ZQPLAT_API HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name);
ZQPLAT_API int TranslateAcceleratorA(HWND hwnd, HACCEL table, LPMSG msg);
#define TranslateAccelerator TranslateAcceleratorA

// ---- menus ------------------------------------------------------------------------------------
#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_RIGHTJUSTIFY 0x00004000L

#define MFT_STRING MF_STRING
#define MFT_BITMAP MF_BITMAP
#define MFT_MENUBARBREAK MF_MENUBARBREAK
#define MFT_MENUBREAK MF_MENUBREAK
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_RADIOCHECK 0x00000200L
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RIGHTJUSTIFY MF_RIGHTJUSTIFY
#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_HILITE MF_HILITE
#define MFS_ENABLED MF_ENABLED
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_DEFAULT MF_DEFAULT

#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_CHECKMARKS 0x00000008
#define MIIM_TYPE 0x00000010
#define MIIM_DATA 0x00000020
#define MIIM_STRING 0x00000040
#define MIIM_BITMAP 0x00000080
#define MIIM_FTYPE 0x00000100

#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L
#define TPM_VERTICAL 0x0040L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

typedef struct tagMENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
} MENUITEMINFOA, *LPMENUITEMINFOA;
typedef const MENUITEMINFOA* LPCMENUITEMINFOA;

ZQPLAT_API HMENU CreateMenu();
ZQPLAT_API HMENU CreatePopupMenu();
ZQPLAT_API BOOL DestroyMenu(HMENU menu);
ZQPLAT_API BOOL IsMenu(HMENU menu);
// A menu resource is a menu that the program registered under its id (zqRegisterMenuResource);
// each load returns a fresh copy.
ZQPLAT_API HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
ZQPLAT_API HMENU GetMenu(HWND hwnd);
ZQPLAT_API BOOL SetMenu(HWND hwnd, HMENU menu);
ZQPLAT_API BOOL DrawMenuBar(HWND hwnd);
ZQPLAT_API HMENU GetSubMenu(HMENU menu, int pos);
ZQPLAT_API int GetMenuItemCount(HMENU menu);
ZQPLAT_API UINT GetMenuItemID(HMENU menu, int pos);
ZQPLAT_API UINT GetMenuState(HMENU menu, UINT item, UINT flags);
ZQPLAT_API int GetMenuStringA(HMENU menu, UINT item, LPSTR out, int size, UINT flags);
ZQPLAT_API DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
ZQPLAT_API BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
ZQPLAT_API BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
ZQPLAT_API BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text);
ZQPLAT_API BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text);
ZQPLAT_API BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR newItem, LPCSTR text);
ZQPLAT_API BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
ZQPLAT_API BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
ZQPLAT_API BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info);
ZQPLAT_API BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
ZQPLAT_API BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
// No menu is shown: the call is recorded (zqTrackedPopupMenus) and returns 0 (no command chosen).
ZQPLAT_API BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd,
                               const RECT* rect);

// ---- cursors and icons ------------------------------------------------------------------------
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

ZQPLAT_API HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
ZQPLAT_API HICON LoadIconA(HINSTANCE instance, LPCSTR name);
ZQPLAT_API HCURSOR SetCursor(HCURSOR cursor);
ZQPLAT_API HCURSOR GetCursor();
// Returns the new display counter; the cursor shows while it is >= 0.
ZQPLAT_API int ShowCursor(BOOL show);
ZQPLAT_API BOOL GetCursorPos(LPPOINT pt);
ZQPLAT_API BOOL SetCursorPos(int x, int y);
ZQPLAT_API BOOL ClipCursor(const RECT* rect);
// The rectangle the cursor is confined to (the whole screen when it is free).
ZQPLAT_API BOOL GetClipCursor(LPRECT rect);
ZQPLAT_API BOOL DestroyCursor(HCURSOR cursor);
ZQPLAT_API BOOL DestroyIcon(HICON icon);

// ---- message boxes ----------------------------------------------------------------------------
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// Text and caption are GBK. Headless: recorded, logged to stderr and answered at once with the
// default button.
ZQPLAT_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// ---- platform hooks ---------------------------------------------------------------------------
ZQPLAT_API BOOL zqIsHeadless();
// The screen size reported while a program holds a display mode in full screen (0, 0: the
// desktop's again).
ZQPLAT_API void zqSetScreenMode(int width, int height);
// The SDL_Window* of a top-level window, or nullptr headless (or for a child window).
ZQPLAT_API void* zqGetNativeWindow(HWND hwnd);
// Called with TRUE / FALSE whenever the application's activation changes.
ZQPLAT_API void zqAddActivationListener(void (*fn)(void* ctx, BOOL active), void* ctx);
ZQPLAT_API void zqRemoveActivationListener(void (*fn)(void* ctx, BOOL active), void* ctx);
// Something the pump polls on every turn (media events, e.g.): fn(ctx) runs on the window thread
// inside PeekMessage / GetMessage before the queue is examined.
ZQPLAT_API void zqAddPumpHook(void (*fn)(void* ctx), void* ctx);
ZQPLAT_API void zqRemovePumpHook(void (*fn)(void* ctx), void* ctx);

// Program resources: menus and accelerator tables that LoadMenuA / LoadAcceleratorsA find by id.
ZQPLAT_API void zqRegisterMenuResource(WORD id, HMENU menu);  // the platform keeps a copy
ZQPLAT_API void zqRegisterAcceleratorResource(WORD id, const ACCEL* entries, int count);

// A top-level window that FindWindowA in other processes can find (by class and title) and that
// receives WM_COPYDATA from them. Namespace: ZQ_IPC_NAMESPACE.
ZQPLAT_API BOOL zqSetFindable(HWND hwnd, BOOL findable);

// Tests (headless): input arrives as input-class messages in queue order. Mouse x, y are client
// coordinates; keys holds MK_* flags. zqInjectKey: WM_KEYDOWN / WM_KEYUP / WM_SYSKEYDOWN /
// WM_SYSKEYUP with a virtual-key code and a repeat count.
ZQPLAT_API void zqInjectMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys);
ZQPLAT_API void zqInjectKey(HWND hwnd, UINT msg, UINT vk, int repeat);
// Tests: activation and window-state changes as the SDL back-end reports them.
ZQPLAT_API void zqInjectActivation(BOOL active);
ZQPLAT_API void zqInjectMinimize(HWND hwnd, BOOL minimized);
ZQPLAT_API void zqInjectClose(HWND hwnd);

struct ZqMessageBoxRecord {
  std::string text;     // GBK, as passed
  std::string caption;  // GBK, as passed
  UINT flags;
  HWND owner;
};
ZQPLAT_API std::vector<ZqMessageBoxRecord> zqRecordedMessageBoxes();
ZQPLAT_API void zqClearRecordedMessageBoxes();
// Tests: the next message boxes answer with these results, in order (then the default button).
ZQPLAT_API void zqQueueMessageBoxAnswer(int answer);

struct ZqTrackedMenuRecord {
  HMENU menu;
  UINT flags;
  int x, y;
  HWND owner;
};
ZQPLAT_API std::vector<ZqTrackedMenuRecord> zqTrackedPopupMenus();
ZQPLAT_API void zqClearTrackedPopupMenus();

// Tests: destroys every window, class, timer, queued message and menu resource; clears records.
ZQPLAT_API void zqResetWindowSystem();
