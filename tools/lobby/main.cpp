// lobby: stands in for the hall program the client is started from.
//   lobby --port N [--server IP] [--slot-type T] [--slot-id N] [--user U]
//         [--client PROGRAM] [--dir FOLDER] [--copydata CLASS TITLE] [-- CLIENT-ARGS...]
// Registers the lobby window (class "TQRNZone", title "QRNZone", findable by other processes),
// writes FOLDER/../qrnrun.dat with the connect string "IP PORT SLOT-TYPE SLOT-ID USER", starts
// the client (default: Tolvane beside this program) in FOLDER (default: the current folder),
// and pumps its window until the client exits. With --copydata it also hands the connect string
// to the client's window (found by class and title) by WM_COPYDATA with dwData 28.
// Prints the client's exit code and exits with it (128 + signal when it was killed; 2 on bad
// arguments, 1 when the client cannot be started).
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "zqplatform/platform.h"

namespace fs = std::filesystem;

namespace {

constexpr ULONG_PTR kCopyDataConnect = 28;

struct SOptions {
  std::string server = "127.0.0.1", port, slotType = "1", slotId = "1", user = "demo";
  std::string client, dir = ".";
  std::string copyClass, copyTitle;
  bool copyData = false;
  std::vector<std::string> clientArgs;
};

int Usage() {
  std::fprintf(
      stderr,
      "usage: lobby --port N [--server IP] [--slot-type T] [--slot-id N] [--user U]\n"
      "             [--client PROGRAM] [--dir FOLDER] [--copydata CLASS TITLE] [-- CLIENT-ARGS...]\n");
  return 2;
}

bool Digits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

bool Token(const std::string& s) { return !s.empty() && s.find_first_of(" \t\r\n") == std::string::npos; }

LRESULT CALLBACK LobbyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

std::string ProgramFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  buf[n] = 0;
  return fs::path(buf).parent_path().string();
}

pid_t StartClient(const SOptions& o) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(o.client.c_str()));
  for (const std::string& a : o.clientArgs) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(o.dir.c_str()) != 0) _exit(127);
    ::execv(o.client.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  SOptions o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--") {
      for (++i; i < argc; ++i) o.clientArgs.push_back(argv[i]);
      break;
    }
    if (a == "--copydata") {
      if (i + 2 >= argc) return Usage();
      o.copyData = true;
      o.copyClass = argv[++i];
      o.copyTitle = argv[++i];
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const std::string v = argv[++i];
    if (a == "--port")
      o.port = v;
    else if (a == "--server")
      o.server = v;
    else if (a == "--slot-type")
      o.slotType = v;
    else if (a == "--slot-id")
      o.slotId = v;
    else if (a == "--user")
      o.user = v;
    else if (a == "--client")
      o.client = v;
    else if (a == "--dir")
      o.dir = v;
    else
      return Usage();
  }
  // The client's parse takes exactly five blank-free fields, port and slot id in digits.
  if (!Digits(o.port) || !Digits(o.slotId) || !Token(o.server) || !Token(o.slotType) || !Token(o.user))
    return Usage();
  if (o.client.empty()) o.client = ProgramFolder() + "/Tolvane";
  std::error_code ec;
  o.dir = fs::absolute(o.dir, ec).lexically_normal().string();
  o.client = fs::absolute(o.client, ec).lexically_normal().string();
  const std::string connect = o.server + " " + o.port + " " + o.slotType + " " + o.slotId + " " + o.user;

  WNDCLASSA wc{};
  wc.lpfnWndProc = LobbyProc;
  wc.lpszClassName = "TQRNZone";
  if (!RegisterClassA(&wc)) {
    std::fprintf(stderr, "lobby: cannot register the lobby window class\n");
    return 1;
  }
  HWND lobby = CreateWindowExA(0, "TQRNZone", "QRNZone", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr,
                               nullptr, nullptr, nullptr);
  if (!lobby || !zqSetFindable(lobby, TRUE)) {
    std::fprintf(stderr, "lobby: cannot open the lobby window\n");
    return 1;
  }

  const fs::path marker = fs::path(o.dir).parent_path() / "qrnrun.dat";
  if (std::FILE* f = std::fopen(marker.c_str(), "w")) {
    std::fputs(connect.c_str(), f);
    std::fclose(f);
  } else {
    std::fprintf(stderr, "lobby: cannot write %s\n", marker.c_str());
    return 1;
  }
  std::printf("lobby: %s written (%s); starting %s in %s\n", marker.c_str(), connect.c_str(),
              o.client.c_str(), o.dir.c_str());
  std::fflush(stdout);

  const pid_t pid = StartClient(o);
  if (pid < 0) {
    std::fprintf(stderr, "lobby: cannot start %s: %s\n", o.client.c_str(), std::strerror(errno));
    return 1;
  }
  // The lobby stays responsive while the client runs: its window answers other processes.
  bool handedOver = !o.copyData;
  int status = 0;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!handedOver) {
      if (HWND client = FindWindowA(o.copyClass.c_str(), o.copyTitle.c_str())) {
        COPYDATASTRUCT cds{kCopyDataConnect, DWORD(connect.size()), const_cast<char*>(connect.c_str())};
        SendMessageA(client, WM_COPYDATA, reinterpret_cast<WPARAM>(lobby), reinterpret_cast<LPARAM>(&cds));
        handedOver = true;
        std::printf("lobby: connect string handed to the client's window\n");
        std::fflush(stdout);
      }
    }
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) {
      status = 1 << 8;
      break;
    }
    ::usleep(10000);
  }
  DestroyWindow(lobby);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::printf("lobby: client exited with %d\n", code);
  return code;
}
