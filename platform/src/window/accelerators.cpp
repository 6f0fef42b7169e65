// Accelerator tables: key combinations that become WM_COMMAND.
#include <map>
#include <memory>

#include "window/state.h"

using namespace zqwin;

namespace {

struct Table {
  std::vector<ACCEL> entries;
};

struct Accels {
  std::map<uintptr_t, std::unique_ptr<Table>> tables;
  uintptr_t next = 0x30010;
  std::map<WORD, std::vector<ACCEL>> resources;
};

Accels& acc() {
  static Accels* a = new Accels;
  return *a;
}

Table* get(HACCEL h) {
  auto it = acc().tables.find(reinterpret_cast<uintptr_t>(h));
  return it == acc().tables.end() ? nullptr : it->second.get();
}

HACCEL make(const ACCEL* e, int n) {
  auto& a = acc();
  auto t = std::make_unique<Table>();
  if (e && n > 0) t->entries.assign(e, e + n);
  uintptr_t id = a.next;
  a.next += 4;
  a.tables[id] = std::move(t);
  return reinterpret_cast<HACCEL>(id);
}

}  // namespace

namespace zqwin {
void resetAccelerators() { acc().resources.clear(); }
}  // namespace zqwin

HACCEL CreateAcceleratorTableA(LPACCEL entries, int count) {
  if (!entries || count <= 0) return nullptr;
  return make(entries, count);
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  return acc().tables.erase(reinterpret_cast<uintptr_t>(table)) ? TRUE : FALSE;
}

void zqRegisterAcceleratorResource(WORD id, const ACCEL* entries, int count) {
  auto& r = acc().resources;
  if (!entries || count <= 0)
    r.erase(id);
  else
    r[id] = std::vector<ACCEL>(entries, entries + count);
}

HACCEL LoadAcceleratorsA(HINSTANCE, LPCSTR name) {
  if (!name || !IS_INTRESOURCE(name)) return nullptr;
  auto& r = acc().resources;
  auto it = r.find(WORD(uintptr_t(name)));
  if (it == r.end()) return nullptr;
  return make(it->second.data(), int(it->second.size()));
}

int TranslateAcceleratorA(HWND hwnd, HACCEL table, LPMSG msg) {
  Table* t = get(table);
  if (!t || !msg || !find(hwnd)) return 0;
  UINT m = msg->message;
  bool keyDown = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
  bool chr = m == WM_CHAR || m == WM_SYSCHAR;
  if (!keyDown && !chr) return 0;
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
  for (const ACCEL& a : t->entries) {
    bool virt = (a.fVirt & FVIRTKEY) != 0;
    if (virt) {
      if (!keyDown || a.key != WORD(msg->wParam)) continue;
      if (((a.fVirt & FSHIFT) != 0) != shift || ((a.fVirt & FCONTROL) != 0) != ctrl ||
          ((a.fVirt & FALT) != 0) != alt)
        continue;
    } else {
      if (!chr || a.key != WORD(msg->wParam)) continue;
      if (((a.fVirt & FALT) != 0) != alt) continue;
    }
    send(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}
