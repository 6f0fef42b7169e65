// The receive queue's cap: a server that sends far more frames than the queue holds at once
// leaves the rest in the socket, and every frame still reaches the game, in order.
#include <gtest/gtest.h>

#include <poll.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ScriptMode.h"
#include "SlotServer.h"
#include "net/NetGame.h"
#include "net/NetPacket.h"
#include "net/NetTask.h"

namespace {

// Keeps the first field of every money notice; nothing else is expected.
class MoneyGame : public CNetGame {
 public:
  std::vector<std::string> money;
  int others = 0;

  void OnMoneyNotify(char** f) override { money.push_back(f[0]); }
  void OnBonusResult(char**) override { ++others; }
  void OnRoundResult(char**) override { ++others; }
  void OnEnterReply(char**) override { ++others; }
  void OnWeekNotify(char**) override { ++others; }
  void OnBetReply(int) override { ++others; }
  int OnCardBetReply(int) override { return ++others; }
  void OnCardResult(char**) override { ++others; }
  void OnMahjongBetReply(int) override { ++others; }
  void OnMahjongResult(char**) override { ++others; }
  void ShowTooLongAndQuit() override { ++others; }
  int GetGameType() const override { return 0; }
  int GetBetUnit() const override { return 10; }
};

std::vector<uint8_t> Frame(const std::string& text) {
  CNetPacket p(text.c_str(), static_cast<int>(text.size()) + 1);
  p.Scramble();
  return std::vector<uint8_t>(p.GetFrame(), p.GetFrame() + p.GetFrameLength());
}

TEST(ReceiveCap, AFloodBeyondTheCapWaitsInTheSocketAndArrivesWhole) {
  zqSetManualClock(TRUE, 5000000);
  std::vector<SScriptStep> steps;
  std::string error;
  ASSERT_TRUE(CServerScript::Parse("silent\n", &steps, &error)) << error;
  CScriptMode mode(std::move(steps));
  CSlotServer server(mode);
  ASSERT_TRUE(server.Listen(0, &error)) << error;
  MoneyGame game;
  auto task = std::make_unique<CNetTask>();
  task->SetGame(&game);
  ASSERT_EQ(task->InitTask(), 1);
  ASSERT_EQ(task->ParseConnectString(("127.0.0.1 " + std::to_string(server.Port()) + " 1 3 183").c_str()), 1);
  ASSERT_EQ(task->ConnectAndLogin(), 1);
  server.Step(2000);  // accept

  // 5000 notices in one burst, nearly five times the cap: 1521 notices numbered 0, 1, 2, ...
  const int kFrames = 5000;
  std::vector<uint8_t> burst;
  size_t smallest = SIZE_MAX;
  for (int i = 0; i < kFrames; ++i) {
    const std::vector<uint8_t> f = Frame("1521 " + std::to_string(i) + " 0");
    smallest = std::min(smallest, f.size());
    burst.insert(burst.end(), f.begin(), f.end());
  }
  ASSERT_GT(burst.size(), size_t(CNetChannel::kBufferSize)) << "more than one read can take";
  server.SendRaw(burst);
  pollfd p{static_cast<int>(task->GetSocket()), POLLIN, 0};
  ASSERT_GT(::poll(&p, 1, 2000), 0);

  // The queue fills up to its cap and never holds more than one read's worth beyond it.
  const size_t bound = CNetChannel::kMaxReceiveQueue + CNetChannel::kBufferSize / smallest;
  size_t most = 0;
  for (int pass = 0; pass < 4 * kFrames && game.money.size() < size_t(kFrames); ++pass) {
    task->OnLoop(0);
    most = std::max(most, task->GetChannel().ReceiveQueueSize());
    ASSERT_LE(task->GetChannel().ReceiveQueueSize(), bound) << "pass " << pass;
    // The rest of the burst is still on its way through loopback now and then.
    if (task->GetChannel().ReceiveQueueSize() == 0) ::poll(&p, 1, 200);
  }
  EXPECT_GE(most, size_t(CNetChannel::kMaxReceiveQueue));
  ASSERT_EQ(game.money.size(), size_t(kFrames));
  for (int i = 0; i < kFrames; ++i) ASSERT_EQ(game.money[i], std::to_string(i)) << "in order";
  EXPECT_EQ(game.others, 0);
  EXPECT_EQ(task->GetChannel().ReceiveQueueSize(), 0u);
  task.reset();
  zqSetManualClock(FALSE, 0);
}

}  // namespace
