// The demo server as the client sees it: frames on a loopback socket, the book in its SQLite
// file, the session log.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Balances.h"
#include "DemoMode.h"
#include "SlotServer.h"
#include "config_files.h"
#include "net/NetPacket.h"
#include "../net/net_test_util.h"

namespace toolstest {
namespace {

using nettest::RawSocket;

// A server in this process over a book file, with a raw client that speaks in texts.
class DemoSession {
 public:
  DemoSession(const std::string& db, const std::string& logPath, int64_t startCredits = 10000) {
    std::string error;
    EXPECT_TRUE(book.Open(db, &error)) << error;
    log = std::fopen(logPath.c_str(), "a");
    CDemoMode::SOptions options;
    options.startCredits = startCredits;
    mode = std::make_unique<CDemoMode>(book, options, log);
    server = std::make_unique<CSlotServer>(*mode);
    EXPECT_TRUE(server->Listen(0, &error)) << error;
    EXPECT_TRUE(peer.Connect(server->Port()));
    server->Step(2000);  // accept
  }
  ~DemoSession() {
    server.reset();
    std::fclose(log);
  }
  void Send(const std::string& text) {
    CNetPacket p(text.c_str(), int(text.size()) + 1);
    p.Scramble();
    peer.Send(std::vector<uint8_t>(p.GetFrame(), p.GetFrame() + p.GetFrameLength()));
    for (size_t n = server->Requests().size(); server->Requests().size() == n && server->Step(2000);) {
    }
  }
  // The next n replies (frames unscrambled as the client does).
  std::vector<std::string> Replies(size_t n) {
    std::vector<std::string> out;
    while (out.size() < n) {
      std::vector<uint8_t> head = peer.Read(5, 500);
      if (head.size() < 5) break;
      const int32_t len = int32_t(head[1] | head[2] << 8 | head[3] << 16 | uint32_t(head[4]) << 24);
      std::vector<uint8_t> body = peer.Read(size_t(len), 500);
      head.insert(head.end(), body.begin(), body.end());
      CNetPacket p(head.data(), int(head.size()));
      if (p.GetPayloadLength() <= 0) break;
      out.emplace_back(reinterpret_cast<const char*>(p.GetFrame() + 5));
    }
    return out;
  }
  bool NoMoreReplies() { return peer.Read(1, 100).empty(); }

  CBalances book;
  std::FILE* log = nullptr;
  std::unique_ptr<CDemoMode> mode;
  std::unique_ptr<CSlotServer> server;
  RawSocket peer;
};

TEST(DemoServer, ASessionLogsInEntersIsRefusedItsBetKeepsAliveAndQuits) {
  zqtest::ScratchDir dir;
  DemoSession s(dir.file("book.db"), dir.file("server.log"));
  s.Send("1500 cs 0086 2 3 183");
  EXPECT_EQ(s.Replies(1), std::vector<std::string>{"1501 1"});
  s.Send("1510 3");
  EXPECT_EQ(s.Replies(3),
            (std::vector<std::string>{"1521 183 3 10000", "1511 1 3 2 2 10 10000 0 0 0 50000 0", "1570 0"}));
  s.Send("1530 1 10 1 3 183");
  EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1531 3 0 0", "1521 183 3 10000"}));
  s.Send("503 hello");
  EXPECT_EQ(s.Replies(1), std::vector<std::string>{"503 hello"});
  // The second entry after loading the game answers the same and opens no second session.
  s.Send("1510 3");
  EXPECT_EQ(s.Replies(3).size(), 3u);
  s.Send("1540 luck");
  EXPECT_TRUE(s.NoMoreReplies());
  s.Send("1599 quit");
  EXPECT_TRUE(s.peer.PeerClosed());

  std::fflush(s.log);
  const std::string log = zqtest::readFile(dir.file("server.log"));
  for (const char* line :
       {"< 1500 cs 0086 2 3 183", "> 1501 1", "< 1510 3", "> 1511 1 3 2 2 10 10000 0 0 0 50000 0",
        "< 1530 1 10 1 3 183", "> 1531 3 0 0", "< 503 hello", "> 503 hello", "< 1599 quit"})
    EXPECT_NE(log.find(line), std::string::npos) << line;
  EXPECT_EQ(s.book.WeekJackpots(), 0);
}

TEST(DemoServer, RefusalsAnswerWithTheFailureCodes) {
  zqtest::ScratchDir dir;
  DemoSession s(dir.file("book.db"), dir.file("server.log"));
  const struct {
    const char* request;
    const char* reply;
  } cases[] = {
      {"1510 3", "1511 0"},                 // entry before login
      {"1500 cs 0086 2 x3 183", "1501 0"},  // slot id not a number
      {"1500 xx 0086 2 3 183", "1501 0"},   // not the client's login
      {"1500 cs 0086 2 3", "1501 0"},       // no user
      {"1500 cs 0086 9 3 183", "1501 1"},   // a slot type no machine has ...
      {"1510 3", "1511 0"},                 // ... is refused at the entry
      {"1500 cs 0086 1 3 183", "1501 1"},
      {"1510 4", "1511 0"},  // another machine than the login's
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    s.Send(c.request);
    EXPECT_EQ(s.Replies(1), std::vector<std::string>{c.reply});
  }
  s.Send("abc 1");
  s.Send("1530 1 10 1 3 183");  // no session: nothing to refuse
  EXPECT_TRUE(s.NoMoreReplies());
}

TEST(DemoServer, ARestartKeepsThePlayersCredits) {
  zqtest::ScratchDir dir;
  {
    DemoSession s(dir.file("book.db"), dir.file("server.log"));
    s.Send("1500 cs 0086 1 7 alice");
    s.Send("1510 7");
    EXPECT_EQ(s.Replies(4).at(1), "1521 alice 7 10000");
    EXPECT_TRUE(s.book.SetCredits("alice", 8760));
  }
  // Another start-up with other starting credits: alice keeps hers, a new player gets the new ones.
  DemoSession s(dir.file("book.db"), dir.file("server.log"), 300);
  s.Send("1500 cs 0086 4 7 alice");
  s.Send("1510 7");
  EXPECT_EQ(s.Replies(4), (std::vector<std::string>{"1501 1", "1521 alice 7 8760",
                                                    "1511 1 7 4 4 20 8760 0 0 0 50000 0", "1570 0"}));
  s.Send("1500 cs 0086 3 8 bob");
  s.Send("1510 8");
  EXPECT_EQ(s.Replies(2).at(1), "1521 bob 8 300");
}

}  // namespace
}  // namespace toolstest
