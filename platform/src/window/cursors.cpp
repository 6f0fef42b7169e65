// Cursors and icons: handles for the system shapes and for the program's own resources; the
// current cursor, its display counter, position and clip rectangle.
#include <algorithm>
#include <map>
#include <memory>

#include "window/backend.h"

using namespace zqwin;

namespace {

struct Shape {
  WORD id;
  bool system;
  bool icon;
};

struct Cursors {
  std::map<uint32_t, std::unique_ptr<Shape>> shapes;  // key: id | system << 16 | icon << 17
  HCURSOR current = nullptr;
  int counter = 0;
  POINT pos{0, 0};
  bool clipped = false;
  RECT clip{0, 0, 0, 0};
};

Cursors& cur() {
  static Cursors* c = new Cursors;
  return *c;
}

void* shapeFor(HINSTANCE instance, LPCSTR name, bool icon) {
  if (!name || !IS_INTRESOURCE(name)) return nullptr;  // only numbered resources exist here
  WORD id = WORD(uintptr_t(name));
  bool system = instance == nullptr;
  uint32_t key = id | (system ? 1u << 16 : 0) | (icon ? 1u << 17 : 0);
  auto& m = cur().shapes;
  auto it = m.find(key);
  if (it == m.end()) it = m.emplace(key, std::make_unique<Shape>(Shape{id, system, icon})).first;
  return it->second.get();
}

}  // namespace

namespace zqwin {

WORD currentCursorId() {
  auto* s = static_cast<Shape*>(static_cast<void*>(cur().current));
  return s ? s->id : 0;
}
bool cursorShown() { return cur().counter >= 0 && cur().current != nullptr; }

void setCursorScreenPos(POINT p) {
  auto& c = cur();
  if (c.clipped) {
    p.x = std::clamp<LONG>(p.x, c.clip.left, c.clip.right - 1);
    p.y = std::clamp<LONG>(p.y, c.clip.top, c.clip.bottom - 1);
  }
  c.pos = p;
}

void resetCursor() {
  auto& c = cur();
  c.current = nullptr;
  c.counter = 0;
  c.pos = POINT{0, 0};
  c.clipped = false;
  grabMouse(nullptr);
}

}  // namespace zqwin

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  return static_cast<HCURSOR>(shapeFor(instance, name, false));
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  return static_cast<HICON>(shapeFor(instance, name, true));
}

HCURSOR SetCursor(HCURSOR cursor) {
  auto& c = cur();
  HCURSOR old = c.current;
  c.current = cursor;
  if (old != cursor) backend().applyCursor();
  return old;
}

HCURSOR GetCursor() { return cur().current; }

int ShowCursor(BOOL show) {
  auto& c = cur();
  c.counter += show ? 1 : -1;
  if (c.counter == 0 || c.counter == -1) backend().applyCursor();
  return c.counter;
}

BOOL GetCursorPos(LPPOINT pt) {
  if (!pt) return FALSE;
  *pt = cur().pos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  setCursorScreenPos(POINT{x, y});
  return TRUE;
}

BOOL ClipCursor(const RECT* rect) {
  auto& c = cur();
  c.clipped = rect != nullptr;
  if (rect) c.clip = *rect;
  grabMouse(rect);
  return TRUE;
}

BOOL GetClipCursor(LPRECT rect) {
  if (!rect) return FALSE;
  auto& c = cur();
  if (c.clipped) {
    *rect = c.clip;
  } else {
    int w, h;
    screenSize(w, h);
    *rect = RECT{0, 0, w, h};
  }
  return TRUE;
}

BOOL DestroyCursor(HCURSOR) { return TRUE; }  // shared shapes live as long as the process
BOOL DestroyIcon(HICON) { return TRUE; }
