// Creating and destroying windows, their properties and their family.
#include <algorithm>
#include <cstring>

#include "window/backend.h"

using namespace zqwin;

namespace zqwin {
std::string classKey(LPCSTR name);
bool queryMinMax(HWND hwnd, MINMAXINFO& mmi);

LRESULT send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = find(hwnd);
  if (!w || !w->proc) return 0;
  return w->proc(hwnd, msg, wParam, lParam);
}
}  // namespace zqwin

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  auto& s = state();
  if (!className) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto it = s.classes.find(classKey(className));
  if (it == s.classes.end()) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  Window* parentWin = nullptr;
  if (parent && parent != HWND_DESKTOP) {
    parentWin = find(parent);
    if (!parentWin) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
  }
  if ((style & WS_CHILD) && !parentWin) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // An overlapped window always has a caption.
  if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION | WS_CLIPSIBLINGS;

  auto win = std::make_unique<Window>();
  Window* w = win.get();
  w->id = s.nextWindowId;
  s.nextWindowId += 4;
  w->cls = it->second;
  w->proc = w->cls->proc;
  w->style = style & ~WS_VISIBLE & ~(WS_MINIMIZE | WS_MAXIMIZE);
  w->exStyle = exStyle;
  w->title = windowName ? windowName : "";
  w->parent = parentWin ? parent : nullptr;
  w->instance = instance;
  w->extra.assign(size_t(w->cls->cbWndExtra), 0);
  w->iconBig = w->cls->icon;
  w->iconSmall = w->cls->iconSmall;
  if (style & WS_CHILD) {
    w->ctrlId = int(reinterpret_cast<uintptr_t>(menu));
  } else {
    w->menu = menu;
    if (!menu && w->cls->menuId) w->menu = LoadMenuA(instance, MAKEINTRESOURCEA(w->cls->menuId));
  }

  // Default position and size of overlapped windows.
  int sw, sh;
  screenSize(sw, sh);
  if (!(style & (WS_CHILD | WS_POPUP))) {
    if (x == CW_USEDEFAULT) {
      x = 26;
      y = 26;
    }
    if (width == CW_USEDEFAULT) {
      width = sw * 3 / 4;
      height = sh * 3 / 4;
    }
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  }
  w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  w->restoreRect = w->rect;

  HWND hwnd = handleOf(w);
  s.windows[w->id] = std::move(win);
  if (parentWin)
    parentWin->children.push_back(hwnd);
  else
    s.topLevel.push_back(hwnd);

  if (isTopLevel(w)) {
    MINMAXINFO mmi;
    queryMinMax(hwnd, mmi);
  }
  CREATESTRUCTA cs{param, instance, menu,        parent,     height,    width,
                   y,     x,        LONG(style), windowName, className, exStyle};
  if (!find(hwnd) || !send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (find(hwnd)) DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!find(hwnd)) return nullptr;
  backend().create(find(hwnd));
  if (send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (find(hwnd)) DestroyWindow(hwnd);
    return nullptr;
  }
  if (!(w = find(hwnd))) return nullptr;
  RECT cr = clientRectOf(w);
  send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cr.right, cr.bottom));
  if (!(w = find(hwnd))) return nullptr;
  POINT o = clientOriginOnScreen(w);
  if (w->parent && !isTopLevel(w)) ScreenToClient(w->parent, &o);
  send(hwnd, WM_MOVE, 0, MAKELPARAM(o.x, o.y));
  if (!find(hwnd)) return nullptr;
  if (style & WS_VISIBLE) {
    int cmd = (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW;
    ShowWindow(hwnd, cmd);
  }
  return find(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
  auto& s = state();
  Window* w = find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->destroying) return TRUE;
  w->destroying = true;
  if (s.capture == hwnd) s.capture = nullptr;
  if (s.focus && (s.focus == hwnd || IsChild(hwnd, s.focus))) {
    send(s.focus, WM_KILLFOCUS, 0, 0);
    s.focus = nullptr;
  }
  if (s.active == hwnd) {
    s.active = nullptr;
    bool other = false;
    for (HWND t : s.topLevel)
      if (t != hwnd && IsWindowVisible(t)) other = true;
    if (!other && s.appActive) setAppActive(false);
  }
  if (w->visible && isTopLevel(w)) backend().show(w, false);
  send(hwnd, WM_DESTROY, 0, 0);
  if ((w = find(hwnd))) {
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) DestroyWindow(c);
  }
  // Windows this one owns go with it.
  std::vector<HWND> owned;
  for (HWND t : s.topLevel) {
    Window* o = find(t);
    if (o && o->parent == hwnd) owned.push_back(t);
  }
  for (HWND t : owned) DestroyWindow(t);
  send(hwnd, WM_NCDESTROY, 0, 0);
  w = find(hwnd);
  if (!w) return TRUE;
  s.timers.erase(
      std::remove_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
      s.timers.end());
  if (w->parent) {
    if (Window* p = find(w->parent)) {
      auto& ch = p->children;
      ch.erase(std::remove(ch.begin(), ch.end(), hwnd), ch.end());
    }
  }
  s.topLevel.erase(std::remove(s.topLevel.begin(), s.topLevel.end(), hwnd), s.topLevel.end());
  if (w->menu && isTopLevel(w)) destroyMenuTree(w->menu);
  ipcForget(w);
  backend().destroy(w);
  s.windows.erase(w->id);
  notifyDestroyed(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return find(hwnd) || ipcRemoteAlive(hwnd) ? TRUE : FALSE; }

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  Window* w = find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  switch (index) {
    case GWL_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w->instance);
    case GWL_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(w->parent);
    case GWL_ID:
      return w->ctrlId;
    case GWL_STYLE:
      return LONG(w->style | (w->visible ? WS_VISIBLE : 0) | (w->minimized ? WS_MINIMIZE : 0) |
                  (w->maximized ? WS_MAXIMIZE : 0) | (w->enabled ? 0 : WS_DISABLED));
    case GWL_EXSTYLE:
      return LONG(w->exStyle);
    case GWL_USERDATA:
      return w->userData;
  }
  if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
    LONG_PTR v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  if (index >= 0 && size_t(index) + sizeof(LONG) <= w->extra.size()) {
    LONG v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  Window* w = find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR old = GetWindowLongPtrA(hwnd, index);
  switch (index) {
    case GWL_WNDPROC:
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWL_HINSTANCE:
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWL_HWNDPARENT:
      w->parent = reinterpret_cast<HWND>(value);
      return old;
    case GWL_ID:
      w->ctrlId = int(value);
      return old;
    case GWL_STYLE: {
      DWORD v = DWORD(value);
      w->style = v & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE | WS_DISABLED);
      w->enabled = !(v & WS_DISABLED);
      bool vis = (v & WS_VISIBLE) != 0;
      if (vis != w->visible) {
        // Toggling the visible bit directly shows or hides without messages.
        w->visible = vis;
        if (isTopLevel(w)) backend().show(w, vis);
      }
      backend().syncGeometry(w);
      return old;
    }
    case GWL_EXSTYLE:
      w->exStyle = DWORD(value);
      return old;
    case GWL_USERDATA:
      w->userData = value;
      return old;
  }
  if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
  }
  if (index >= 0 && size_t(index) + sizeof(LONG) <= w->extra.size()) {
    LONG v = LONG(value);
    std::memcpy(w->extra.data() + index, &v, sizeof v);
    return old;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

LONG GetWindowLongA(HWND hwnd, int index) { return LONG(GetWindowLongPtrA(hwnd, index)); }
LONG SetWindowLongA(HWND hwnd, int index, LONG value) { return LONG(SetWindowLongPtrA(hwnd, index, value)); }

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  if (!find(hwnd)) return FALSE;
  return send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

BOOL zqSetWindowTextCodePage(HWND hwnd, LPCSTR text, UINT codePage) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  w->title = text ? text : "";
  w->titleCodePage = codePage;
  backend().setTitle(w);
  ipcRetitle(w);
  return TRUE;
}

int GetWindowTextA(HWND hwnd, LPSTR out, int size) {
  if (!find(hwnd) || !out || size <= 0) return 0;
  return int(send(hwnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(out)));
}

int GetWindowTextLengthA(HWND hwnd) {
  if (!find(hwnd)) return 0;
  return int(send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

HWND GetParent(HWND hwnd) {
  Window* w = find(hwnd);
  return w ? w->parent : nullptr;
}

HWND SetParent(HWND child, HWND parent) {
  auto& s = state();
  Window* w = find(child);
  if (!w) return nullptr;
  Window* p = parent ? find(parent) : nullptr;
  if (parent && !p) return nullptr;
  HWND old = w->parent;
  if (old) {
    if (Window* o = find(old))
      o->children.erase(std::remove(o->children.begin(), o->children.end(), child), o->children.end());
  } else {
    s.topLevel.erase(std::remove(s.topLevel.begin(), s.topLevel.end(), child), s.topLevel.end());
  }
  w->parent = p ? parent : nullptr;
  if (p)
    p->children.push_back(child);
  else
    s.topLevel.push_back(child);
  return old;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  auto& s = state();
  Window* w = find(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (cmd == GW_OWNER) return isTopLevel(w) ? w->parent : nullptr;
  const std::vector<HWND>* sib = &s.topLevel;
  if (!isTopLevel(w) && w->parent) sib = &find(w->parent)->children;
  auto it = std::find(sib->begin(), sib->end(), hwnd);
  if (it == sib->end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST:
      return sib->front();
    case GW_HWNDLAST:
      return sib->back();
    case GW_HWNDNEXT:
      return (it + 1) == sib->end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
      return it == sib->begin() ? nullptr : *(it - 1);
  }
  return nullptr;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Window* w = find(hwnd);
  while (w && !isTopLevel(w) && w->parent) {
    if (w->parent == parent) return TRUE;
    w = find(w->parent);
  }
  return FALSE;
}

HWND GetDesktopWindow() { return HWND_DESKTOP; }

int GetDlgCtrlID(HWND hwnd) {
  Window* w = find(hwnd);
  return w && !isTopLevel(w) ? w->ctrlId : 0;
}

HWND GetDlgItem(HWND parent, int id) {
  Window* p = find(parent);
  if (!p) return nullptr;
  for (HWND c : p->children) {
    Window* w = find(c);
    if (w && w->ctrlId == id) return c;
  }
  return nullptr;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = find(hwnd);
  if (!w) return FALSE;
  BOOL wasDisabled = w->enabled ? FALSE : TRUE;
  if (w->enabled != (enable != 0)) {
    w->enabled = enable != 0;
    send(hwnd, WM_ENABLE, WPARAM(enable ? 1 : 0), 0);
  }
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = find(hwnd);
  return w && w->enabled ? TRUE : FALSE;
}

void* zqGetNativeWindow(HWND hwnd) {
  Window* w = find(hwnd);
  return w ? backend().nativeWindow(w) : nullptr;
}
