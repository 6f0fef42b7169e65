// Menus: an in-memory model of items, popups and their states; menu resources registered by
// the program; popup tracking recorded for tests.
#include <cstring>
#include <map>
#include <memory>

#include "window/state.h"

using namespace zqwin;

namespace {

struct Item {
  UINT type = MFT_STRING;  // MFT_* bits
  UINT state = 0;          // MFS_* bits
  UINT id = 0;
  HMENU sub = nullptr;
  std::string text;
  ULONG_PTR data = 0;
};

struct MenuObj {
  bool popup = false;
  std::vector<Item> items;
};

struct Menus {
  std::map<uintptr_t, std::unique_ptr<MenuObj>> menus;
  uintptr_t next = 0x20010;
  std::map<WORD, HMENU> resources;
};

Menus& ms() {
  static Menus* m = new Menus;
  return *m;
}

MenuObj* get(HMENU h) {
  auto& m = ms().menus;
  auto it = m.find(reinterpret_cast<uintptr_t>(h));
  return it == m.end() ? nullptr : it->second.get();
}

HMENU make(bool popup) {
  auto& m = ms();
  uintptr_t id = m.next;
  m.next += 4;
  auto obj = std::make_unique<MenuObj>();
  obj->popup = popup;
  m.menus[id] = std::move(obj);
  return reinterpret_cast<HMENU>(id);
}

// Finds an item by position, or by command id searching the popups depth-first.
Item* locate(HMENU h, UINT item, UINT flags, MenuObj** owner = nullptr, size_t* index = nullptr,
             int depth = 0) {
  MenuObj* m = get(h);
  if (!m || depth > 32) return nullptr;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return nullptr;
    if (owner) *owner = m;
    if (index) *index = item;
    return &m->items[item];
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    Item& it = m->items[i];
    if (!it.sub && it.id == item && !(it.type & MFT_SEPARATOR)) {
      if (owner) *owner = m;
      if (index) *index = i;
      return &it;
    }
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    Item& it = m->items[i];
    if (it.sub) {
      if (Item* r = locate(it.sub, item, flags, owner, index, depth + 1)) return r;
      if (it.id == item) {  // a popup item found by its own id
        if (owner) *owner = m;
        if (index) *index = i;
        return &it;
      }
    }
  }
  return nullptr;
}

Item itemFrom(UINT flags, UINT_PTR newItem, LPCSTR text) {
  Item it;
  it.type =
      flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
  it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (flags & MF_POPUP) {
    it.sub = reinterpret_cast<HMENU>(newItem);
    if (MenuObj* sub = get(it.sub)) sub->popup = true;
  } else {
    it.id = UINT(newItem);
  }
  if (!(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) && text) it.text = text;
  return it;
}

}  // namespace

namespace zqwin {

void destroyMenuTree(HMENU h) {
  MenuObj* m = get(h);
  if (!m) return;
  std::vector<HMENU> subs;
  for (const Item& it : m->items)
    if (it.sub) subs.push_back(it.sub);
  ms().menus.erase(reinterpret_cast<uintptr_t>(h));
  for (HMENU s : subs) destroyMenuTree(s);
}

HMENU copyMenuTree(HMENU h) {
  MenuObj* m = get(h);
  if (!m) return nullptr;
  HMENU copy = make(m->popup);
  std::vector<Item> items = m->items;
  for (Item& it : items)
    if (it.sub) it.sub = copyMenuTree(it.sub);
  get(copy)->items = std::move(items);
  return copy;
}

void resetMenus() {
  auto& m = ms();
  for (auto& [id, h] : m.resources) destroyMenuTree(h);
  m.resources.clear();
}

}  // namespace zqwin

HMENU CreateMenu() { return make(false); }
HMENU CreatePopupMenu() { return make(true); }

BOOL DestroyMenu(HMENU menu) {
  if (!get(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  destroyMenuTree(menu);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return get(menu) ? TRUE : FALSE; }

void zqRegisterMenuResource(WORD id, HMENU menu) {
  auto& r = ms().resources;
  auto it = r.find(id);
  if (it != r.end()) destroyMenuTree(it->second);
  HMENU copy = copyMenuTree(menu);
  if (copy)
    r[id] = copy;
  else
    r.erase(id);
}

HMENU LoadMenuA(HINSTANCE, LPCSTR name) {
  if (!name || !IS_INTRESOURCE(name)) return nullptr;
  auto& r = ms().resources;
  auto it = r.find(WORD(uintptr_t(name)));
  if (it == r.end()) return nullptr;
  return copyMenuTree(it->second);
}

HMENU GetMenu(HWND hwnd) {
  Window* w = find(hwnd);
  return w && isTopLevel(w) ? w->menu : nullptr;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  Window* w = find(hwnd);
  if (!w || !isTopLevel(w) || (menu && !get(menu))) return FALSE;
  // The client area keeps the window's outer size; the menu bar takes its line from it.
  RECT before = clientRectOf(w);
  w->menu = menu;
  RECT after = clientRectOf(w);
  if (before.bottom != after.bottom) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if ((w = find(hwnd))) {
      RECT cr = clientRectOf(w);
      send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cr.right, cr.bottom));
    }
  }
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) { return find(hwnd) ? TRUE : FALSE; }

HMENU GetSubMenu(HMENU menu, int pos) {
  MenuObj* m = get(menu);
  if (!m || pos < 0 || size_t(pos) >= m->items.size()) return nullptr;
  return m->items[size_t(pos)].sub;
}

int GetMenuItemCount(HMENU menu) {
  MenuObj* m = get(menu);
  if (!m) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return -1;
  }
  return int(m->items.size());
}

UINT GetMenuItemID(HMENU menu, int pos) {
  MenuObj* m = get(menu);
  if (!m || pos < 0 || size_t(pos) >= m->items.size()) return UINT(-1);
  const Item& it = m->items[size_t(pos)];
  return it.sub ? UINT(-1) : it.id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  Item* it = locate(menu, item, flags);
  if (!it) return UINT(-1);
  UINT st = it->state | it->type;
  if (it->sub) {
    MenuObj* sub = get(it->sub);
    st = (st & 0xFF) | MF_POPUP | (UINT(sub ? sub->items.size() : 0) << 8);
  }
  return st;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR out, int size, UINT flags) {
  Item* it = locate(menu, item, flags);
  if (!it) return 0;
  if (!out || size <= 0) return int(it->text.size());
  size_t n = std::min(it->text.size(), size_t(size - 1));
  std::memcpy(out, it->text.data(), n);
  out[n] = 0;
  return int(n);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  Item* it = locate(menu, item, flags);
  if (!it) return DWORD(-1);
  DWORD old = it->state & MF_CHECKED;
  if (flags & MF_CHECKED)
    it->state |= MF_CHECKED;
  else
    it->state &= ~UINT(MF_CHECKED);
  return old;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  Item* it = locate(menu, item, flags);
  if (!it) return -1;
  BOOL old = BOOL(it->state & (MF_GRAYED | MF_DISABLED));
  it->state = (it->state & ~UINT(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  bool any = false;
  if (flags & MF_BYPOSITION) {
    MenuObj* m = get(menu);
    if (!m) return FALSE;
    for (UINT p = first; p <= last && p < m->items.size(); ++p) {
      Item& it = m->items[p];
      it.type |= MFT_RADIOCHECK;
      if (p == check)
        it.state |= MF_CHECKED;
      else
        it.state &= ~UINT(MF_CHECKED);
      any = true;
    }
    return any ? TRUE : FALSE;
  }
  for (UINT id = first; id <= last; ++id) {
    if (Item* it = locate(menu, id, MF_BYCOMMAND)) {
      it->type |= MFT_RADIOCHECK;
      if (id == check)
        it->state |= MF_CHECKED;
      else
        it->state &= ~UINT(MF_CHECKED);
      any = true;
    }
    if (id == 0xFFFFFFFFu) break;
  }
  return any ? TRUE : FALSE;
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text) {
  MenuObj* owner = nullptr;
  size_t index = 0;
  Item* it = locate(menu, position, flags, &owner, &index);
  if (!it) return FALSE;
  HMENU oldSub = it->sub;
  Item n = itemFrom(flags, newItem, text);
  if (!(flags & MF_POPUP) && oldSub) {
    // The popup a replaced item held is destroyed with it.
    if (oldSub != n.sub) destroyMenuTree(oldSub);
  }
  owner->items[index] = n;
  return TRUE;
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text) {
  MenuObj* m = get(menu);
  if (!m) return FALSE;
  Item n = itemFrom(flags, newItem, text);
  if (flags & MF_BYPOSITION) {
    size_t at = position >= m->items.size() ? m->items.size() : position;
    m->items.insert(m->items.begin() + long(at), n);
    return TRUE;
  }
  MenuObj* owner = nullptr;
  size_t index = 0;
  if (!locate(menu, position, MF_BYCOMMAND, &owner, &index)) {
    m->items.push_back(n);  // an unknown command id appends
    return TRUE;
  }
  owner->items.insert(owner->items.begin() + long(index), n);
  return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR newItem, LPCSTR text) {
  MenuObj* m = get(menu);
  if (!m) return FALSE;
  m->items.push_back(itemFrom(flags, newItem, text));
  return TRUE;
}

static BOOL removeItem(HMENU menu, UINT position, UINT flags, bool destroy) {
  MenuObj* owner = nullptr;
  size_t index = 0;
  Item* it = locate(menu, position, flags, &owner, &index);
  if (!it) return FALSE;
  HMENU sub = it->sub;
  owner->items.erase(owner->items.begin() + long(index));
  if (destroy && sub) destroyMenuTree(sub);
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return removeItem(menu, position, flags, true); }
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return removeItem(menu, position, flags, false); }

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info) {
  if (!info) return FALSE;
  Item* it = locate(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!it) return FALSE;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it->type;
  if (info->fMask & MIIM_STATE) info->fState = it->state;
  if (info->fMask & MIIM_ID) info->wID = it->id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = it->sub;
  if (info->fMask & MIIM_DATA) info->dwItemData = it->data;
  if (info->fMask & (MIIM_TYPE | MIIM_STRING)) {
    bool isText = !(it->type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW));
    if (isText && info->dwTypeData && info->cch > 0) {
      size_t n = std::min(it->text.size(), size_t(info->cch - 1));
      std::memcpy(info->dwTypeData, it->text.data(), n);
      info->dwTypeData[n] = 0;
      info->cch = UINT(n);
    } else {
      info->cch = isText ? UINT(it->text.size()) : 0;
    }
  }
  return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  if (!info) return FALSE;
  Item* it = locate(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!it) return FALSE;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) it->type = info->fType;
  if (info->fMask & MIIM_STATE) it->state = info->fState;
  if (info->fMask & MIIM_ID) it->id = info->wID;
  if (info->fMask & MIIM_SUBMENU) it->sub = info->hSubMenu;
  if (info->fMask & MIIM_DATA) it->data = info->dwItemData;
  bool textGiven =
      (info->fMask & MIIM_STRING) ||
      ((info->fMask & MIIM_TYPE) && !(info->fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)));
  if (textGiven) it->text = info->dwTypeData ? info->dwTypeData : "";
  return TRUE;
}

BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  if (!info || !get(menu)) return FALSE;
  Item n;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) n.type = info->fType;
  if (info->fMask & MIIM_STATE) n.state = info->fState;
  if (info->fMask & MIIM_ID) n.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) n.sub = info->hSubMenu;
  if (info->fMask & MIIM_DATA) n.data = info->dwItemData;
  if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) && info->dwTypeData &&
      !(n.type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)))
    n.text = info->dwTypeData;
  MenuObj* owner = get(menu);
  size_t index = owner->items.size();
  if (byPosition) {
    index = std::min<size_t>(item, owner->items.size());
  } else if (!locate(menu, item, MF_BYCOMMAND, &owner, &index)) {
    owner = get(menu);
    index = owner->items.size();
  }
  owner->items.insert(owner->items.begin() + long(index), n);
  return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND hwnd, const RECT*) {
  if (!get(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  state().tracked.push_back(ZqTrackedMenuRecord{menu, flags, x, y, hwnd});
  // The menu loop opens and closes at once; no command is chosen.
  if (find(hwnd)) {
    send(hwnd, WM_ENTERMENULOOP, TRUE, 0);
    send(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    send(hwnd, WM_EXITMENULOOP, TRUE, 0);
  }
  return 0;
}

std::vector<ZqTrackedMenuRecord> zqTrackedPopupMenus() { return state().tracked; }
void zqClearTrackedPopupMenus() { state().tracked.clear(); }
