// A headless engine on the manual clock with the client's game loaded from a small game folder
// (UI panels named as a game's data names them), and the scripted server for its requests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptMode.h"
#include "SlotServer.h"
#include "ZqLib.h"
#include "engine_window.h"
#include "games/core/SlotGame.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"
#include "runtime_support.h"

namespace gamestest {

// UTF-8 text as the GBK bytes the data holds.
inline std::string Gbk(const std::string& utf8) { return zqUtf8ToGbk(utf8); }

// The panels of the fixture's main UI, in item order.
inline const std::vector<std::string>& FixturePanelNames() {
  static const std::vector<std::string> names = {
      "玩家筹码", "中奖筹码", "筹码面值", "下注筹码", "活动字幕", "autoplay", "退出",  "一倍按钮",
      "最大按钮", "转动按钮", "转动杆",   "INFO",     "赔率表",   "line1",    "line2", "line3",
      "bet1",     "bet2",     "bet3",     "加",       "减",       "停止",     "pool"};
  return names;
}

class SlotGameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The engine the fixture starts; a test may make the client's own panel styles with it.
  virtual CZqEngine* MakeEngine() { return new CZqEngine; }

  void Write(const std::string& name, const std::string& text);
  // The game folder "game.ini" with this GameType (empty: no key) and UI configuration.
  void WriteGameFolder(const std::string& name, const std::string& gameType,
                       const std::string& ui = "main.ini");
  // A new game on the engine, made current and handed to the network task; not loaded.
  void NewGame();
  CZqUIPanel* Panel(const std::string& utf8Name) const;
  std::string Caption(const std::string& utf8Name) const;
  // A child panel of the main UI that the test hands to the game (control panels and the like).
  CZqUIPanel* SubPanel(const char* name);

  // The network task joined to the scripted server: login and entry with this enter reply, then
  // the script's further steps.
  void Join(const std::string& enterReply = "1511 1 x 1 y 10 z 5 w 6", const std::string& rest = "silent\n");
  // Passes of the task until the server has seen n requests in all.
  void Exchange(size_t n);
  std::vector<std::string> Requests() const;
  // Boxes shown since the last call (GBK texts).
  std::vector<std::string> Boxes();
  // WM_CLOSE messages posted to the main window since the last call.
  int ClosesPosted();

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
  std::unique_ptr<CSlotGame> game;
  std::unique_ptr<CScriptMode> mode;
  std::unique_ptr<CSlotServer> server;
};

// Reply fields as the network task hands them over: fields 1, 2, 3 ..., missing ones "".
class Fields {
 public:
  explicit Fields(const std::string& text);
  char** get() { return m_pointers.data(); }

 private:
  std::vector<std::string> m_texts;
  std::vector<char*> m_pointers;
};

}  // namespace gamestest
