// The client's start: the lobby hand-off, the status text while connecting, the attempts of the
// connection timer, login and entry, and the game folder found in the slot-hall list.
#include <sys/socket.h>

#include <algorithm>

#include "shell_harness.h"

namespace shelltest {
namespace {

class StartupTest : public ShellTest {};

TEST_F(StartupTest, WithoutTheLobbyOrItsMarkerTheClientShowsTheBoxAndOpensNoWindow) {
  struct Case {
    bool lobby;
    bool marker;
  };
  for (Case c : {Case{false, true}, Case{true, false}}) {
    SCOPED_TRACE(c.lobby ? "no marker" : "no lobby");
    zqClearRecordedMessageBoxes();
    if (c.lobby) OpenLobby();
    if (c.marker) WriteMarker(ConnectString(4000));
    EXPECT_EQ(RunClient(), 0);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please enter in lobby!");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(boxes[0].flags & MB_ICONERROR);
    EXPECT_EQ(g_pMainFrame, nullptr);
    EXPECT_EQ(FindWindowA(nullptr, nullptr), lobby);
    // The marker of a start without the lobby is left for the lobby.
    EXPECT_EQ(MarkerExists(), c.marker);
    std::filesystem::remove(MarkerPath());
  }
}

TEST_F(StartupTest, TheMarkerIsReadUpTo255BytesAndDeletedSoASecondStartFindsNone) {
  OpenLobby();
  // A connect string to a closed port, padded far beyond what is read.
  const std::string text = ConnectString(1) + std::string(400, ' ') + "tail";
  WriteMarker(text);
  observe = [] {
    if (g_pMainFrame && g_pMainFrame->IsWindowVisible()) PostQuitMessage(0);
  };
  EXPECT_EQ(RunClient(), 0);
  EXPECT_EQ(std::string(g_szConnectString), text.substr(0, 255));
  EXPECT_FALSE(MarkerExists());
  EXPECT_TRUE(Boxes().empty());

  // The second start fails before making another frame.
  EndClient();
  observe = nullptr;
  app.reset();
  app = std::make_unique<CountingApp>();
  EXPECT_EQ(RunClient(), 0);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Please enter in lobby!");
}

TEST_F(StartupTest, ABadConnectStringEndsTheClientAtTheSecondStartTick) {
  OpenLobby();
  WriteMarker("127.0.0.1 80x 1 3 183");
  int boxOnStartTick = 0;
  observe = [&] {
    if (!boxOnStartTick && !Boxes().empty()) boxOnStartTick = app->startTicks;
  };
  EXPECT_EQ(RunClient(), 0);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Please enter in lobby!");
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ(boxOnStartTick, 2);
  EXPECT_EQ(app->connectTicks, 0);
}

// The columns of the back buffer's row band at the status text that hold white text.
struct Ink {
  int first = -1;
  int last = -1;
  int outside = 0;  // lit pixels away from the text
};

Ink ReadStatusInk() {
  Ink ink;
  CZqSurface* back = g_pMainFrame ? g_pMainFrame->GetBackSurface() : nullptr;
  if (!back) return ink;
  for (int y = 0; y < 600; y += (y >= 270 && y < 320) ? 1 : 7) {
    for (int x = 0; x < 800; ++x) {
      BYTE r = 0, g = 0, b = 0;
      back->GetPixelInfo(x, y, nullptr, &r, &g, &b);
      const bool band = y >= CMainFrame::kStatusY && y < CMainFrame::kStatusY + 30;
      if (band && x >= CMainFrame::kStatusX && r > 100 && g > 100 && b > 100) {
        ink.first = ink.first < 0 ? x : std::min(ink.first, x);
        ink.last = std::max(ink.last, x);
      } else if (!band && (r > 8 || g > 8 || b > 8)) {
        ++ink.outside;
      } else if (band && x < CMainFrame::kStatusX && (r > 8 || g > 8 || b > 8)) {
        ++ink.outside;
      }
    }
  }
  return ink;
}

TEST_F(StartupTest, TheStatusTextWithItsDotsIsDrawnAt350By280OnBlack) {
  OpenLobby();
  WriteMarker(ConnectString(1));
  std::vector<Ink> inks(8);
  int lastTick = 0, turns = 0;
  observe = [&] {
    const int tick = ConnectTick();
    if (tick != lastTick) {
      lastTick = tick;
      turns = 0;
    }
    // A few idle passes after the tick: its text has been drawn.
    if (++turns == 5 && tick >= 1 && tick <= 7) inks[tick] = ReadStatusInk();
    if (tick == 7 && turns == 6) PostQuitMessage(0);
  };
  EXPECT_EQ(RunClient(), 0);
  for (int tick = 1; tick <= 7; ++tick) {
    SCOPED_TRACE(tick);
    EXPECT_GE(inks[tick].first, CMainFrame::kStatusX);
    EXPECT_LT(inks[tick].first, CMainFrame::kStatusX + 6);
    EXPECT_EQ(inks[tick].outside, 0);
  }
  // One dot more on every tick, back to one with the next attempt.
  for (int tick = 2; tick <= 6; ++tick) EXPECT_GT(inks[tick].last, inks[tick - 1].last + 2) << tick;
  EXPECT_EQ(inks[7].last, inks[1].last);
}

// A port that refuses until the test starts listening on it.
class LatePort {
 public:
  LatePort() {
    fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
  }
  ~LatePort() { ::close(fd); }
  void Listen() { ::listen(fd, 4); }
  bool Pending() const {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
  }
  int fd;
  uint16_t port;
};

TEST_F(StartupTest, AttemptsComeOnTicks1To25EverySixAndOverConnectOnTick31) {
  struct Case {
    int listenBeforeTick;
    int connectTick;  // 0: no attempt reaches the port
  };
  for (Case c : {Case{1, 1}, Case{2, 7}, Case{8, 13}, Case{14, 19}, Case{20, 25}, Case{26, 0}}) {
    SCOPED_TRACE(c.listenBeforeTick);
    TearDown();
    SetUp();
    OpenLobby();
    LatePort port;
    WriteMarker(ConnectString(port.port));
    bool listening = false;
    int connectedOn = 0, boxOn = 0;
    observe = [&] {
      if (!listening && ConnectTick() == c.listenBeforeTick - 1) {
        port.Listen();
        listening = true;
      }
      if (listening && !connectedOn && port.Pending()) {
        connectedOn = ConnectTick();
        PostQuitMessage(0);
      }
      if (!boxOn && !Boxes().empty()) boxOn = ConnectTick();
    };
    EXPECT_EQ(RunClient(), 0);
    EXPECT_EQ(connectedOn, c.connectTick);
    if (c.connectTick == 0) {
      EXPECT_EQ(boxOn, 31);
      auto boxes = Boxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, kOverConnectText);
      EXPECT_EQ(boxes[0].caption, "Error");
      EXPECT_EQ(boxes[0].owner, g_hMainWnd);
      EXPECT_NE(boxes[0].owner, nullptr);
    } else {
      EXPECT_TRUE(Boxes().empty());
    }
  }
}

TEST_F(StartupTest, LoginEntryAndTheGameFolderOfTheEnteredKey) {
  bool sawReady = false;
  int joinTick = 0, readyTick = 0;
  observe = [&] {
    if (g_NetTask.IsJoined() && !joinTick && g_pMainFrame) joinTick = 30 - g_pMainFrame->GetCountdown();
    if (g_bGameReady && !sawReady) {
      sawReady = true;
      readyTick = ConnectTick();
      zqInjectClose(g_hMainWnd);
    }
  };
  EXPECT_EQ(StartAgainstServer(std::string(kJoinScript) + "silent\n"), 0);
  EXPECT_FALSE(MarkerExists());
  EXPECT_TRUE(sawReady);
  // The game is loaded on the tick after the entry was accepted.
  EXPECT_GE(joinTick, 1);
  EXPECT_EQ(readyTick, joinTick + 1);
  EXPECT_EQ(g_NetTask.GetGameKey(), "2");
  ASSERT_NE(game, nullptr);
  EXPECT_EQ(game->folders, (std::vector<std::string>{ZQ_GBK("Otrel\\配置\\游戏")}));
  EXPECT_EQ(server->Requests(),
            (std::vector<std::string>{"1500 cs 0086 1 3 183", "1510 3", "1510 3", "1599 quit"}));
  EXPECT_TRUE(mode->Failures().empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(StartupTest, AnEnteredKeyWithoutAGameFolderEndsTheClient) {
  WriteFile("拉霸", zqUtf8ToGbk("[GAMES]\n1=Sudrane\\配置\\游戏\n"));
  EXPECT_EQ(StartAgainstServer(std::string(kJoinScript) + "silent\n"), 0);
  EXPECT_EQ(g_bGameReady, 0);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace shelltest

namespace shelltest {
namespace {

// With the game's own loader: the second entry request comes from the loaded game, and a lost
// connection ends the session with the "toolong" box.
TEST_F(StartupTest, TheLoadedGameEntersAgainAndALostConnectionEndsWithTooLong) {
  realGame = true;
  bool ready = false;
  observe = [&] { ready = ready || g_bGameReady; };
  EXPECT_EQ(StartAgainstServer(std::string(kJoinScript) + "close\n"), 0);
  EXPECT_TRUE(ready);
  EXPECT_TRUE(mode->Failures().empty());
  ASSERT_GE(server->Requests().size(), 3u);
  EXPECT_EQ(server->Requests()[2], "1510 3");
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kTooLongText);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_FALSE(g_pMainFrame && g_pMainFrame->IsWindowVisible() && !g_bExiting);
}

}  // namespace
}  // namespace shelltest

namespace shelltest {
namespace {

TEST_F(StartupTest, WithoutUsableHardwareTheBoxComesAndTheStartGoesOnUntilTheEngineFails) {
  ZqDisplayDriver driver;
  zqDisplayDefaultDriver(&driver);
  driver.failDirectDraw = TRUE;
  zqDisplaySetDrivers(&driver, 1);
  OpenLobby();
  WriteMarker(ConnectString(1));
  const int code = RunClient();
  zqDisplaySetDrivers(nullptr, -1);
  EXPECT_EQ(code, 0);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "hardware no support");
  EXPECT_EQ(boxes[0].caption, "sorry,your hardware no support");
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_TRUE(boxes[0].flags & MB_ICONERROR);
  // The engine could not start: the frame is gone with its window.
  EXPECT_EQ(g_pMainFrame, nullptr);
  EXPECT_FALSE(MarkerExists());
}

}  // namespace
}  // namespace shelltest
