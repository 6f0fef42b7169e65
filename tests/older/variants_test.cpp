// The older build's panel state choice, its caption without a broadcast queue and the game
// restore that passes the panels' status on.
#include <cmath>
#include <map>

#include "../uipanel/uipanel_fixture.h"

namespace oldertest {
namespace {

// The panel's state flags, set directly: this build has no setters for them.
struct PanelFlags : CZqUIPanel {
  static void Set(CZqUIPanel* p, int touched, int pressed, int checked) {
    p->*(&PanelFlags::m_bTouched) = touched;
    p->*(&PanelFlags::m_bPressed) = pressed;
    p->*(&PanelFlags::m_bChecked) = checked;
  }
};

enum : unsigned { N = 1, NT = 2, P = 4, PT = 8, D = 16 };

using OlderState = PanelTest;

TEST_F(OlderState, APressedPanelUnderThePointerPrefersPressTouch) {
  for (const char* f : {"n", "nt", "p", "pt", "d"}) WriteTga(std::string(f) + ".tga", 2, 2, 0xFFFFFFFF);
  struct Case {
    unsigned present;
    int touched, pressed, checked;
    const char* expected;
  } cases[] = {
      {N | NT | P | PT | D, 1, 1, 0, "pt.tga"},
      {N | P | PT, 1, 1, 1, "pt.tga"},
      {N | P, 1, 1, 0, "p.tga"},
      {N | NT, 1, 1, 0, ""},
      // Every other state chooses as the newer build does.
      {N | NT | P | PT | D, 1, 0, 1, "pt.tga"},
      {N | NT | P | PT | D, 1, 0, 0, "nt.tga"},
      {N | NT | P | PT | D, 0, 1, 0, "p.tga"},
      {N | NT | P | PT | D, 0, 0, 0, "n.tga"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "present " << c.present << " t" << c.touched << " p" << c.pressed
                                    << " c" << c.checked);
    std::string image = "[IMAGE]\n";
    const char* keys[] = {"normal", "normal_touch", "press", "press_touch", "disable"};
    const char* files[] = {"n", "nt", "p", "pt", "d"};
    for (int i = 0; i < 5; ++i)
      if (c.present & (1u << i)) image += std::string(keys[i]) + "=" + files[i] + ".tga\n";
    Write("s.ini", "[SETING]\nvisible=true\nenable=true\n" + image);
    CZqUIPanel panel(engine);
    ASSERT_EQ(panel.Create("s.ini", SScreenPoint(0, 0), nullptr), 1);
    PanelFlags::Set(&panel, c.touched, c.pressed, c.checked);
    panel.UpdateState();
    CZqAnimation* shown = panel.GetCurrentAnimation();
    EXPECT_STREQ(shown ? shown->GetKey() : "", c.expected);
  }
}

class OlderCaption : public ZQ_UI_ActiveCaption {
 public:
  using ZQ_UI_ActiveCaption::AddShowLine;
  using ZQ_UI_ActiveCaption::OnUpdate;
  using ZQ_UI_ActiveCaption::ZQ_UI_ActiveCaption;
};

class StepEngine : public PanelEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

using OlderCaptionTest = StartedEngineTest<StepEngine, PanelApp>;

TEST_F(OlderCaptionTest, TrainsCarryExactlyTheCaptionsLinesOverAndOver) {
  ScratchDir dir;
  std::ofstream(dir.file("root.ini")) << "[SETING]\nsize=800,600\nvisible=true\nenable=true\n";
  CZqUIPanel root(static_cast<CZqEngine*>(engine));
  ASSERT_EQ(root.Create(dir.file("root.ini").c_str(), SScreenPoint(0, 0), "root"), 1);
  std::ofstream(dir.file("cap.ini"))
      << "[SETING]\nsize=300,30\nvisible=true\nenable=true\nheader_rect=0,0,300,30\nis_caption=true\n"
      << "caption=A|B\ncolor=255,255,255,255\nfont=DejaVu Sans,12,0,0,0,0\n"
      << "[ACTIVE_CAPTION]\nspeed_x=-400\nspeed_y=0\nspace_size=20\n";
  auto* cap = new OlderCaption(&root);
  ASSERT_EQ(cap->Create(dir.file("cap.ini").c_str(), SScreenPoint(100, 200), "cap"), 1);
  ASSERT_EQ(cap->GetLineRecords().size(), 2u);

  // Every line that comes into the caption, by where it started: all move 4 px a frame, so a
  // line's position plus the distance travelled is where it was placed, later lines further right.
  std::map<long, std::string> placed;
  float travelled = 0.0f;
  for (int frame = 0; frame < 2000 && placed.size() < 8; ++frame) {
    for (const auto& line : cap->GetShownLines()) placed[std::lround(line.x + travelled)] = line.text;
    engine->SetElapsed(100);
    cap->OnUpdate();
    travelled += 4.0f;
  }
  std::vector<std::string> entered;
  for (const auto& [origin, text] : placed) entered.push_back(text);
  EXPECT_EQ(entered, (std::vector<std::string>{"A", "B", "A", "B", "A", "B", "A", "B"}));
  EXPECT_EQ(cap->GetLineRecords().size(), 2u);

  cap->SetCaption("");
  EXPECT_EQ(cap->AddShowLine(), 0);
}

class RestoringPanel : public CZqUIPanel {
 public:
  using CZqUIPanel::CZqUIPanel;
  long RestoreSource() override { return result; }
  long result = 0;
};

using OlderGameTest = StartedEngineTest<>;

TEST_F(OlderGameTest, TheGameRestorePassesThePanelsStatusToTheEngine) {
  CZqGame game(engine);
  auto* panel = new RestoringPanel(game.GetMainUI());
  ASSERT_EQ(panel->Create(nullptr, SScreenPoint(0, 0), "restoring"), 1);
  engine->SetGame(&game);
  // A failure comes through as it is, where the newer build's game only says 0.
  for (long status : {0L, 7L, (long)E_FAIL, (long)DDERR_OUTOFVIDEOMEMORY}) {
    SCOPED_TRACE(status);
    panel->result = status;
    EXPECT_EQ(game.RestoreSource(), status < 0 ? status : 0L);
    EXPECT_EQ(engine->RestoreSource(), status < 0 ? status : 0L);
  }
  engine->SetGame(nullptr);
}

}  // namespace
}  // namespace oldertest
