#include "slot_game_fixture.h"

#include <fstream>
#include <sstream>

#include "mahjong_folder.h"
#include "tga_files.h"

namespace gamestest {

void SlotGameTest::SetUp() {
  wnd = OpenEngineWindow("slotgame", 816, 653);
  app = new CZqApp;
  ASSERT_EQ(app->InitApp(wnd), 1);
  engine = MakeEngine();
  ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
  app->SetActive(1);
  app->SetNoSleep(1);
  g_hMainWnd = wnd;
  g_nGameType = 0;
  g_bSpinLocked = 0;
  g_bGameReady = 0;
  g_bExiting = 0;
  g_bPoolInitialised = 0;
  zqClearRecordedMessageBoxes();

  Write("text.ini", Gbk("[TEXT]\nwelcome=欢迎光临\ntoolong=太久没有游戏\n"
                        "[MONEY]\nnot_enough=筹码不足\nno_money=没有筹码了\n"
                        "[WEEK]\nmessage=本周第%d期 %d人 奖池%d\n"));
  g_TextConfig.SetINIFile(dir.file("text.ini").c_str());

  Write("leaf.ini", "[SETING]\nsize=10,10\nvisible=true\nenable=true\n");
  std::ostringstream main;
  main << "[SETING]\nsize=800,600\nvisible=true\nenable=true\n";
  int item = 1;
  for (const std::string& name : FixturePanelNames()) {
    const char* style = name == "活动字幕" ? "active_caption" : "panel";
    main << "[ITEM_" << item << "]\nstyle=" << style << "\nname=" << Gbk(name) << "\npos=" << item * 10
         << ",0\nconfig=leaf.ini\n";
    ++item;
  }
  Write("main.ini", main.str());
  WriteGameFolder("game.ini", "0");
}

void SlotGameTest::TearDown() {
  g_NetTask.SetGame(nullptr);
  g_NetTask.Cleanup();
  server.reset();
  mode.reset();
  if (engine) engine->SetGame(nullptr);
  game.reset();
  g_pSlotGame = nullptr;
  g_hMainWnd = nullptr;
  delete engine;
  delete app;
  CloseEngineWindow();
}

void SlotGameTest::Write(const std::string& name, const std::string& text) {
  std::ofstream(dir.file(name), std::ios::binary) << text;
}

void SlotGameTest::WriteGameFolder(const std::string& name, const std::string& gameType,
                                   const std::string& ui) {
  std::string text = "[MAIN]\n";
  if (!gameType.empty()) text += "GameType=" + gameType + "\n";
  text += "ui_config=" + ui + "\n";
  // The card kind does not load without its win frame (a folder of another type may keep kind 1).
  {
    WriteSolidTga(dir.file("winline.tga"), 16, 16, 0xFFFFFF00);
    text +=
        "[WINLINE]\nimage=" + dir.file("winline.tga") + "\nwidth=16\nheight=16\nx=0\ny=0\nfrequency=100\n";
  }
  // Nor the mahjong kind without its lamps, tables, lines, effects, cards and panels.
  if (gameType == "2") text += mahjongfolder::Sections(dir.path());
  Write(name, text);
}

void SlotGameTest::NewGame() {
  game = std::make_unique<CSlotGame>(engine);
  g_pSlotGame = game.get();
  engine->SetGame(game.get());
  g_NetTask.SetGame(game.get());
}

CZqUIPanel* SlotGameTest::Panel(const std::string& utf8Name) const {
  return engine->FindUIFromName(Gbk(utf8Name).c_str());
}

std::string SlotGameTest::Caption(const std::string& utf8Name) const {
  CZqUIPanel* p = Panel(utf8Name);
  return p ? p->GetCaption() : "(no panel)";
}

CZqUIPanel* SlotGameTest::SubPanel(const char* name) {
  auto* panel = new CZqUIPanel(game->GetMainUI());
  EXPECT_EQ(panel->Create("leaf.ini", SScreenPoint(0, 0), name), 1);
  return panel;
}

void SlotGameTest::Join(const std::string& enterReply, const std::string& rest) {
  std::vector<SScriptStep> steps;
  std::string error;
  const std::string script = "expect 1500*\nreply 1501 1\nexpect 1510 3\nreply " + enterReply + "\n" + rest;
  ASSERT_TRUE(CServerScript::Parse(script, &steps, &error)) << error;
  mode = std::make_unique<CScriptMode>(std::move(steps));
  server = std::make_unique<CSlotServer>(*mode);
  ASSERT_TRUE(server->Listen(0, &error)) << error;
  ASSERT_EQ(g_NetTask.InitTask(), 1);
  ASSERT_EQ(
      g_NetTask.ParseConnectString(("127.0.0.1 " + std::to_string(server->Port()) + " 1 3 183").c_str()), 1);
  ASSERT_EQ(g_NetTask.ConnectAndLogin(), 1);
  server->Step(2000);
  Exchange(2);
  for (int i = 0; i < 20 && !g_NetTask.IsJoined(); ++i) {
    g_NetTask.OnLoop(0);
    server->Step(50);
  }
  ASSERT_EQ(g_NetTask.IsJoined(), 1);
}

void SlotGameTest::Exchange(size_t n) {
  for (int i = 0; i < 40 && server->Requests().size() < n; ++i) {
    g_NetTask.OnLoop(0);
    server->Step(i == 0 ? 0 : 100);
  }
}

std::vector<std::string> SlotGameTest::Requests() const {
  return server ? server->Requests() : std::vector<std::string>{};
}

std::vector<std::string> SlotGameTest::Boxes() {
  std::vector<std::string> out;
  for (const ZqMessageBoxRecord& r : zqRecordedMessageBoxes()) {
    EXPECT_EQ(r.caption, "Error");
    EXPECT_TRUE(r.flags & MB_ICONERROR);
    EXPECT_EQ(r.owner, wnd);
    out.push_back(r.text);
  }
  zqClearRecordedMessageBoxes();
  return out;
}

int SlotGameTest::ClosesPosted() {
  int n = 0;
  MSG m;
  while (PeekMessageA(&m, wnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++n;
  return n;
}

Fields::Fields(const std::string& text) {
  std::istringstream in(text);
  std::string word;
  while (in >> word) m_texts.push_back(word);
  m_texts.resize(CNetTask::kMaxFields);
  for (std::string& t : m_texts) m_pointers.push_back(t.data());
}

}  // namespace gamestest
