// A started client: the fatal conditions of the session, the close gate, muting and the window's
// size limits.
#include "shell_harness.h"

namespace shelltest {
namespace {

class SessionTest : public ShellTest {};

TEST_F(SessionTest, FatalConditionsShowTheirBoxAndEndTheClient) {
  struct Case {
    const char* name;
    std::string script;
    const char* text;
  };
  const std::string join = kJoinScript;
  const Case cases[] = {
      {"occupied", "expect 1500 *\nreply 1501 0\nsilent\n", kOccupiedText},
      {"entry refused", "expect 1500 *\nreply 1501 1\nexpect 1510 3\nreply 1511 0\nsilent\n",
       kOverConnectText},
      // No message for 30 s after the keep-alive that followed 30 s of silence.
      {"disconnect", join + "silent\n", kDisconnectText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    // Silence is waited out in big steps once the game is up.
    observe = [&] {
      if (g_bGameReady) zqAdvanceClock(2000);
    };
    EXPECT_EQ(StartAgainstServer(c.script), 0);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.text);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_TRUE(boxes[0].flags & MB_ICONERROR);
    EXPECT_NE(boxes[0].owner, nullptr);
    EXPECT_EQ(Count("1599 quit"), 0) << "the server never hears a goodbye it could answer";
    if (std::string(c.name) == "disconnect") {
      EXPECT_EQ(Count("503 hello"), 1);
    }
  }
}

// Starts, joins and loads the game; then `act` runs once on the pump turn after the game is ready.
class GateTest : public SessionTest {
 protected:
  int RunWith(std::function<void(int turn)> act) {
    int turn = -1;
    observe = [this, act, turn]() mutable {
      if (!g_bGameReady || !g_pMainFrame) return;
      act(++turn);
    };
    return StartAgainstServer(std::string(kJoinScript) + "silent\n");
  }
};

TEST_F(GateTest, ACloseDuringARoundIsSwallowedAndTheOneAfterItSendsOneQuit) {
  HWND frame = nullptr;
  size_t requestsDuringRound = 0;
  const int exitCode = RunWith([&](int turn) {
    CSlotGame* game = g_pSlotGame;
    switch (turn) {
      case 0:
        frame = g_hMainWnd;
        game->m_nTurntableState = 1;
        // The close box, a close command and a plain close: all three while the wheel turns.
        zqInjectClose(frame);
        PostMessageA(frame, WM_COMMAND, 0xF060, 0);
        PostMessageA(frame, WM_CLOSE, 0, 0);
        break;
      case 40:
        EXPECT_TRUE(IsWindow(frame));
        EXPECT_EQ(g_bExiting, 0);
        requestsDuringRound = server->Requests().size();
        game->m_nTurntableState = 0;
        zqInjectClose(frame);
        PostMessageA(frame, WM_CLOSE, 0, 0);
        break;
    }
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_EQ(g_pMainFrame, nullptr);
  EXPECT_EQ(Count("1599 quit"), 1);
  EXPECT_EQ(server->Requests().back(), "1599 quit");
  EXPECT_EQ(requestsDuringRound + 1, server->Requests().size());
  EXPECT_EQ(g_bQuitSent, 1);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(GateTest, AutoPlayAndAPendingAutoStopKeepTheWindowOpenUntilAGameExitBegins) {
  HWND frame = nullptr;
  RunWith([&](int turn) {
    CSlotGame* game = g_pSlotGame;
    switch (turn) {
      case 0:
        frame = g_hMainWnd;
        game->m_nAutoPlay = 3;
        game->StartAutoPlay();
        PostMessageA(frame, WM_CLOSE, 0, 0);
        break;
      case 10:
        EXPECT_TRUE(IsWindow(frame));
        game->StopAutoPlay();
        game->m_bAutoStopRequested = 1;
        PostMessageA(frame, WM_CLOSE, 0, 0);
        break;
      case 20:
        EXPECT_TRUE(IsWindow(frame));
        EXPECT_EQ(Count("1599 quit"), 0);
        // The game's own exit has begun: every close goes through, whatever the round.
        g_bExiting = 1;
        PostMessageA(frame, WM_CLOSE, 0, 0);
        break;
    }
  });
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_EQ(Count("1599 quit"), 1);
}

TEST_F(GateTest, DeactivatingAndMinimisingMuteSoundAndMediaAndComingBackRestoresThem) {
  std::vector<std::pair<std::string, long>> seen;
  RunWith([&](int turn) {
    CMainFrame* f = g_pMainFrame;
    auto record = [&](const char* what) {
      EXPECT_EQ(f->GetSoundVolume(), f->GetMediaVolume()) << what;
      seen.emplace_back(what, f->GetSoundVolume());
    };
    switch (turn) {
      case 0:
        record("started");
        zqInjectActivation(FALSE);
        record("deactivated");
        EXPECT_TRUE(f->IsWindowVisible());
        zqInjectActivation(TRUE);
        record("activated");
        zqInjectMinimize(g_hMainWnd, TRUE);
        record("minimised");
        zqInjectMinimize(g_hMainWnd, FALSE);
        record("restored");
        // Sound and game go on while minimised or inactive.
        zqInjectMinimize(g_hMainWnd, TRUE);
        break;
      case 20:
        EXPECT_TRUE(g_pMainFrame->IsIconic());
        zqInjectMinimize(g_hMainWnd, FALSE);
        zqInjectClose(g_hMainWnd);
        break;
    }
  });
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, long>>{{"started", 0},
                                                             {"deactivated", -10000},
                                                             {"activated", 0},
                                                             {"minimised", -10000},
                                                             {"restored", 0}}));
}

TEST_F(GateTest, TheWindowKeepsItsSizeLimitsAndIsCentredWhenMaximised) {
  RunWith([&](int turn) {
    if (turn != 0) return;
    HWND w = g_hMainWnd;
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 728);
    EXPECT_EQ(r.bottom - r.top, 567);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.left, (screenW - 728) / 2);
    EXPECT_EQ(r.top, (screenH - 567) / 2);

    struct Case {
      POINT minIn, maxIn, minOut, maxOut;
    };
    // The engine puts its own limits in first; the frame narrows them.
    for (const Case& c : {Case{{100, 100}, {2000, 2000}, {648, 507}, {808, 627}}}) {
      MINMAXINFO info{};
      info.ptMinTrackSize = c.minIn;
      info.ptMaxTrackSize = c.maxIn;
      SendMessageA(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
      EXPECT_EQ(info.ptMinTrackSize.x, c.minOut.x);
      EXPECT_EQ(info.ptMinTrackSize.y, c.minOut.y);
      EXPECT_EQ(info.ptMaxTrackSize.x, c.maxOut.x);
      EXPECT_EQ(info.ptMaxTrackSize.y, c.maxOut.y);
    }

    ShowWindow(w, SW_MAXIMIZE);
    GetWindowRect(w, &r);
    EXPECT_LE(r.right - r.left, 808);
    EXPECT_LE(r.bottom - r.top, 627);
    EXPECT_EQ(r.left, (screenW - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (screenH - (r.bottom - r.top)) / 2);
    // The view fills the frame's client area.
    RECT client, view;
    GetClientRect(w, &client);
    GetWindowRect(g_pMainFrame->GetView().m_hWnd, &view);
    EXPECT_EQ(view.right - view.left, client.right);
    EXPECT_EQ(view.bottom - view.top, client.bottom);
    char title[64] = "";
    GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ(title, "Ombrel\xA9\xD4\xC5\x51\xC0\x5D(V1006)");
    zqInjectClose(w);
  });
}

}  // namespace
}  // namespace shelltest

namespace shelltest {
namespace {

TEST_F(GateTest, KeysActOnlyOnceTheGameIsReadyAndStampThePlayTimeAsTheTableSays) {
  bool checkedBeforeReady = false;
  observe = [&] {
    if (!checkedBeforeReady && g_pMainFrame && game && !g_bGameReady) {
      checkedBeforeReady = true;
      game->m_bSpinHover = 1;
      SendMessageA(g_pMainFrame->GetView().m_hWnd, WM_KEYDOWN, VK_SPACE, 1);
      EXPECT_EQ(game->m_bSpinHover, 1);
      EXPECT_EQ(game->m_dwLastPlayTime, 0u);
    }
    if (!g_bGameReady || !g_pMainFrame) return;
    struct Case {
      UINT vk;
      int state;
      int locked;
      bool stamps;
    };
    const Case cases[] = {
        {VK_TAB, 0, 0, true}, {VK_TAB, 1, 0, false}, {VK_RETURN, 1, 0, true}, {VK_SPACE, 0, 1, true},
        {'F', 0, 0, true},    {VK_ADD, 0, 0, false}, {'Q', 0, 0, false},      {VK_SUBTRACT, 1, 0, false},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.vk);
      game->m_nTurntableState = c.state;
      g_bSpinLocked = c.locked;
      game->m_bSpinHover = 1;
      game->m_dwLastPlayTime = 1;
      SendMessageA(g_pMainFrame->GetView().m_hWnd, WM_KEYDOWN, c.vk, 1);
      EXPECT_EQ(game->m_bSpinHover, 0);
      EXPECT_EQ(game->m_dwLastPlayTime, c.stamps ? timeGetTime() : 1u);
    }
    game->m_nTurntableState = 0;
    g_bSpinLocked = 0;
    observe = nullptr;
    zqInjectClose(g_hMainWnd);
  };
  EXPECT_EQ(StartAgainstServer(std::string(kJoinScript) + "silent\n"), 0);
  EXPECT_TRUE(checkedBeforeReady);
  // A locked spin and a spin outside the idle state ask the server for nothing.
  EXPECT_EQ(Count("1599 quit"), 1);
  for (const std::string& r : server->Requests()) EXPECT_NE(r.rfind("1530", 0), 0u) << r;
}

}  // namespace
}  // namespace shelltest
