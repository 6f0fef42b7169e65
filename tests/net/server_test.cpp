// The scripted slot-server, observed as a raw peer on loopback sees it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ScriptMode.h"
#include "net/NetPacket.h"
#include "SlotServer.h"
#include "net_test_util.h"

using nettest::Hex;
using nettest::RawSocket;

namespace {

struct ScriptedServer {
  explicit ScriptedServer(const std::string& script) : mode(Steps(script)), server(mode) {
    std::string error;
    EXPECT_TRUE(server.Listen(0, &error)) << error;
  }
  static std::vector<SScriptStep> Steps(const std::string& script) {
    std::vector<SScriptStep> steps;
    std::string error;
    EXPECT_TRUE(CServerScript::Parse(script, &steps, &error)) << error;
    return steps;
  }
  // Steps until the server has seen n requests (or nothing more happens).
  void RunUntilRequests(size_t n) {
    for (int i = 0; i < 50 && server.Requests().size() < n; ++i) server.Step(200);
  }
  CScriptMode mode;
  CSlotServer server;
};

}  // namespace

TEST(SlotServer, AnswersTheScriptWithHandCheckedFrames) {
  ScriptedServer s("# greeting on connect\nraw 01 02\nexpect 1540 luck\nreply\nexpect 1599*\nclose\n");
  RawSocket peer;
  ASSERT_TRUE(peer.Connect(s.server.Port()));
  s.server.Step(2000);  // accept: the raw bytes go out at once
  EXPECT_EQ(peer.Read(2), Hex("01 02"));
  peer.Send(nettest::kLuckFrame);
  s.RunUntilRequests(1);
  EXPECT_EQ(peer.Read(13), nettest::kEmptyFrame);
  // A request that arrives in two pieces still makes one request.
  CNetPacket q("1599 quit", 10);
  q.Scramble();
  std::vector<uint8_t> frame(q.GetFrame(), q.GetFrame() + q.GetFrameLength());
  peer.Send(std::vector<uint8_t>(frame.begin(), frame.begin() + 7));
  s.server.Step(200);
  peer.Send(std::vector<uint8_t>(frame.begin() + 7, frame.end()));
  s.RunUntilRequests(2);
  EXPECT_TRUE(peer.PeerClosed());
  EXPECT_EQ(s.server.Requests(), (std::vector<std::string>{"1540 luck", "1599 quit"}));
  EXPECT_TRUE(s.mode.Failures().empty());
  EXPECT_TRUE(s.mode.Done());
}

TEST(SlotServer, MismatchIsRecordedAndAnswersStop) {
  ScriptedServer s("expect 1500 cs*\nreply 1501 1\n");
  RawSocket peer;
  ASSERT_TRUE(peer.Connect(s.server.Port()));
  s.server.Step(2000);
  peer.Send(nettest::kLuckFrame);
  s.RunUntilRequests(1);
  ASSERT_EQ(s.mode.Failures().size(), 1u);
  EXPECT_NE(s.mode.Failures()[0].find("got '1540 luck'"), std::string::npos);
  EXPECT_TRUE(peer.Read(1, 0).empty());
}

TEST(SlotServer, AClientThatStopsReadingIsDroppedNotWaitedFor) {
  ScriptedServer s("silent\n");
  RawSocket peer;
  ASSERT_TRUE(peer.Connect(s.server.Port()));
  s.server.Step(2000);
  ASSERT_TRUE(s.server.HasClient());
  s.server.SetFlushTimeout(100);
  // The peer reads none of it: once the socket buffers on both sides are full, the server gives up.
  const std::vector<uint8_t> chunk(size_t(4) << 20, 0x55);
  for (int i = 0; i < 64 && s.server.HasClient(); ++i) s.server.SendRaw(chunk);
  EXPECT_FALSE(s.server.HasClient());
}

TEST(SlotServer, ScriptErrorsNameTheLine) {
  std::vector<SScriptStep> steps;
  std::string error;
  EXPECT_FALSE(CServerScript::Parse("reply 1\nbogus\n", &steps, &error));
  EXPECT_EQ(error, "line 2: unknown step 'bogus'");
  EXPECT_FALSE(CServerScript::Parse("raw 0g\n", &steps, &error));
  EXPECT_FALSE(CServerScript::Parse("raw 012\n", &steps, &error));
  EXPECT_FALSE(CServerScript::Parse("close now\n", &steps, &error));
}

// The program: port on stdout, exit status from the script.
TEST(SlotServer, ProgramRunsAScriptFile) {
  auto dir = std::filesystem::temp_directory_path() / ("slot-server-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "s.txt") << "expect 1540 luck\nreply 1541 0 1abc\n";
  std::string cmd =
      std::string(ZQ_BIN_DIR) + "/slot-server --timeout 20 --script " + (dir / "s.txt").string();
  FILE* out = ::popen(cmd.c_str(), "r");
  ASSERT_NE(out, nullptr);
  unsigned port = 0;
  ASSERT_EQ(std::fscanf(out, "port %u", &port), 1);
  {
    RawSocket peer;
    ASSERT_TRUE(peer.Connect(static_cast<uint16_t>(port)));
    peer.Send(nettest::kLuckFrame);
    std::vector<uint8_t> reply = peer.Read(21);
    ASSERT_EQ(reply.size(), 21u);
    CNetPacket p(reply.data(), 21);
    EXPECT_STREQ(reinterpret_cast<const char*>(p.GetPayload()), "1541 0 1abc");
  }
  int status = ::pclose(out);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::filesystem::remove_all(dir);
}
