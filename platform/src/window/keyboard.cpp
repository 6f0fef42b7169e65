// Key state, key messages and their translation into characters (US layout).
#include <array>

#include "window/state.h"

using namespace zqwin;

namespace {

std::array<uint8_t, 256> g_keys{};   // as of the key messages retrieved so far
std::array<uint8_t, 256> g_async{};  // as of the input that arrived

void setKey(std::array<uint8_t, 256>& k, UINT vk, bool down) {
  vk &= 0xFF;
  if (down) {
    if (!(k[vk] & 0x80)) k[vk] ^= 0x01;  // toggle on each press
    k[vk] |= 0x80;
  } else {
    k[vk] &= ~0x80;
  }
  UINT generic = 0;
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) generic = VK_SHIFT;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) generic = VK_CONTROL;
  if (vk == VK_LMENU || vk == VK_RMENU) generic = VK_MENU;
  if (generic) setKey(k, generic, down);
}

bool down(UINT vk) { return (g_keys[vk & 0xFF] & 0x80) != 0; }

int charOf(UINT vk) {
  bool shift = down(VK_SHIFT);
  bool caps = (g_keys[VK_CAPITAL] & 0x01) != 0;
  bool ctrl = down(VK_CONTROL) && !down(VK_MENU);
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return int(vk - 'A' + 1);
    return (shift != caps) ? int(vk) : int(vk - 'A' + 'a');
  }
  if (vk >= '0' && vk <= '9') {
    if (ctrl) return -1;
    static const char shifted[] = ")!@#$%^&*(";
    return shift ? shifted[vk - '0'] : int(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return int('0' + (vk - VK_NUMPAD0));
  switch (vk) {
    case VK_SPACE:
      return ' ';
    case VK_RETURN:
      return ctrl ? '\n' : '\r';
    case VK_TAB:
      return '\t';
    case VK_BACK:
      return '\b';
    case VK_ESCAPE:
      return 27;
    case VK_MULTIPLY:
      return '*';
    case VK_ADD:
      return '+';
    case VK_SUBTRACT:
      return '-';
    case VK_DECIMAL:
      return '.';
    case VK_DIVIDE:
      return '/';
  }
  if (ctrl) return -1;
  struct Oem {
    UINT vk;
    char plain, shifted;
  };
  static const Oem oem[] = {{VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
                            {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
                            {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
                            {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'}};
  for (const Oem& o : oem)
    if (o.vk == vk) return shift ? o.shifted : o.plain;
  return -1;
}

}  // namespace

namespace zqwin {

void updateKeyState(UINT msg, UINT vk) { setKey(g_keys, vk, msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN); }

void updateAsyncKeyState(UINT vk, bool isDown) { setKey(g_async, vk, isDown); }
bool asyncKeyDown(UINT vk) { return (g_async[vk & 0xFF] & 0x80) != 0; }

UINT scanCodeOf(UINT vk) {
  static const char row1[] = "QWERTYUIOP", row2[] = "ASDFGHJKL", row3[] = "ZXCVBNM";
  for (int i = 0; row1[i]; ++i)
    if (UINT(row1[i]) == vk) return 0x10 + i;
  for (int i = 0; row2[i]; ++i)
    if (UINT(row2[i]) == vk) return 0x1E + i;
  for (int i = 0; row3[i]; ++i)
    if (UINT(row3[i]) == vk) return 0x2C + i;
  if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
  if (vk == '0') return 0x0B;
  if (vk >= VK_F1 && vk <= VK_F10) return 0x3B + (vk - VK_F1);
  static const uint8_t numpad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return numpad[vk - VK_NUMPAD0];
  switch (vk) {
    case VK_ESCAPE:
      return 0x01;
    case VK_OEM_MINUS:
      return 0x0C;
    case VK_OEM_PLUS:
      return 0x0D;
    case VK_BACK:
      return 0x0E;
    case VK_TAB:
      return 0x0F;
    case VK_RETURN:
      return 0x1C;
    case VK_CONTROL:
    case VK_LCONTROL:
      return 0x1D;
    case VK_SHIFT:
    case VK_LSHIFT:
      return 0x2A;
    case VK_RSHIFT:
      return 0x36;
    case VK_MENU:
    case VK_LMENU:
      return 0x38;
    case VK_SPACE:
      return 0x39;
    case VK_CAPITAL:
      return 0x3A;
    case VK_F11:
      return 0x57;
    case VK_F12:
      return 0x58;
    case VK_MULTIPLY:
      return 0x37;
    case VK_SUBTRACT:
      return 0x4A;
    case VK_ADD:
      return 0x4E;
    case VK_DECIMAL:
      return 0x53;
    case VK_UP:
      return 0x148;  // 0x100: extended key
    case VK_DOWN:
      return 0x150;
    case VK_LEFT:
      return 0x14B;
    case VK_RIGHT:
      return 0x14D;
    case VK_INSERT:
      return 0x152;
    case VK_DELETE:
      return 0x153;
    case VK_HOME:
      return 0x147;
    case VK_END:
      return 0x14F;
    case VK_PRIOR:
      return 0x149;
    case VK_NEXT:
      return 0x151;
    case VK_DIVIDE:
      return 0x135;
  }
  return 0;
}

// lParam of a key message.
LPARAM keyLParam(UINT msg, UINT vk, int repeat, bool wasDown) {
  UINT scan = scanCodeOf(vk);
  DWORD l = DWORD(repeat & 0xFFFF) | ((scan & 0xFF) << 16);
  if (scan & 0x100) l |= 1u << 24;
  bool alt = asyncKeyDown(VK_MENU);
  if ((msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) && alt) l |= 1u << 29;
  if (msg == WM_KEYUP || msg == WM_SYSKEYUP)
    l |= 3u << 30;
  else if (wasDown)
    l |= 1u << 30;
  return LPARAM(l);
}

void resetInputKeys() {
  g_keys.fill(0);
  g_async.fill(0);
}

}  // namespace zqwin

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) {
    return (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) ? TRUE : FALSE;
  }
  int c = charOf(UINT(msg->wParam));
  if (c > 0)
    PostMessageA(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, WPARAM(c), msg->lParam);
  return TRUE;
}

SHORT GetKeyState(int vk) {
  uint8_t k = g_keys[vk & 0xFF];
  return SHORT(((k & 0x80) ? 0xFF80 : 0) | (k & 0x01));
}

SHORT GetAsyncKeyState(int vk) { return asyncKeyDown(UINT(vk)) ? SHORT(0x8000) : 0; }

void zqInjectKey(HWND hwnd, UINT msg, UINT vk, int repeat) {
  auto& s = state();
  if (!hwnd) hwnd = s.focus ? s.focus : s.active;
  bool isDown = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
  bool wasDown = asyncKeyDown(vk);
  updateAsyncKeyState(vk, isDown);
  POINT pt{0, 0};
  GetCursorPos(&pt);
  queueInput(MSG{hwnd, msg, WPARAM(vk & 0xFF), keyLParam(msg, vk, repeat < 1 ? 1 : repeat, wasDown),
                 timeGetTime(), pt});
}
