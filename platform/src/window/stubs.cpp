// Temporary bodies so that users can build; replaced by the real module.
#include "zqplatform/window.h"

WORD RegisterClassA(const WNDCLASSA* wc) { return {}; }
WORD RegisterClassExA(const WNDCLASSEXA* wc) { return {}; }
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) { return {}; }
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA out) { return {}; }
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) { return {}; }
BOOL DestroyWindow(HWND hwnd) { return {}; }
BOOL IsWindow(HWND hwnd) { return {}; }
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return {}; }
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return {}; }
LONG GetWindowLongA(HWND hwnd, int index) { return {}; }
LONG SetWindowLongA(HWND hwnd, int index, LONG value) { return {}; }
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) { return {}; }
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) { return {}; }
BOOL SetWindowTextA(HWND hwnd, LPCSTR text) { return {}; }
int GetWindowTextA(HWND hwnd, LPSTR out, int size) { return {}; }
int GetWindowTextLengthA(HWND hwnd) { return {}; }
int GetClassNameA(HWND hwnd, LPSTR out, int size) { return {}; }
HWND GetParent(HWND hwnd) { return {}; }
HWND SetParent(HWND child, HWND parent) { return {}; }
HWND GetWindow(HWND hwnd, UINT cmd) { return {}; }
BOOL IsChild(HWND parent, HWND hwnd) { return {}; }
HWND GetDesktopWindow() { return {}; }
int GetDlgCtrlID(HWND hwnd) { return {}; }
HWND GetDlgItem(HWND parent, int id) { return {}; }
BOOL ShowWindow(HWND hwnd, int cmd) { return {}; }
BOOL UpdateWindow(HWND hwnd) { return {}; }
BOOL IsWindowVisible(HWND hwnd) { return {}; }
BOOL IsIconic(HWND hwnd) { return {}; }
BOOL IsZoomed(HWND hwnd) { return {}; }
BOOL EnableWindow(HWND hwnd, BOOL enable) { return {}; }
BOOL IsWindowEnabled(HWND hwnd) { return {}; }
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) { return {}; }
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) { return {}; }
BOOL GetClientRect(HWND hwnd, LPRECT rect) { return {}; }
BOOL GetWindowRect(HWND hwnd, LPRECT rect) { return {}; }
BOOL ClientToScreen(HWND hwnd, LPPOINT pt) { return {}; }
BOOL ScreenToClient(HWND hwnd, LPPOINT pt) { return {}; }
BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return {}; }
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) { return {}; }
int GetSystemMetrics(int index) { return {}; }
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) { return {}; }
BOOL ValidateRect(HWND hwnd, const RECT* rect) { return {}; }
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) { return {}; }
BOOL RedrawWindow(HWND hwnd, const RECT* rect, void* region, UINT flags) { return {}; }
HWND SetFocus(HWND hwnd) { return {}; }
HWND GetFocus() { return {}; }
HWND GetActiveWindow() { return {}; }
HWND SetActiveWindow(HWND hwnd) { return {}; }
HWND GetForegroundWindow() { return {}; }
BOOL SetForegroundWindow(HWND hwnd) { return {}; }
HWND SetCapture(HWND hwnd) { return {}; }
BOOL ReleaseCapture() { return {}; }
HWND GetCapture() { return {}; }
HWND FindWindowA(LPCSTR className, LPCSTR windowName) { return {}; }
BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) { return {}; }
BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) { return {}; }
BOOL WaitMessage() { return {}; }
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return {}; }
BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) { return {}; }
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return {}; }
BOOL TranslateMessage(const MSG* msg) { return {}; }
LRESULT DispatchMessageA(const MSG* msg) { return {}; }
void PostQuitMessage(int exitCode) {}
DWORD GetMessageTime() { return {}; }
DWORD GetCurrentThreadId() { return {}; }
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) { return {}; }
BOOL KillTimer(HWND hwnd, UINT_PTR id) { return {}; }
HACCEL CreateAcceleratorTableA(LPACCEL entries, int count) { return {}; }
BOOL DestroyAcceleratorTable(HACCEL table) { return {}; }
HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name) { return {}; }
int TranslateAcceleratorA(HWND hwnd, HACCEL table, LPMSG msg) { return {}; }
HMENU CreateMenu() { return {}; }
HMENU CreatePopupMenu() { return {}; }
BOOL DestroyMenu(HMENU menu) { return {}; }
BOOL IsMenu(HMENU menu) { return {}; }
HMENU LoadMenuA(HINSTANCE instance, LPCSTR name) { return {}; }
HMENU GetMenu(HWND hwnd) { return {}; }
BOOL SetMenu(HWND hwnd, HMENU menu) { return {}; }
BOOL DrawMenuBar(HWND hwnd) { return {}; }
HMENU GetSubMenu(HMENU menu, int pos) { return {}; }
int GetMenuItemCount(HMENU menu) { return {}; }
UINT GetMenuItemID(HMENU menu, int pos) { return {}; }
UINT GetMenuState(HMENU menu, UINT item, UINT flags) { return {}; }
int GetMenuStringA(HMENU menu, UINT item, LPSTR out, int size, UINT flags) { return {}; }
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) { return {}; }
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) { return {}; }
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) { return {}; }
BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text) { return {}; }
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text) { return {}; }
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR newItem, LPCSTR text) { return {}; }
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return {}; }
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return {}; }
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info) { return {}; }
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) { return {}; }
BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) { return {}; }
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd, const RECT* rect) { return {}; }
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) { return {}; }
HICON LoadIconA(HINSTANCE instance, LPCSTR name) { return {}; }
HCURSOR SetCursor(HCURSOR cursor) { return {}; }
HCURSOR GetCursor() { return {}; }
int ShowCursor(BOOL show) { return {}; }
BOOL GetCursorPos(LPPOINT pt) { return {}; }
BOOL SetCursorPos(int x, int y) { return {}; }
BOOL ClipCursor(const RECT* rect) { return {}; }
BOOL DestroyCursor(HCURSOR cursor) { return {}; }
BOOL DestroyIcon(HICON icon) { return {}; }
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) { return {}; }
BOOL zqIsHeadless() { return {}; }
void* zqGetNativeWindow(HWND hwnd) { return {}; }
void zqAddActivationListener(void (*fn)(void* ctx, BOOL active), void* ctx) {}
void zqRemoveActivationListener(void (*fn)(void* ctx, BOOL active), void* ctx) {}
void zqAddPumpHook(void (*fn)(void* ctx), void* ctx) {}
void zqRemovePumpHook(void (*fn)(void* ctx), void* ctx) {}
void zqRegisterMenuResource(WORD id, HMENU menu) {}
void zqRegisterAcceleratorResource(WORD id, const ACCEL* entries, int count) {}
BOOL zqSetFindable(HWND hwnd, BOOL findable) { return {}; }
void zqInjectMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys) {}
void zqInjectKey(HWND hwnd, UINT msg, UINT vk, int repeat) {}
void zqInjectActivation(BOOL active) {}
void zqInjectMinimize(HWND hwnd, BOOL minimized) {}
void zqInjectClose(HWND hwnd) {}
std::vector<ZqMessageBoxRecord> zqRecordedMessageBoxes() { return {}; }
void zqClearRecordedMessageBoxes() {}
void zqQueueMessageBoxAnswer(int answer) {}
std::vector<ZqTrackedMenuRecord> zqTrackedPopupMenus() { return {}; }
void zqClearTrackedPopupMenus() {}
void zqResetWindowSystem() {}
