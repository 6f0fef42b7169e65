// The lobby as the client sees it: its window found from another process, the run-marker file
// beside the client's folder, the connect string by WM_COPYDATA, the client's exit code.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config_files.h"
#include "x_server.h"
#include "zqplatform/platform.h"

namespace toolstest {
namespace {

namespace fs = std::filesystem;
using zqtest::readFile;
using zqtest::writeFile;

const std::string kLobby = std::string(ZQ_BIN_DIR) + "/lobby";

std::vector<std::string> g_copied;
std::vector<ULONG_PTR> g_copiedData;

LRESULT CALLBACK FakeClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    g_copied.emplace_back(static_cast<const char*>(cds->lpData), cds->cbData);
    g_copiedData.push_back(cds->dwData);
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

pid_t Start(const std::vector<std::string>& args, const std::string& out) {
  pid_t pid = ::fork();
  if (pid == 0) {
    int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kLobby.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(kLobby.c_str(), argv.data());
    _exit(126);
  }
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits for a line on a FIFO (the fake client reports it is running), pumping this process's
// windows meanwhile; false after ten seconds of real time.
bool AwaitFifo(const std::string& fifo) {
  int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  bool got = false;
  PumpUntil(
      [] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      },
      [&] {
        pollfd p{fd, POLLIN, 0};
        got = ::poll(&p, 1, 10) > 0 && (p.revents & POLLIN);
        return got;
      });
  ::close(fd);
  return got;
}

class LobbyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Windows of other test runs stay out of sight.
    ::setenv("ZQ_IPC_NAMESPACE", ("lobby-test-" + std::to_string(::getpid())).c_str(), 1);
    ::setenv("ZQ_HEADLESS", "1", 1);
    fs::create_directories(dir.file("hall/client"));
    ::mkfifo(dir.file("ready").c_str(), 0600);
    ::mkfifo(dir.file("go").c_str(), 0600);
    // The fake client records what it finds, says it runs, waits for the word and exits with 7.
    writeFile(dir.file("fake-client"),
              "#!/bin/sh\ncat ../qrnrun.dat > \"$1/marker\"\npwd > \"$1/cwd\"\n"
              "echo ready > \"$1/ready\"\nread x < \"$1/go\"\nexit 7\n");
    fs::permissions(dir.file("fake-client"), fs::perms::owner_all);
  }
  zqtest::ScratchDir dir;
};

TEST_F(LobbyTest, StartsTheClientBesideItsMarkerFileStaysFindableAndReportsTheExitCode) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FakeClientProc;
  wc.lpszClassName = "ZqFakeClient";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND fake = CreateWindowExA(0, "ZqFakeClient", "fake", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_TRUE(zqSetFindable(fake, TRUE));

  const pid_t lobby = Start({"--port", "5555", "--slot-type", "3", "--slot-id", "9", "--user", "183",
                             "--client", dir.file("fake-client"), "--dir", dir.file("hall/client"),
                             "--copydata", "ZqFakeClient", "fake", "--", dir.path()},
                            dir.file("lobby.out"));
  ASSERT_TRUE(AwaitFifo(dir.file("ready")));
  EXPECT_EQ(readFile(dir.file("marker")), "127.0.0.1 5555 3 9 183");
  EXPECT_EQ(readFile(dir.file("cwd")), dir.file("hall/client") + "\n");
  EXPECT_NE(FindWindowA("TQRNZone", "QRNZone"), nullptr);
  ASSERT_TRUE(PumpUntil(
      [] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      },
      [] { return !g_copied.empty(); }));
  EXPECT_EQ(g_copied, std::vector<std::string>{"127.0.0.1 5555 3 9 183"});
  EXPECT_EQ(g_copiedData, std::vector<ULONG_PTR>{28});

  writeFile(dir.file("go"), "go\n");
  EXPECT_EQ(Wait(lobby), 7);
  EXPECT_NE(readFile(dir.file("lobby.out")).find("client exited with 7"), std::string::npos);
  EXPECT_EQ(FindWindowA("TQRNZone", "QRNZone"), nullptr);
  DestroyWindow(fake);
}

TEST_F(LobbyTest, BadArgumentsAndAMissingClientFail) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--port", "x1"}, {"--port", "1", "--slot-id", "a"}, {"--port", "1", "--user", "a b"}}) {
    EXPECT_EQ(Wait(Start(args, dir.file("out"))), 2);
  }
  EXPECT_EQ(Wait(Start({"--port", "1", "--client", dir.file("none"), "--dir", dir.file("hall/client")},
                       dir.file("out"))),
            127);
  EXPECT_EQ(readFile(dir.file("hall/qrnrun.dat")), "127.0.0.1 1 1 1 demo");
}

}  // namespace
}  // namespace toolstest
