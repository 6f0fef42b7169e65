// The network task against the scripted server on loopback, on the manual clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "ScriptMode.h"
#include "SlotServer.h"
#include "net/ClientGlobals.h"
#include "net/NetGame.h"
#include "net/NetPacket.h"
#include "net/NetTask.h"
#include "net_test_util.h"

namespace {

// Records every call the task makes on the game.
class TestGame : public CNetGame {
 public:
  int kind = 0;
  int betUnit = 10;
  int tooLong = 0;
  std::vector<std::string> calls;

  void OnBonusResult(char** f) override { Record("bonus", f); }
  void OnRoundResult(char** f) override { Record("round", f); }
  void OnMoneyNotify(char** f) override { Record("money", f); }
  void OnEnterReply(char** f) override { Record("enter", f); }
  void OnWeekNotify(char** f) override { Record("week", f); }
  void OnBetReply(int amount) override { calls.push_back("bet " + std::to_string(amount)); }
  int OnCardBetReply(int amount) override {
    calls.push_back("cardbet " + std::to_string(amount));
    return 1;
  }
  void OnCardResult(char** f) override { Record("card", f); }
  void OnMahjongBetReply(int amount) override { calls.push_back("mahjongbet " + std::to_string(amount)); }
  void OnMahjongResult(char** f) override { Record("mahjong", f); }
  void OnBetRefused() override { calls.push_back("refused"); }
  void ShowTooLongAndQuit() override { ++tooLong; }
  int GetGameType() const override { return kind; }
  int GetBetUnit() const override { return betUnit; }

 private:
  // The name and the first three fields, "|"-joined ("" for a field the reply lacks).
  void Record(const char* name, char** f) {
    calls.push_back(std::string(name) + "|" + f[0] + "|" + f[1] + "|" + f[2]);
  }
};

std::string HexOf(const std::vector<uint8_t>& bytes) {
  std::string s;
  char b[3];
  for (uint8_t v : bytes) {
    std::snprintf(b, sizeof(b), "%02x", v);
    s += b;
  }
  return s;
}

std::vector<uint8_t> Frame(const std::string& text) {
  CNetPacket p(text.c_str(), static_cast<int>(text.size()) + 1);
  p.Scramble();
  return std::vector<uint8_t>(p.GetFrame(), p.GetFrame() + p.GetFrameLength());
}

bool WaitReadable(SOCKET s, int ms) {
  if (s == INVALID_SOCKET) return false;
  pollfd p{static_cast<int>(s), POLLIN, 0};
  return ::poll(&p, 1, ms) > 0;
}

const char* kLogin = "expect 1500 cs 0086 1 3 183\nreply 1501 1\nexpect 1510 3\nreply 1511 1 x 2 y 50\n";

class NetTaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zqSetManualClock(TRUE, 5000000);
    zqClearRecordedMessageBoxes();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    dir = std::filesystem::temp_directory_path() / ("net-task-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "text.ini") << "[TEXT]\noccupied=seat taken\nover_connect=no entry\n"
                                       "disconnect=line lost\n";
    g_TextConfig.SetINIFile((dir / "text.ini").c_str());
    task = std::make_unique<CNetTask>();
    task->SetGame(&game);
  }
  void TearDown() override {
    task.reset();
    std::filesystem::remove_all(dir);
    zqSetManualClock(FALSE, 0);
  }

  // Starts the server with a script and connects the task to it (login queued).
  void Connect(const std::string& script) {
    std::vector<SScriptStep> steps;
    std::string error;
    ASSERT_TRUE(CServerScript::Parse(script, &steps, &error)) << error;
    mode = std::make_unique<CScriptMode>(std::move(steps));
    server = std::make_unique<CSlotServer>(*mode);
    ASSERT_TRUE(server->Listen(0, &error)) << error;
    ASSERT_EQ(task->InitTask(), 1);
    ASSERT_EQ(task->ParseConnectString(("127.0.0.1 " + std::to_string(server->Port()) + " 1 3 183").c_str()),
              1);
    ASSERT_EQ(task->ConnectAndLogin(), 1);
    server->Step(2000);  // accept
  }

  // One loop pass; the server answers whatever the pass sent before the next one.
  void Pass() {
    task->OnLoop(0);
    while (server && server->Step(0)) {
    }
  }
  // Passes until the server has seen n requests and the replies have arrived.
  void Exchange(size_t n) {
    for (int i = 0; i < 20 && server->Requests().size() < n; ++i) {
      task->OnLoop(0);
      server->Step(i == 0 ? 0 : 200);
    }
    WaitReadable(task->GetSocket(), 200);
  }
  void Join() {
    Connect(kLogin + std::string(rest));
    Exchange(1);  // 1500 out, 1501 back
    Pass();       // 1501 dispatched: 1510 queued
    Exchange(2);  // 1510 out, 1511 back
    Pass();       // 1511 dispatched
    ASSERT_EQ(task->IsJoined(), 1);
  }
  // The server sends, the task receives on its next pass.
  void ServerSends(const std::string& text) {
    server->SendText(text);
    WaitReadable(task->GetSocket(), 1000);
  }
  int QuitsPosted() {
    int n = 0;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
      if (m.message == WM_QUIT) ++n;
    return n;
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> out;
    for (const ZqMessageBoxRecord& r : zqRecordedMessageBoxes()) {
      EXPECT_EQ(r.caption, "Error");
      EXPECT_TRUE(r.flags & MB_ICONERROR);
      out.push_back(r.text);
    }
    return out;
  }

  std::filesystem::path dir;
  TestGame game;
  std::unique_ptr<CNetTask> task;
  std::unique_ptr<CScriptMode> mode;
  std::unique_ptr<CSlotServer> server;
  const char* rest = "silent\n";
};

}  // namespace

TEST_F(NetTaskTest, LoginAndEnter) {
  Join();
  EXPECT_EQ(server->Requests(), (std::vector<std::string>{"1500 cs 0086 1 3 183", "1510 3"}));
  EXPECT_EQ(task->GetGameKey(), "2");
  EXPECT_EQ(task->IsWaitingForEntry(), 0);
  EXPECT_EQ(game.calls, (std::vector<std::string>{"enter|1|x|2"}));
  EXPECT_TRUE(mode->Failures().empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(NetTaskTest, RefusedLoginShowsOccupiedAndQuitsWithoutQuitRequest) {
  Connect("expect 1500*\nreply 1501 0\nsilent\n");
  Exchange(1);
  Pass();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"seat taken"}));
  EXPECT_EQ(QuitsPosted(), 1);
  EXPECT_EQ(task->IsJoined(), 0);
  EXPECT_EQ(task->SendQuit(), 0);
  for (int i = 0; i < 20 && server->HasClient(); ++i) server->Step(200);
  EXPECT_FALSE(server->HasClient());
  EXPECT_EQ(server->Requests(), (std::vector<std::string>{"1500 cs 0086 1 3 183"}));
}

TEST_F(NetTaskTest, RefusedEntryShowsOverConnect) {
  Connect("expect 1500*\nreply 1501 1\nexpect 1510 3\nreply 1511 0\nsilent\n");
  Exchange(1);
  Pass();
  Exchange(2);
  Pass();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"no entry"}));
  EXPECT_EQ(QuitsPosted(), 1);
  EXPECT_EQ(task->IsJoined(), 0);
  EXPECT_TRUE(game.calls.empty());
}

TEST_F(NetTaskTest, KeepAliveOnceThenDisconnect) {
  rest = "expect 503 hello\nsilent\n";
  Join();
  zqAdvanceClock(30000);
  Pass();
  Pass();
  EXPECT_EQ(server->Requests().size(), 2u);  // exactly 30 s is not yet silence
  zqAdvanceClock(1);
  Pass();
  Exchange(3);
  for (int i = 0; i < 5; ++i) Pass();
  EXPECT_EQ(server->Requests().back(), "503 hello");
  EXPECT_EQ(server->Requests().size(), 3u);
  EXPECT_TRUE(Boxes().empty());
  zqAdvanceClock(30000);
  Pass();
  EXPECT_TRUE(Boxes().empty());
  zqAdvanceClock(1);
  Pass();
  Pass();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"line lost"}));
  EXPECT_EQ(QuitsPosted(), 1);
  EXPECT_EQ(server->Requests().size(), 3u);
}

TEST_F(NetTaskTest, ReplyAfterKeepAliveArmsTheNextOne) {
  rest = "expect 503 hello\nreply 1570 7\nexpect 503 hello\nsilent\n";
  Join();
  zqAdvanceClock(30001);
  Pass();
  Exchange(3);
  zqAdvanceClock(10000);
  Pass();  // 1570 dispatched 10 s after the keep-alive
  EXPECT_EQ(game.calls.back(), "week|7||");
  zqAdvanceClock(30000);
  Pass();
  EXPECT_EQ(server->Requests().size(), 3u);
  EXPECT_TRUE(Boxes().empty());
  zqAdvanceClock(1);
  Pass();
  Exchange(4);
  EXPECT_EQ(server->Requests().size(), 4u);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(mode->Failures().empty());
}

TEST_F(NetTaskTest, NoKeepAliveOrSilenceBeforeEntry) {
  Connect("expect 1500*\nreply 1501 1\nexpect 1510 3\nsilent\n");
  Exchange(1);
  Pass();
  Exchange(2);
  for (int i = 0; i < 4; ++i) {
    zqAdvanceClock(40000);
    Pass();
  }
  EXPECT_EQ(server->Requests().size(), 2u);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(QuitsPosted(), 0);
}

TEST_F(NetTaskTest, TwoRepliesInOneSegmentTakeTwoPasses) {
  Join();
  server->SendRaw(nettest::Cat(Frame("1521 a b 900"), Frame("1541 40 1abc")));
  WaitReadable(task->GetSocket(), 1000);
  game.calls.clear();
  Pass();
  EXPECT_EQ(game.calls, (std::vector<std::string>{"money|a|b|900"}));
  Pass();
  EXPECT_EQ(game.calls, (std::vector<std::string>{"money|a|b|900", "round|40|1abc|"}));
}

TEST_F(NetTaskTest, NonNumericCodeSkipsThePassChecks) {
  rest = "expect 503 hello\nsilent\n";
  Join();
  zqAdvanceClock(30001);
  ServerSends("15x1 1");
  Pass();  // the bad reply is taken: no keep-alive on this pass, and it does not count
  EXPECT_EQ(server->Requests().size(), 2u);
  zqAdvanceClock(30001);
  Pass();
  Exchange(3);
  EXPECT_EQ(server->Requests().back(), "503 hello");
}

TEST_F(NetTaskTest, RepliesReachTheHandlersByKind) {
  Join();
  struct Case {
    int kind;
    const char* reply;
    const char* call;  // nullptr: no call
  } cases[] = {
      {0, "1531 x 1 50", "bet 50"},
      {1, "1531 x 1 50", "cardbet 50"},
      {2, "1531 x 1 50", "mahjongbet 50"},
      {2, "1531 x 0 50", "refused"},
      {0, "1531", "refused"},
      {0, "1543 a b c", nullptr},
      {1, "1543 a b c", "card|a|b|c"},
      {2, "1543 a b c", "mahjong|a|b|c"},
      {0, "1551 300 c", "bonus|300|c|"},
      {0, "1570", "week|||"},
      {0, "1999 x", nullptr},
      {0, "  1521   a  b ", "money|a|b|"},
  };
  for (const Case& c : cases) {
    game.kind = c.kind;
    game.calls.clear();
    ServerSends(c.reply);
    Pass();
    if (c.call) {
      EXPECT_EQ(game.calls, std::vector<std::string>{c.call}) << c.reply;
    } else {
      EXPECT_TRUE(game.calls.empty()) << c.reply;
    }
  }
}

TEST_F(NetTaskTest, HostileRepliesStayInBounds) {
  Join();
  // More than 256 fields: the first 256 are kept.
  std::string many = "1541";
  for (int i = 1; i <= 300; ++i) many += " " + std::to_string(i);
  game.calls.clear();
  ServerSends(many);
  Pass();
  EXPECT_EQ(game.calls, std::vector<std::string>{"round|1|2|3"});
  // A payload without its terminating zero, padded with non-zero bytes behind it.
  std::vector<uint8_t> f(17);
  f[0] = '-';
  CNetPacket::WriteWord(&f[1], 12);
  CNetPacket::WriteWord(&f[5], CNetPacket::ScrambleWord(6));
  CNetPacket::WriteWord(
      &f[9], CNetPacket::ScrambleWord(CNetPacket::ReadWord(reinterpret_cast<const uint8_t*>("1570"))));
  CNetPacket::WriteWord(
      &f[13], CNetPacket::ScrambleWord(CNetPacket::ReadWord(reinterpret_cast<const uint8_t*>(" 9XY"))));
  game.calls.clear();
  server->SendRaw(f);
  WaitReadable(task->GetSocket(), 1000);
  Pass();
  EXPECT_EQ(game.calls, std::vector<std::string>{"week|9||"});
  // An accepted entry reply without its key field leaves the key empty.
  ServerSends("1511 1");
  Pass();
  EXPECT_EQ(task->GetGameKey(), "");
}

TEST_F(NetTaskTest, RequestsOnTheWire) {
  rest =
      "expect 1530 1 30 1 3 183\nexpect 1540 luck\nexpect 1542 0\nexpect 1542 1 1 0 1 0 0 \n"
      "expect 1550 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\nexpect 1510 3\nsilent\n";
  Join();
  EXPECT_EQ(task->SendBet(3), 1);
  EXPECT_EQ(task->SendLuck(), 1);
  EXPECT_EQ(task->SendDeal(), 1);
  EXPECT_EQ(task->SendDraw("1 0 1 0 0 "), 1);
  const int values[15] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  EXPECT_EQ(task->SendBonus(values), 1);
  EXPECT_EQ(task->SendEnterGame(), 1);
  // A request too long for a frame is not sent.
  std::string holds(3000, '1');
  EXPECT_EQ(task->SendDraw(holds.c_str()), 0);
  Exchange(8);
  EXPECT_EQ(server->Requests().size(), 8u);
  EXPECT_TRUE(mode->Failures().empty()) << mode->Failures()[0];
}

TEST_F(NetTaskTest, RequestsNeedTheirState) {
  const int values[15] = {};
  EXPECT_EQ(task->InitTask(), 1);
  EXPECT_EQ(task->SendEnter(), 0);
  EXPECT_EQ(task->SendHello(), 0);
  EXPECT_EQ(task->SendEnterGame(), 0);
  EXPECT_EQ(task->SendBet(1), 0);
  EXPECT_EQ(task->SendLuck(), 0);
  EXPECT_EQ(task->SendDeal(), 0);
  EXPECT_EQ(task->SendDraw("0 0 0 0 0 "), 0);
  EXPECT_EQ(task->SendBonus(values), 0);
  EXPECT_EQ(task->GetChannel().SendQueueSize(), 0u);
}

TEST_F(NetTaskTest, LoginFrameIsTheHandWorkedBytes) {
  nettest::RawListener listener;
  ASSERT_EQ(task->InitTask(), 1);
  ASSERT_EQ(task->ParseConnectString(("127.0.0.1 " + std::to_string(listener.port()) + " 1 3 183").c_str()),
            1);
  ASSERT_EQ(task->ConnectAndLogin(), 1);
  nettest::RawSocket peer(listener.Accept());
  task->OnLoop(0);
  // "1500 cs 0086 1 3 183" + zero: payload 21, padded 24, length word 28, frame 33 bytes.
  EXPECT_EQ(HexOf(peer.Read(33)),
            "2d"
            "1c000000"
            "8771cad2"
            "8b38c7de"
            "cfbc12ce"
            "ca78c65c"
            "cb3cc61a"
            "cb3cc61c"
            "c774cad2");
  // A second connect on the connected socket fails and queues nothing.
  EXPECT_EQ(task->ConnectAndLogin(), 0);
  EXPECT_EQ(task->GetChannel().SendQueueSize(), 0u);
}

TEST_F(NetTaskTest, ServerCloseShowsTooLongUnlessQuitting) {
  Connect("expect 1500*\nclose\n");
  Exchange(1);
  for (int i = 0; i < 20 && game.tooLong == 0; ++i) {
    WaitReadable(task->GetSocket(), 100);
    task->OnLoop(0);
  }
  EXPECT_EQ(game.tooLong, 1);
  // Once quitting, a lost connection is not reported again; the closed socket is skipped.
  EXPECT_EQ(task->SendQuit(), 0);
  for (int i = 0; i < 3; ++i) task->OnLoop(0);
  EXPECT_EQ(game.tooLong, 1);
  EXPECT_EQ(task->GetSocket(), INVALID_SOCKET);
  task->Cleanup();
  task->Cleanup();
}

TEST_F(NetTaskTest, SendQuitWritesTheQuitRequestBeforeClosing) {
  rest = "expect 1540 luck\nexpect 1599 quit\nsilent\n";
  Join();
  EXPECT_EQ(task->SendLuck(), 1);
  EXPECT_EQ(task->SendQuit(), 1);  // the queued luck request goes out first
  for (int i = 0; i < 20 && server->HasClient(); ++i) server->Step(200);
  EXPECT_FALSE(server->HasClient());
  EXPECT_EQ(server->Requests().size(), 4u);
  EXPECT_TRUE(mode->Failures().empty());
  EXPECT_EQ(task->SendQuit(), 0);  // the closed socket is skipped
  task->OnLoop(0);
}

TEST_F(NetTaskTest, FailedConnectMakesAFreshSocket) {
  uint16_t dead;
  {
    nettest::RawListener gone;
    dead = gone.port();
  }
  ASSERT_EQ(task->InitTask(), 1);
  task->ParseConnectString(("127.0.0.1 " + std::to_string(dead) + " 1 3 183").c_str());
  EXPECT_EQ(task->ConnectAndLogin(), 0);
  EXPECT_EQ(task->GetSocket(), INVALID_SOCKET);
  EXPECT_EQ(task->IsConnected(), 0);
  nettest::RawListener listener;
  task->ParseConnectString(("127.0.0.1 " + std::to_string(listener.port()) + " 1 3 183").c_str());
  EXPECT_EQ(task->ConnectAndLogin(), 1);
  EXPECT_NE(task->GetSocket(), INVALID_SOCKET);
}

TEST_F(NetTaskTest, ParseConnectString) {
  struct Case {
    std::string text;
    int result;
    const char* server;
    int port, slot;
    const char* type;
    const char* user;
  } cases[] = {
      {"127.0.0.1 8886 1 3 183", 1, "127.0.0.1", 8886, 3, "1", "183"},
      {"127.0.0.1 8886 1 3 183 more tokens", 1, "127.0.0.1", 8886, 3, "1", "183"},
      {"127.0.0.1  8886 1 3 183\r\n10.0.0.1 1 2 3 4", 1, "127.0.0.1", 8886, 3, "1", "183"},
      {"127.0.0.1 88a6 1 3 183", 0, "127.0.0.1", 0, 0, "", ""},
      {"127.0.0.1 8886 1 3x 183", 0, "127.0.0.1", 8886, 0, "", ""},
      {"127.0.0.1 99999 1 3 183", 0, "127.0.0.1", 0, 0, "", ""},
      {"127.0.0.1 8886 1 3", 0, "127.0.0.1", 8886, 3, "", ""},
      {"", 0, nullptr, 0, 0, "", ""},
      {"127.0.0.1 8886 1 3 " + std::string(400, 'u'), 1, "127.0.0.1", 8886, 3, "1", nullptr},
  };
  for (const Case& c : cases) {
    task = std::make_unique<CNetTask>();
    ASSERT_EQ(task->InitTask(), 1);
    EXPECT_EQ(task->ParseConnectString(c.text.c_str()), c.result) << c.text;
    if (c.server) {
      EXPECT_STREQ(task->GetServerAddress(), c.server) << c.text;
    } else {
      EXPECT_EQ(task->GetServerAddress(), nullptr) << c.text;
    }
    EXPECT_EQ(task->GetPort(), c.port) << c.text;
    EXPECT_EQ(task->GetSlotId(), c.slot) << c.text;
    EXPECT_EQ(task->GetSlotType(), c.type) << c.text;
    if (c.user)
      EXPECT_EQ(task->GetUserId(), c.user) << c.text;
    else
      EXPECT_EQ(task->GetUserId(), std::string(254 - 19, 'u')) << c.text;
  }
}

TEST_F(NetTaskTest, CopyDataHandsOverTheConnectString) {
  std::vector<SScriptStep> steps;
  std::string error;
  ASSERT_TRUE(CServerScript::Parse("expect 1500 cs 0086 7 3 183\nsilent\n", &steps, &error));
  mode = std::make_unique<CScriptMode>(std::move(steps));
  server = std::make_unique<CSlotServer>(*mode);
  ASSERT_TRUE(server->Listen(0, &error));
  ASSERT_EQ(task->InitTask(), 1);
  // The handed-over text: more than 255 bytes would not fit; it stops at a zero anyway.
  std::string text = "127.0.0.1 " + std::to_string(server->Port()) + " 7 3 183";
  std::vector<char> bytes(text.begin(), text.end());
  bytes.push_back(0);
  bytes.resize(600, 'z');
  COPYDATASTRUCT other{27, static_cast<DWORD>(bytes.size()), bytes.data()};
  task->MsgProc(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(task->IsConnected(), 0);
  COPYDATASTRUCT cds{COPYDATA_CONNECT, static_cast<DWORD>(bytes.size()), bytes.data()};
  task->MsgProc(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  EXPECT_EQ(task->IsConnected(), 1);
  // Joined only by the accepted enter reply.
  EXPECT_EQ(task->IsJoined(), 0);
  server->Step(2000);
  Exchange(1);
  EXPECT_TRUE(mode->Failures().empty()) << mode->Failures()[0];
  EXPECT_EQ(QuitsPosted(), 0);

  // A handed-over string that cannot connect ends the client.
  auto other_task = std::make_unique<CNetTask>();
  ASSERT_EQ(other_task->InitTask(), 1);
  std::vector<char> none(300, 'x');
  COPYDATASTRUCT bad{COPYDATA_CONNECT, static_cast<DWORD>(none.size()), none.data()};
  other_task->MsgProc(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&bad));
  EXPECT_EQ(QuitsPosted(), 1);
}

TEST_F(NetTaskTest, GarbageBeforeAReplyIsCutInTheSamePass) {
  Join();
  game.calls.clear();
  // Two bad length words, dropped four bytes at a time; the frame behind them is taken at once.
  server->SendRaw(nettest::Cat(nettest::Hex("ffffffff ffffffff"), Frame("1521 a b 900")));
  WaitReadable(task->GetSocket(), 1000);
  task->OnLoop(0);
  EXPECT_EQ(game.calls, (std::vector<std::string>{"money|a|b|900"}));
  EXPECT_EQ(task->GetChannel().GetReceiveCount(), 0);
}

namespace {

// Sees every entry of the engine's debug log.
class RecordingLog : public CZqDebug {
 public:
  explicit RecordingLog(char* name) : CZqDebug(name) {}
  void OnAddLog(const char*, const char*, const char* text) override { lines.push_back(text); }
  int Count(const std::string& part) const {
    int n = 0;
    for (const std::string& l : lines) n += l.find(part) != std::string::npos;
    return n;
  }
  std::vector<std::string> lines;
};

}  // namespace

class StalledServerTest : public NetTaskTest {
 protected:
  // Joins, then the server stops reading: long requests fill the socket, the send buffer and
  // the send queue until the queue refuses one.
  void FillUntilRefused() {
    Join();
    if (HasFatalFailure()) return;
    // A small socket buffer on the client's side, so little goes into the kernel.
    int small = 4096;
    ::setsockopt(static_cast<int>(task->GetSocket()), SOL_SOCKET, SO_SNDBUF, &small, sizeof(small));
    const std::string holds(2000, '1');
    int accepted = 0;
    while (accepted < 100000 && task->SendDraw(holds.c_str())) {
      if (++accepted % 16 == 0) task->OnLoop(0);
    }
    ASSERT_LT(accepted, 100000);
    ASSERT_EQ(task->GetChannel().SendQueueSize(), size_t(CNetChannel::kMaxSendQueue));
  }

  std::string logName =
      (std::filesystem::temp_directory_path() / ("net-log-" + std::to_string(::getpid()))).string();
  RecordingLog log{logName.data()};
};

TEST_F(StalledServerTest, TheWindowKeepsRunningAndTheQueueIsBounded) {
  FillUntilRefused();
  EXPECT_EQ(log.Count("send queue full"), 1);
  // Passes return, and replies still reach the game.
  game.calls.clear();
  ServerSends("1521 a b 900");
  for (int i = 0; i < 3; ++i) {
    task->OnLoop(0);
    EXPECT_LE(task->GetChannel().SendQueueSize(), size_t(CNetChannel::kMaxSendQueue));
  }
  EXPECT_EQ(game.calls, (std::vector<std::string>{"money|a|b|900"}));
  // The quit is over within its bound, and the socket is closed.
  const DWORD before = timeGetTime();
  EXPECT_EQ(task->SendQuit(), 1);
  EXPECT_LE(timeGetTime() - before, 2000u);
  EXPECT_EQ(task->GetSocket(), INVALID_SOCKET);
  std::remove((logName + ".log").c_str());
}

TEST_F(StalledServerTest, AServerThatNeverReadsEndsTheSessionBySilence) {
  FillUntilRefused();
  zqAdvanceClock(30001);
  task->OnLoop(0);  // the keep-alive, queued or refused
  EXPECT_TRUE(Boxes().empty());
  zqAdvanceClock(30001);
  task->OnLoop(0);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"line lost"}));
  EXPECT_EQ(QuitsPosted(), 1);
  std::remove((logName + ".log").c_str());
}
