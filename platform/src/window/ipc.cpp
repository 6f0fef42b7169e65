// Cross-process windows (FindWindowA, WM_COPYDATA).
#include "window/state.h"

using namespace zqwin;

namespace zqwin {
void ipcPoll() {}
bool ipcListening() { return false; }
int ipcFd() { return -1; }
void ipcForget(Window*) {}
void ipcReset() {}
}  // namespace zqwin

HWND FindWindowA(LPCSTR, LPCSTR) { return nullptr; }
BOOL zqSetFindable(HWND, BOOL) { return FALSE; }
