// Drawing observed in the back buffer: children back to front, digit strips, captions, and a
// child that ends itself from its update.
#include "uipanel_fixture.h"

namespace {

class Drawing : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    back = engine->GetBackSurface();
    back->Clear(back->ConvertColor(0xFF000000));
    engine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTOP_MODULATE);
  }
  // Red, green and blue of a back-buffer pixel.
  std::vector<int> Rgb(long x, long y) {
    BYTE r = 0, g = 0, b = 0;
    back->GetPixelInfo(x, y, nullptr, &r, &g, &b);
    return {r, g, b};
  }
  CZqSurface* back = nullptr;
};

TEST_F(Drawing, ChildrenAreDrawnBackToFrontSoTheFrontChildIsOnTop) {
  WriteTga("red.tga", 20, 20, 0xFFFF0000);
  WriteTga("blue.tga", 20, 20, 0xFF0000FF);
  Write("red.ini", "[SETING]\nvisible=true\nenable=true\n[IMAGE]\nnormal=red.tga\n");
  Write("blue.ini", "[SETING]\nvisible=true\nenable=true\n[IMAGE]\nnormal=blue.tga\n");
  Write("hidden.ini", "[SETING]\nenable=true\n[IMAGE]\nnormal=red.tga\n");
  // Item 2 ends up in front of item 1; the hidden one (front-most) is not drawn.
  Write("root.ini",
        "[SETING]\nvisible=true\nenable=true\n"
        "[ITEM_1]\nstyle=panel\nconfig=red.ini\npos=10,10\n"
        "[ITEM_2]\nstyle=panel\nconfig=blue.ini\npos=20,20\n"
        "[ITEM_3]\nstyle=panel\nconfig=hidden.ini\npos=25,25\n");
  CZqUIPanel root(engine);
  ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), nullptr), 1);
  EXPECT_EQ(root.Draw(SScreenPoint(100, 50)), 0);
  const std::vector<int> red = Rgb(112, 62), blue = Rgb(135, 85), both = Rgb(125, 75);
  EXPECT_GT(red[0], 0);
  EXPECT_EQ(red[2], 0);
  EXPECT_EQ(blue[0], 0);  // the hidden red child over it was skipped
  EXPECT_GT(blue[2], 0);
  EXPECT_EQ(both, blue);  // the overlap of items 1 and 2 shows item 2
  EXPECT_EQ(Rgb(5, 5), (std::vector<int>{0, 0, 0}));

  // Brought to the front, item 1 now covers the overlap.
  CZqUIPanel* red1 = nullptr;
  for (CZqUIPanel* p : root.GetSubPanels())
    if (std::string(p->GetConfig()) == "red.ini") red1 = p;
  ASSERT_NE(red1, nullptr);
  red1->SetTopMost();
  EXPECT_EQ(root.Draw(SScreenPoint(100, 50)), 0);
  EXPECT_EQ(Rgb(125, 75), red);
}

TEST_F(Drawing, DrawNumShowsTheFrameAndNothingForAFrameOutsideTheGroup) {
  WriteTga("d0.tga", 8, 8, 0xFFFF0000);
  WriteTga("d1.tga", 8, 8, 0xFF00FF00);
  WriteTga("d2.tga", 8, 8, 0xFF0000FF);
  Write("num.ini", "[SETING]\nvisible=true\nenable=true\n[IMAGE]\nnormal=d%d.tga#0-2\n");
  CZqUIPanel num(engine);
  ASSERT_EQ(num.Create("num.ini", SScreenPoint(0, 0), nullptr), 1);
  ASSERT_NE(num.GetCurrentAnimation(), nullptr);
  num.DrawNum(SScreenPoint(10, 10), 1);
  EXPECT_GT(Rgb(12, 12)[1], 0);
  EXPECT_EQ(Rgb(12, 12)[0], 0);
  for (unsigned frame : {3u, 1000u, 0xFFFFFFFFu}) {
    num.DrawNum(SScreenPoint(40, 10), frame);
    EXPECT_EQ(Rgb(42, 12), (std::vector<int>{0, 0, 0})) << frame;
  }
}

TEST_F(Drawing, TheCaptionIsDrawnIntoItsTextureAndPaintedAtTheHeader) {
  Write("cap.ini",
        "[SETING]\nvisible=true\nenable=true\nis_caption=true\nheader_rect=10,5,74,37\n"
        "caption=\nalign=1\nfont=,24,0,0,0,0\ncolor=255,255,255,255\n");
  CZqUIPanel cap(engine);
  ASSERT_EQ(cap.Create("cap.ini", SScreenPoint(0, 0), nullptr), 1);
  CZqTexture* tex = cap.GetCaptionTexture();
  ASSERT_EQ(tex->GetWidth(), 64u);
  ASSERT_EQ(tex->GetHeight(), 32u);
  const auto inked = [&] {
    int n = 0;
    for (long y = 0; y < 32; ++y)
      for (long x = 0; x < 64; ++x) {
        BYTE a = 0;
        tex->GetPixelInfo(x, y, &a, nullptr, nullptr, nullptr);
        n += a != 0;
      }
    return n;
  };
  EXPECT_EQ(inked(), 0);
  EXPECT_GE(cap.SetCaption(42), 0);
  EXPECT_STREQ(cap.GetCaption(), "42");
  const int ink42 = inked();
  EXPECT_GT(ink42, 10);
  cap.SetCaption(4);
  EXPECT_GT(inked(), 0);
  EXPECT_LT(inked(), ink42);

  cap.SetCaption(42);
  cap.Draw(SScreenPoint(100, 100));
  int lit = 0;
  for (long y = 105; y < 137; ++y)
    for (long x = 110; x < 174; ++x) lit += Rgb(x, y)[0] > 0;
  EXPECT_GT(lit, 10);
  for (long x = 100; x < 110; ++x) EXPECT_EQ(Rgb(x, 120)[0], 0);  // left of the header
}

// A child whose update reports the end of its life.
class Expiring : public CZqUIPanel {
 public:
  Expiring(CZqUIPanel* parent, int* destroyed) : CZqUIPanel(parent), m_destroyed(destroyed) {}
  ~Expiring() override { ++*m_destroyed; }
  long OnUpdate() override { return -1; }
  int* m_destroyed;
};

TEST_F(Drawing, AChildWhoseUpdateIsNegativeIsDestroyedAndTheOthersStillDraw) {
  WriteTga("red.tga", 20, 20, 0xFFFF0000);
  Write("red.ini", "[SETING]\nvisible=true\nenable=true\n[IMAGE]\nnormal=red.tga\n");
  Write("root.ini", "[SETING]\nvisible=true\nenable=true\n[ITEM_1]\nstyle=panel\nconfig=red.ini\n");
  CZqUIPanel root(engine);
  ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), nullptr), 1);
  int destroyed = 0;
  auto* gone = new Expiring(&root, &destroyed);
  gone->Create(nullptr, SScreenPoint(0, 0), nullptr);
  const DWORD id = gone->GetID();
  ASSERT_EQ(root.GetSubPanels().size(), 2u);
  EXPECT_EQ(root.Draw(SScreenPoint(0, 0)), 0);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(root.GetSubPanels().size(), 1u);
  EXPECT_EQ(engine->FindUIFromID(id), nullptr);
  EXPECT_GT(Rgb(5, 5)[0], 0);
}

}  // namespace

namespace {

TEST_F(Drawing, ReleasedDeviceObjectsComeBackWithTheCaptionRedrawn) {
  Write("cap.ini",
        "[SETING]\nvisible=true\nenable=true\nis_caption=true\nheader_rect=0,0,64,32\n"
        "caption=88\nfont=,24,0,0,0,0\ncolor=255,255,255,255\n"
        "[ITEM_1]\nstyle=panel\nconfig=plain.ini\n");
  Write("plain.ini", "[SETING]\nvisible=true\nheader_rect=0,0,8,8\n");
  CZqUIPanel cap(engine);
  ASSERT_EQ(cap.Create("cap.ini", SScreenPoint(0, 0), nullptr), 1);
  CZqUIPanel* child = cap.GetSubPanels().front();
  cap.ReleaseSource();
  EXPECT_EQ(cap.GetCaptionTexture()->GetDDrawSurface(), nullptr);
  EXPECT_EQ(cap.RestoreSource(), 0);
  ASSERT_NE(cap.GetCaptionTexture()->GetDDrawSurface(), nullptr);
  EXPECT_NE(child->GetCaptionTexture()->GetDDrawSurface(), nullptr);  // made even without the flag
  int inked = 0;
  for (long y = 0; y < 32; ++y)
    for (long x = 0; x < 64; ++x) {
      BYTE a = 0;
      cap.GetCaptionTexture()->GetPixelInfo(x, y, &a, nullptr, nullptr, nullptr);
      inked += a != 0;
    }
  EXPECT_GT(inked, 10);
}

}  // namespace
