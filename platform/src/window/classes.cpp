// Window classes: names match case-insensitively; a class belongs to the process.
#include <cstring>

#include "window/state.h"

using namespace zqwin;

namespace zqwin {
std::string classKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(uintptr_t(name));
  std::string k(name);
  for (char& c : k)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return k;
}
}  // namespace zqwin

static WORD registerClass(const WNDCLASSEXA& wc) {
  auto& s = state();
  if (!wc.lpszClassName || !wc.lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string key = classKey(wc.lpszClassName);
  if (s.classes.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto c = std::make_shared<WndClass>();
  c->name = IS_INTRESOURCE(wc.lpszClassName) ? key : std::string(wc.lpszClassName);
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->cbWndExtra = wc.cbWndExtra > 0 ? wc.cbWndExtra : 0;
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->iconSmall = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  if (wc.lpszMenuName) {
    if (IS_INTRESOURCE(wc.lpszMenuName))
      c->menuId = WORD(uintptr_t(wc.lpszMenuName));
    else
      c->menuName = wc.lpszMenuName;
  }
  c->atom = s.nextAtom++;
  s.classes[key] = c;
  return c->atom;
}

WORD RegisterClassA(const WNDCLASSA* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA ex{sizeof(WNDCLASSEXA), wc->style,        wc->lpfnWndProc,   wc->cbClsExtra,
                 wc->cbWndExtra,      wc->hInstance,    wc->hIcon,         wc->hCursor,
                 wc->hbrBackground,   wc->lpszMenuName, wc->lpszClassName, nullptr};
  return registerClass(ex);
}

WORD RegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return registerClass(*wc);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (!className) return FALSE;
  return state().classes.erase(classKey(className)) ? TRUE : FALSE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, LPWNDCLASSA out) {
  if (!className || !out) return FALSE;
  auto& s = state();
  auto it = s.classes.find(classKey(className));
  if (it == s.classes.end()) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return FALSE;
  }
  const WndClass& c = *it->second;
  out->style = c.style;
  out->lpfnWndProc = c.proc;
  out->cbClsExtra = 0;
  out->cbWndExtra = c.cbWndExtra;
  out->hInstance = c.instance;
  out->hIcon = c.icon;
  out->hCursor = c.cursor;
  out->hbrBackground = c.background;
  out->lpszMenuName =
      c.menuId ? MAKEINTRESOURCEA(c.menuId) : (c.menuName.empty() ? nullptr : c.menuName.c_str());
  out->lpszClassName = c.name.c_str();
  return TRUE;
}

int GetClassNameA(HWND hwnd, LPSTR out, int size) {
  Window* w = find(hwnd);
  if (!w || !out || size <= 0) return 0;
  int n = int(std::min<size_t>(w->cls->name.size(), size_t(size - 1)));
  std::memcpy(out, w->cls->name.data(), size_t(n));
  out[n] = 0;
  return n;
}
