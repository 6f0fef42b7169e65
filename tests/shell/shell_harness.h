// A client start in-process: a working folder with the text configuration, the slot-hall list
// and the game folders, the lobby's window and run-marker file, the scripted server stepped on
// every pump turn, and the program's entry run to its end on the manual clock.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ScriptMode.h"
#include "SlotServer.h"
#include "games/core/GameGlobals.h"
#include "games/core/SlotGame.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"
#include "runtime_support.h"
#include "shell/ClientApp.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"

namespace shelltest {

constexpr DWORD kStartMs = 1000000;
// Manual time after which a run that has not ended is stopped (and fails).
constexpr DWORD kRunLimitMs = 400000;

// The configured texts of the tests' "text" file.
constexpr const char* kConnectText = "Linking";
constexpr const char* kOccupiedText = "seat taken";
constexpr const char* kOverConnectText = "no entry";
constexpr const char* kDisconnectText = "line lost";
constexpr const char* kTooLongText = "too long";

inline std::string Utf8Path(const char* utf8) { return std::string(utf8); }

// The game as the frame sees it when loading: the folder it is handed is recorded; as the game's
// loader does, an absent or empty one fails and a loaded one asks to enter again.
class TestGame : public CSlotGame {
 public:
  using CSlotGame::CSlotGame;
  int LoadGame(const char* folder) override {
    folders.push_back(folder ? folder : "");
    if (!folder || !*folder) return 0;
    g_NetTask.SendEnterGame();
    return 1;
  }
  std::vector<std::string> folders;
};

// The client's application, counting the timer ticks the frame is given (every pumped message
// passes through here before it is dispatched).
class CountingApp : public CClientApp {
 public:
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_TIMER && msg->hwnd == g_hMainWnd) {
      if (msg->wParam == TIMER_START) ++startTicks;
      if (msg->wParam == TIMER_CONNECT) ++connectTicks;
    }
    return CClientApp::PreTranslateMessage(msg);
  }
  int startTicks = 0;
  int connectTicks = 0;
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Lobby windows of other processes on this machine stay out of sight.
    setenv("ZQ_IPC_NAMESPACE", ("shelltest-" + std::to_string(getpid())).c_str(), 1);
    zqResetWindowSystem();
    zqSetManualClock(TRUE, kStartMs);
    zqClearRecordedMessageBoxes();
    ResetGlobals();
    scratch = std::make_unique<ScratchDir>();
    work = scratch->path() + "/client";
    std::filesystem::create_directories(work);
    ASSERT_EQ(chdir(work.c_str()), 0);
    WriteWorkingFolder();
    app = std::make_unique<CountingApp>();
  }

  void TearDown() override {
    EndClient();
    g_NetTask.Cleanup();
    zqRemovePumpHook(&ShellTest::PumpHook, this);
    zqResetWindowSystem();
    app.reset();
    server.reset();
    mode.reset();
    if (chdir(scratch->path().c_str()) != 0) ADD_FAILURE();
    scratch.reset();
    zqSetManualClock(FALSE, 0);
  }

  // The frame and the game of a run that ended without closing the window.
  static void EndClient() {
    if (g_pMainFrame && g_pSlotGame) {
      // The game goes while its engine still exists.
      g_pMainFrame->SetGame(nullptr);
      g_NetTask.SetGame(nullptr);
      delete g_pSlotGame;
      g_pSlotGame = nullptr;
    }
    if (g_pMainFrame) g_pMainFrame->DestroyWindow();
    LeakGame();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // A game whose engine is gone stays alive for the rest of the process, as in the program.
  static void LeakGame() {
    static auto* kept = new std::vector<CSlotGame*>;  // never destroyed: still reachable at exit
    if (g_pSlotGame) kept->push_back(g_pSlotGame);
    g_pSlotGame = nullptr;
    g_NetTask.SetGame(nullptr);
  }

  static void ResetGlobals() {
    LeakGame();
    g_bExiting = 0;
    g_bQuitSent = 0;
    g_bGameReady = 0;
    g_nGameType = 0;
    g_bSpinLocked = 0;
    g_hMainWnd = nullptr;
    std::fill(std::begin(g_szConnectString), std::end(g_szConnectString), 0);
  }

  void WriteFile(const std::string& relative, const std::string& bytes) {
    std::filesystem::path p = std::filesystem::path(work) / relative;
    std::filesystem::create_directories(p.parent_path());
    WriteFileBytes(p.string(), bytes);
  }

  // "text", the slot-hall list "拉霸" (GBK inside) and the one game folder of key "2".
  void WriteWorkingFolder() {
    WriteFile("text", std::string("[TEXT]\nconnect=") + kConnectText + "\noccupied=" + kOccupiedText +
                          "\nover_connect=" + kOverConnectText + "\ndisconnect=" + kDisconnectText +
                          "\ntoolong=" + kTooLongText + "\nwelcome=hello\n[FONT]\ncharset=1\nsize=12\n");
    WriteFile("拉霸",
              zqUtf8ToGbk("[GAMES]\n1=Sudrane\\配置\\游戏\n2=Otrel\\配置\\游戏\n3=Banvik\\配置\\游戏\n"
                          "4=Ferlo\\配置\\游戏\n"));
    WriteFile("Otrel/配置/游戏", zqUtf8ToGbk("[MAIN]\nGameType=0\nui_config=Otrel\\配置\\界面\n"));
    WriteFile("Otrel/配置/界面", "[SETING]\nsize=800,600\nvisible=true\nenable=true\n");
  }

  std::string MarkerPath() const { return scratch->path() + "/qrnrun.dat"; }
  void WriteMarker(const std::string& text) { WriteFileBytes(MarkerPath(), text); }
  bool MarkerExists() const { return std::filesystem::exists(MarkerPath()); }

  void OpenLobby() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = LOBBY_WINDOW_CLASS;
    RegisterClassA(&wc);
    lobby = CreateWindowExA(0, LOBBY_WINDOW_CLASS, LOBBY_WINDOW_TITLE, WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                            nullptr, nullptr, nullptr);
    ASSERT_NE(lobby, nullptr);
  }

  void StartServer(const std::string& script) {
    std::vector<SScriptStep> steps;
    std::string error;
    ASSERT_TRUE(CServerScript::Parse(script, &steps, &error)) << error;
    mode = std::make_unique<CScriptMode>(std::move(steps));
    server = std::make_unique<CSlotServer>(*mode);
    ASSERT_TRUE(server->Listen(0, &error)) << error;
  }

  static std::string ConnectString(uint16_t port) { return "127.0.0.1 " + std::to_string(port) + " 1 3 183"; }

  // Lobby, marker for the server and the run.
  int StartAgainstServer(const std::string& script) {
    OpenLobby();
    StartServer(script);
    WriteMarker(ConnectString(server->Port()) + "\n");
    return RunClient();
  }

  // The program's entry to its end; the server is stepped and `observe` runs on every pump turn.
  int RunClient() {
    zqAddPumpHook(&ShellTest::PumpHook, this);
    int code = AfxWinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
    zqRemovePumpHook(&ShellTest::PumpHook, this);
    // What the client wrote last (the quit request) reaches the server.
    for (int i = 0; server && i < 20 && server->Step(i == 0 ? 0 : 50);) ++i;
    EXPECT_FALSE(timedOut) << "the client did not end";
    return code;
  }

  static void PumpHook(void* ctx) {
    auto* self = static_cast<ShellTest*>(ctx);
    if (self->inHook) return;
    self->inHook = true;
    if (self->server)
      for (int i = 0; i < 8 && self->server->Step(0); ++i) {
      }
    if (!self->realGame) self->SwapInTestGame();
    if (self->observe) self->observe();
    if (timeGetTime() - kStartMs > kRunLimitMs && !self->timedOut) {
      self->timedOut = true;
      PostQuitMessage(99);
    }
    self->inHook = false;
  }

  // The frame's game is replaced by the recording one before anything uses it.
  void SwapInTestGame() {
    if (!g_pMainFrame || !g_pSlotGame || dynamic_cast<TestGame*>(g_pSlotGame)) return;
    delete g_pSlotGame;
    game = new TestGame(g_pMainFrame);
    g_pSlotGame = game;
    g_NetTask.SetGame(game);
  }

  // Manual milliseconds since the start.
  static DWORD Elapsed() { return timeGetTime() - kStartMs; }
  // Ticks of the connection timer handled so far.
  int ConnectTick() const { return app ? app->connectTicks : 0; }

  std::vector<ZqMessageBoxRecord> Boxes() const { return zqRecordedMessageBoxes(); }
  int Count(const std::string& request) const {
    int n = 0;
    if (server)
      for (const std::string& r : server->Requests()) n += r == request;
    return n;
  }

  std::unique_ptr<ScratchDir> scratch;
  std::string work;
  std::unique_ptr<CountingApp> app;
  std::unique_ptr<CScriptMode> mode;
  std::unique_ptr<CSlotServer> server;
  std::function<void()> observe;
  HWND lobby = nullptr;
  bool timedOut = false;
  bool inHook = false;
  // false: the frame's game is replaced by a TestGame at the first pump turn.
  bool realGame = false;
  TestGame* game = nullptr;
};

// The login and entry of slot id 3 for user 183: the game key "2", bet unit 10, and 1000 credits
// once the game is loaded. One reply per request: a second reply right behind the first would
// wait for the client's delayed acknowledgement, which comes in real time, not manual time.
constexpr const char* kJoinScript =
    "expect 1500 cs 0086 1 3 183\nreply 1501 1\nexpect 1510 3\nreply 1511 1 x 2 0 10 0 7 0 9 0 0\n"
    "expect 1510 3\nreply 1521 1 0 1000\n";

}  // namespace shelltest
