// Window metrics, rectangles, moving, sizing, showing and painting state.
#include <algorithm>

#include "window/backend.h"

using namespace zqwin;

namespace {
// Classic metrics.
constexpr int kFrame = 4, kDlgFrame = 3, kBorder = 1, kEdge = 2, kCaption = 19, kMenu = 19;
constexpr int kHeadlessScreenW = 1024, kHeadlessScreenH = 768;
}  // namespace

namespace zqwin {

void screenSize(int& w, int& h) {
  if (screenModeSize(w, h)) return;
  w = kHeadlessScreenW;
  h = kHeadlessScreenH;
  backend().screenSize(w, h);
}

RECT nonClientInsets(DWORD style, DWORD exStyle, bool menu) {
  RECT r{0, 0, 0, 0};
  int f = 0;
  if (style & WS_THICKFRAME)
    f = kFrame;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    f = kDlgFrame;
  else if (style & WS_BORDER)
    f = kBorder;
  r.left = r.top = r.right = r.bottom = f;
  if ((style & WS_CAPTION) == WS_CAPTION) r.top += kCaption;
  if (menu && !(style & WS_CHILD)) r.top += kMenu;
  if (exStyle & WS_EX_CLIENTEDGE) {
    r.left += kEdge;
    r.top += kEdge;
    r.right += kEdge;
    r.bottom += kEdge;
  }
  return r;
}

static RECT insetsOf(const Window* w) {
  return nonClientInsets(w->style, w->exStyle, w->menu != nullptr && isTopLevel(w));
}

RECT clientRectOf(const Window* w) {
  if (w->minimized) return RECT{0, 0, 0, 0};
  RECT in = insetsOf(w);
  LONG cw = (w->rect.right - w->rect.left) - in.left - in.right;
  LONG ch = (w->rect.bottom - w->rect.top) - in.top - in.bottom;
  return RECT{0, 0, std::max<LONG>(cw, 0), std::max<LONG>(ch, 0)};
}

static POINT windowOriginOnScreen(const Window* w) {
  POINT p{w->rect.left, w->rect.top};
  if (!isTopLevel(w) && w->parent) {
    if (Window* par = find(w->parent)) {
      POINT o = clientOriginOnScreen(par);
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

POINT clientOriginOnScreen(const Window* w) {
  RECT in = insetsOf(w);
  POINT p = windowOriginOnScreen(w);
  return POINT{p.x + in.left, p.y + in.top};
}

void invalidate(Window* w) {
  w->needsPaint = true;
  for (HWND c : w->children)
    if (Window* cw = find(c)) invalidate(cw);
}

void setMinimized(HWND hwnd, bool minimized) {
  Window* w = find(hwnd);
  if (!w || w->minimized == minimized) return;
  w->minimized = minimized;
  if (minimized) {
    send(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
  } else {
    RECT cr = clientRectOf(w);
    invalidate(w);
    send(hwnd, WM_SIZE, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(cr.right, cr.bottom));
  }
}

}  // namespace zqwin

int GetSystemMetrics(int index) {
  int sw, sh;
  screenSize(sw, sh);
  switch (index) {
    case SM_CXSCREEN:
      return sw;
    case SM_CYSCREEN:
      return sh;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 16;
    case SM_CYCAPTION:
      return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return kBorder;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return kDlgFrame;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CYMENU:
      return kMenu;
    case SM_CXFULLSCREEN:
      return sw;
    case SM_CYFULLSCREEN:
      return sh - kCaption;
    case SM_MOUSEPRESENT:
      return 1;
    case SM_CXMIN:
    case SM_CXMINTRACK:
      return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK:
      return 27;
    case SM_CXSIZE:
    case SM_CYSIZE:
      return 18;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return kFrame;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return kEdge;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CXMAXTRACK:
      return sw + 2 * kFrame + 4;
    case SM_CYMAXTRACK:
      return sh + 2 * kFrame + 4;
    case SM_CXMAXIMIZED:
      return sw + 2 * kFrame;
    case SM_CYMAXIMIZED:
      return sh + 2 * kFrame;
  }
  return 0;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  RECT in = nonClientInsets(style, exStyle, menu != 0);
  rect->left -= in.left;
  rect->top -= in.top;
  rect->right += in.right;
  rect->bottom += in.bottom;
  return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
  return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  Window* w = find(hwnd);
  if (!w || !rect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = clientRectOf(w);
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  if (!rect) return FALSE;
  if (hwnd == HWND_DESKTOP) {
    int sw, sh;
    screenSize(sw, sh);
    *rect = RECT{0, 0, sw, sh};
    return TRUE;
  }
  Window* w = find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  POINT o = windowOriginOnScreen(w);
  *rect = RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
  Window* w = find(hwnd);
  if (!w || !pt) return FALSE;
  POINT o = clientOriginOnScreen(w);
  pt->x += o.x;
  pt->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
  Window* w = find(hwnd);
  if (!w || !pt) return FALSE;
  POINT o = clientOriginOnScreen(w);
  pt->x -= o.x;
  pt->y -= o.y;
  return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = w->rect.left;
    wp.y = w->rect.top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = w->rect.right - w->rect.left;
    wp.cy = w->rect.bottom - w->rect.top;
  }
  send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
  if (!(w = find(hwnd))) return FALSE;
  wp.cx = std::max(wp.cx, 0);
  wp.cy = std::max(wp.cy, 0);
  RECT oldClient = clientRectOf(w);
  POINT oldOrigin = clientOriginOnScreen(w);
  if (!(wp.flags & SWP_NOMOVE) || !(wp.flags & SWP_NOSIZE))
    w->rect = RECT{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  if (!w->maximized && !w->minimized) w->restoreRect = w->rect;
  bool showChange = false;
  if ((wp.flags & SWP_SHOWWINDOW) && !w->visible) {
    w->visible = true;
    showChange = true;
  } else if ((wp.flags & SWP_HIDEWINDOW) && w->visible) {
    w->visible = false;
    showChange = true;
  }
  RECT newClient = clientRectOf(w);
  POINT newOrigin = clientOriginOnScreen(w);
  bool sized = newClient.right != oldClient.right || newClient.bottom != oldClient.bottom;
  bool moved = newOrigin.x != oldOrigin.x || newOrigin.y != oldOrigin.y;
  if (!sized) wp.flags |= 0x0800;  // SWP_NOCLIENTSIZE
  if (!moved) wp.flags |= 0x1000;  // SWP_NOCLIENTMOVE
  if ((sized || showChange || (wp.flags & SWP_FRAMECHANGED)) && !(wp.flags & SWP_NOREDRAW) && w->visible)
    invalidate(w);
  if (isTopLevel(w)) {
    if (showChange) backend().show(w, w->visible);
    backend().syncGeometry(w);
  }
  send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

namespace zqwin {
// The size limits a window reports, starting from the defaults of its style.
bool queryMinMax(HWND hwnd, MINMAXINFO& mmi) {
  Window* w = find(hwnd);
  if (!w) return false;
  int sw, sh;
  screenSize(sw, sh);
  RECT in = insetsOf(w);
  mmi = MINMAXINFO{};
  mmi.ptMaxSize = POINT{sw + in.left + in.right, sh + in.bottom * 2};
  mmi.ptMaxPosition = POINT{-in.left, -in.bottom};
  mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return find(hwnd) != nullptr;
}
}  // namespace zqwin

static void maximize(HWND hwnd) {
  MINMAXINFO mmi;
  if (!queryMinMax(hwnd, mmi)) return;
  Window* w = find(hwnd);
  int cx = std::min(mmi.ptMaxSize.x, mmi.ptMaxTrackSize.x);
  int cy = std::min(mmi.ptMaxSize.y, mmi.ptMaxTrackSize.y);
  if (!w->maximized && !w->minimized) w->restoreRect = w->rect;
  w->minimized = false;
  w->maximized = true;
  SetWindowPos(hwnd, nullptr, mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, cx, cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if ((w = find(hwnd)) && isTopLevel(w)) backend().maximize(w);
}

// Shows a hidden window (WM_SHOWWINDOW first); null when its procedure destroyed it meanwhile.
static Window* showHidden(HWND hwnd, Window* w, bool repaint) {
  if (w->visible) return w;
  send(hwnd, WM_SHOWWINDOW, TRUE, 0);
  if (!(w = find(hwnd))) return nullptr;
  w->visible = true;
  if (repaint) invalidate(w);
  if (isTopLevel(w)) backend().show(w, true);
  return w;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto& s = state();
  Window* w = find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  BOOL was = w->visible ? TRUE : FALSE;
  bool activate = false;
  switch (cmd) {
    case SW_HIDE:
      if (w->visible) {
        send(hwnd, WM_SHOWWINDOW, FALSE, 0);
        if (!(w = find(hwnd))) return was;
        w->visible = false;
        if (isTopLevel(w)) backend().show(w, false);
        if (s.active == hwnd) {
          s.active = nullptr;
          if (s.appActive) setAppActive(false);
        }
      }
      return was;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      if (!(w = showHidden(hwnd, w, false))) return was;
      if (isTopLevel(w)) backend().minimize(w, true);
      setMinimized(hwnd, true);
      // The minimised application gives the activation away.
      if (s.appActive && isTopLevel(w) && !backend().onScreen()) {
        s.active = nullptr;
        setAppActive(false);
      }
      return was;
    case SW_MAXIMIZE:
      if (!(w = showHidden(hwnd, w, true))) return was;
      maximize(hwnd);
      activate = true;
      break;
    default: {
      bool restore = cmd == SW_RESTORE || cmd == SW_SHOWNORMAL || cmd == SW_SHOWDEFAULT;
      if (!(w = showHidden(hwnd, w, true))) return was;
      if (restore && w->minimized) {
        if (isTopLevel(w)) backend().minimize(w, false);
        setMinimized(hwnd, false);
      } else if (restore && w->maximized) {
        w->maximized = false;
        RECT r = w->restoreRect;
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      activate = cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE;
      break;
    }
  }
  if (!(w = find(hwnd))) return was;
  if (activate && isTopLevel(w) && !w->minimized) SetActiveWindow(hwnd);
  return was;
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = find(hwnd);
  while (w) {
    if (!w->visible) return FALSE;
    if (isTopLevel(w) || !w->parent) return TRUE;
    w = find(w->parent);
  }
  return FALSE;
}

BOOL IsIconic(HWND hwnd) {
  Window* w = find(hwnd);
  return w && w->minimized ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
  Window* w = find(hwnd);
  return w && w->maximized ? TRUE : FALSE;
}

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) {
  auto& s = state();
  if (!hwnd) {
    for (auto& [id, w] : s.windows) w->needsPaint = true;
    return TRUE;
  }
  Window* w = find(hwnd);
  if (!w) return FALSE;
  w->needsPaint = true;
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT*) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  w->needsPaint = false;
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  if (rect) *rect = w->needsPaint ? clientRectOf(w) : RECT{0, 0, 0, 0};
  return w->needsPaint ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  if (w->needsPaint && IsWindowVisible(hwnd)) {
    send(hwnd, WM_PAINT, 0, 0);
    if ((w = find(hwnd))) w->needsPaint = false;
  }
  if ((w = find(hwnd))) {
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) UpdateWindow(c);
  }
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, void*, UINT flags) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  if (flags & (RDW_INVALIDATE | RDW_FRAME | RDW_INTERNALPAINT)) {
    if (flags & RDW_ALLCHILDREN)
      invalidate(w);
    else
      InvalidateRect(hwnd, rect, (flags & RDW_ERASE) != 0);
  }
  if (flags & RDW_VALIDATE) ValidateRect(hwnd, rect);
  if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
  return TRUE;
}
