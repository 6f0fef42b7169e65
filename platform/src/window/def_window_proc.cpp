// Default processing of window messages.
#include <cstring>

#include "window/backend.h"

using namespace zqwin;

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = find(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          send(hwnd, WM_CLOSE, 0, 0);
          break;
        case SC_MINIMIZE:
          ShowWindow(hwnd, SW_MINIMIZE);
          break;
        case SC_MAXIMIZE:
          ShowWindow(hwnd, SW_MAXIMIZE);
          break;
        case SC_RESTORE:
          ShowWindow(hwnd, SW_RESTORE);
          break;
      }
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & (1 << 29))) send(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_PAINT:
      w->needsPaint = false;
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCACTIVATE:
      return TRUE;
    case WM_MOUSEACTIVATE:
      return 1;  // MA_ACTIVATE
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &p);
      RECT cr = clientRectOf(w);
      if (p.x >= 0 && p.y >= 0 && p.x < cr.right && p.y < cr.bottom) return HTCLIENT;
      return HTCAPTION;
    }
    case WM_SETCURSOR: {
      if (!isTopLevel(w) && w->parent && send(w->parent, msg, wParam, lParam)) return TRUE;
      if (!(w = find(hwnd))) return FALSE;
      if (LOWORD(lParam) == HTCLIENT && w->cls->cursor) {
        SetCursor(w->cls->cursor);
        return TRUE;
      }
      return FALSE;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !w->minimized) SetFocus(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
      UINT flags = wp ? wp->flags : 0;
      if (!(flags & 0x1000)) {  // moved
        POINT o = clientOriginOnScreen(w);
        if (!isTopLevel(w) && w->parent) ScreenToClient(w->parent, &o);
        send(hwnd, WM_MOVE, 0, MAKELPARAM(o.x, o.y));
      }
      if (!(w = find(hwnd))) return 0;
      if (!(flags & 0x0800)) {  // sized
        RECT cr = clientRectOf(w);
        WPARAM kind = w->minimized ? SIZE_MINIMIZED : w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
        send(hwnd, WM_SIZE, kind, w->minimized ? 0 : MAKELPARAM(cr.right, cr.bottom));
      }
      return 0;
    }
    case WM_SETTEXT: {
      w->title = lParam ? reinterpret_cast<const char*>(lParam) : "";
      w->titleCodePage = 936;
      backend().setTitle(w);
      ipcRetitle(w);
      return TRUE;
    }
    case WM_GETTEXT: {
      char* out = reinterpret_cast<char*>(lParam);
      if (!out || wParam == 0) return 0;
      size_t n = std::min(w->title.size(), size_t(wParam) - 1);
      std::memcpy(out, w->title.data(), n);
      out[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
      return LRESULT(w->title.size());
    case WM_SETICON: {
      HICON old = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
      (wParam == ICON_BIG ? w->iconBig : w->iconSmall) = reinterpret_cast<HICON>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->iconBig : w->iconSmall);
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
      if (!isTopLevel(w) && w->parent) return send(w->parent, msg, wParam, lParam);
      return 0;
  }
  return 0;
}
