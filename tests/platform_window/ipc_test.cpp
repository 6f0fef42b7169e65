// FindWindowA and WM_COPYDATA between two processes: a forked child owns a findable window.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "window_fixture.h"

namespace {

const char kTitle[] = "Lobby \xB4\xF3\xCC\xFC";  // GBK bytes in the title
int g_report = -1;                               // child -> parent: what the window received

LRESULT CALLBACK LobbyProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COPYDATA) {
    const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
    if (cds->dwData == 99) {
      PostQuitMessage(7);
      return 1;
    }
    // Reported as "<dwData> <cbData> <hex bytes>\n".
    std::string line = std::to_string(cds->dwData) + " " + std::to_string(cds->cbData) + " ";
    const auto* b = static_cast<const unsigned char*>(cds->lpData);
    char hex[3];
    for (DWORD i = 0; i < cds->cbData; ++i) {
      std::snprintf(hex, sizeof hex, "%02x", b[i]);
      line += hex;
    }
    line += "\n";
    if (write(g_report, line.data(), line.size()) < 0) return -1;
    return 1000 + LRESULT(cds->cbData);
  }
  return DefWindowProcA(h, m, w, l);
}

[[noreturn]] void RunLobby(int ready, int report) {
  g_report = report;
  zqResetWindowSystem();
  WNDCLASSA wc{};
  wc.lpfnWndProc = LobbyProc;
  wc.lpszClassName = "ZqLobbyClass";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "ZqLobbyClass", "first", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           nullptr, nullptr);
  bool ok = w && zqSetFindable(w, TRUE) && SetWindowTextA(w, kTitle);  // found by its new title
  char c = ok ? 'y' : 'n';
  if (write(ready, &c, 1) != 1) _exit(3);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0)) DispatchMessageA(&m);
  _exit(m.wParam == 7 ? 0 : 2);  // 7: the quit record arrived
}

std::string readLine(int fd) {
  std::string s;
  char c;
  while (read(fd, &c, 1) == 1 && c != '\n') s += c;
  return s;
}

}  // namespace

TEST_F(WindowTest, FindWindowAndCopyDataAcrossProcesses) {
  std::string ns = "ipc-test-" + std::to_string(getpid());
  setenv("ZQ_IPC_NAMESPACE", ns.c_str(), 1);
  int ready[2], report[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(report), 0);
  pid_t child = fork();
  if (child == 0) RunLobby(ready[1], report[1]);
  close(ready[1]);
  close(report[1]);
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');

  HWND lobby = FindWindowA("ZqLobbyClass", kTitle);
  ASSERT_NE(lobby, nullptr);
  EXPECT_TRUE(IsWindow(lobby));
  EXPECT_EQ(FindWindowA("zqlobbyclass", nullptr), lobby);  // class names ignore case
  EXPECT_EQ(FindWindowA(nullptr, kTitle), lobby);
  EXPECT_EQ(FindWindowA("ZqLobbyClass", "first"), nullptr);  // the old title is gone
  EXPECT_EQ(FindWindowA("ZqLobbyClass", "Lobby"), nullptr);
  setenv("ZQ_IPC_NAMESPACE", (ns + "-other").c_str(), 1);
  EXPECT_EQ(FindWindowA("ZqLobbyClass", kTitle), nullptr);
  setenv("ZQ_IPC_NAMESPACE", ns.c_str(), 1);

  // The data arrives whole (a zero inside included), and the procedure's result comes back.
  const char text[] = "127.0.0.1 8886\0tail";
  COPYDATASTRUCT cds{28, sizeof text, const_cast<char*>(text)};
  EXPECT_EQ(SendMessageA(lobby, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), 1000 + LRESULT(sizeof text));
  EXPECT_EQ(readLine(report[0]), "28 20 3132372e302e302e312038383836007461696c00");
  COPYDATASTRUCT empty{5, 0, nullptr};
  EXPECT_EQ(SendMessageA(lobby, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty)), 1000);
  EXPECT_EQ(readLine(report[0]), "5 0 ");
  // Other messages do not cross.
  EXPECT_EQ(SendMessageA(lobby, WM_USER, 1, 2), 0);

  // A window of this process is found as itself.
  HWND own = create();
  SetWindowTextA(own, kTitle);
  EXPECT_EQ(FindWindowA("ZqTest", kTitle), own);

  COPYDATASTRUCT quit{99, 0, nullptr};
  EXPECT_EQ(SendMessageA(lobby, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&quit)), 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // The lobby is gone: its handle is dead and sending reports failure.
  EXPECT_FALSE(IsWindow(lobby));
  EXPECT_EQ(SendMessageA(lobby, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(FindWindowA("ZqLobbyClass", kTitle), nullptr);
  close(ready[0]);
  close(report[0]);
  unsetenv("ZQ_IPC_NAMESPACE");
}
