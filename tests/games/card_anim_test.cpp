// The card animation set: rows dealt onto the ten places, the flip's frames and faces, flash, fade
// and the reveal, read as pixels of the back buffer on the manual clock; and its load failures.
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "games/pieces/CardAnimItem.h"
#include "games/pieces/CardAnimSet.h"
#include "pieces_fixture.h"

namespace gamestest {
namespace {

// Cards of 20 x 16 at (30 i, 100); flip images of 20 x 17, image k (1..8) blue 40 + 20 k.
constexpr int kW = 20;
constexpr int kH = 16;
constexpr int kTop = 100;
constexpr int kFrameMs = 50;
constexpr int kLastFrame = 8;
int CardX(int place) { return 30 * place; }
BYTE FrameBlue(int k) { return BYTE(40 + 20 * k); }
// Face n of the strip is red 40 n; its first row is green 200, its last green 100.
BYTE FaceRed(int n) { return BYTE(40 * n); }

class CardAnimTest : public PiecesTest {
 protected:
  void SetUp() override {
    PiecesTest::SetUp();
    Frames("f", kLastFrame + 1, kW, kH + 1, [](int k) { return 0xFF000000u | FrameBlue(k); });
    // Row 0 above the first face is a marker no face may show.
    WriteRowsTga(File("strip.tga"), kW, 6 * kH + 1, [](int row) -> DWORD {
      if (row == 0) return 0xFF00FFFFu;
      const int n = (row - 1) / kH + 1, r = (row - 1) % kH;
      return 0xFF000000u | DWORD(FaceRed(n)) << 16 | DWORD(r == 0 ? 200 : r == kH - 1 ? 100 : 0) << 8;
    });
  }
  static void WriteRowsTga(const std::string& path, int w, int h, DWORD (*colour)(int row)) {
    std::string b(18, '\0');
    b[2] = 2;
    b[12] = char(w), b[13] = char(w >> 8), b[14] = char(h), b[15] = char(h >> 8);
    b[16] = 32;
    b[17] = 0x28;  // 8 alpha bits, top row first
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int k = 0; k < 4; ++k) b.push_back(char(colour(y) >> (8 * k)));
    std::ofstream(path, std::ios::binary) << b;
  }
  // The set's file; "section/key=value" lines in `changes` replace or add keys ("=" alone drops one).
  std::string SetFile(const std::string& changes = "") {
    std::map<std::string, std::map<std::string, std::string>> ini;
    auto& main = ini["MAIN"];
    main = {{"anim_height", std::to_string(kH)},
            {"anim_width", std::to_string(kW)},
            {"anim_time", std::to_string(kFrameMs)},
            {"anim_flash_time", "1000"},
            {"anim_flash_inv", "100"},
            {"anim_deal_inv", "200"},
            {"anim_image", File("strip.tga")},
            {"anim_dir", File("")},
            {"anim_name", "f%d.tga#0;8,"},
            {"anim_start", "1"},
            {"anim_end", std::to_string(kLastFrame)}};
    for (int i = 0; i < CCardAnimSet::kPlaces; ++i)
      ini["POS"][std::to_string(i)] = std::to_string(CardX(i)) + "," + std::to_string(kTop);
    std::istringstream in(changes);
    for (std::string line; std::getline(in, line);) {
      const size_t slash = line.find('/'), eq = line.find('=');
      auto& section = ini[line.substr(0, slash)];
      const std::string key = line.substr(slash + 1, eq - slash - 1), value = line.substr(eq + 1);
      if (value.empty())
        section.erase(key);
      else
        section[key] = value;
    }
    std::ostringstream text;
    for (const auto& [name, keys] : ini) {
      text << "[" << name << "]\n";
      for (const auto& [key, value] : keys) text << key << "=" << value << "\n";
    }
    Write("anim.ini", text.str());
    return File("anim.ini");
  }
  // One frame `ms` after the last.
  int Tick(CCardAnimSet& set, DWORD ms) {
    zqAdvanceClock(ms);
    return set.Update();
  }
  // Frames of 10 ms until the code is no longer 10; that code.
  int DealToEnd(CCardAnimSet& set, std::vector<int>* order = nullptr) {
    for (int frame = 0; frame < 2000; ++frame) {
      if (order)
        for (int p = 0; p < CCardAnimSet::kPlaces; ++p)
          if (set.GetPlaceStatus(p) == CCardAnimSet::kPlaceFlipping && (order->empty() || order->back() != p))
            order->push_back(p);
      const int code = Tick(set, 10);
      if (code != CCardAnimSet::kDealing) return code;
    }
    return -1;
  }
  void Draw(CCardAnimSet& set) {
    ClearBack(0xFF000000);
    set.Render();
  }
  // Whether the card at `place` is drawn at all (its middle is not the black background).
  bool Shown(int place) { return Px(CardX(place) + kW / 2, kTop + kH / 2) != 0; }
  // The red of the card's middle: 0 without a face.
  BYTE FaceShown(int place) { return Red(CardX(place) + kW / 2, kTop + kH / 2); }
  static bool Near(int value, int expected, int slack = 3) { return std::abs(value - expected) <= slack; }
  // The face quad's colour over the frame image (0xE5 of 0xFF).
  static int OverFrame(int face, int frame) { return (face * 229 + frame * 26) / 255; }
};

TEST_F(CardAnimTest, RowsFillThePlacesInOrderAndTheTenthPlaceEndsTheList) {
  CCardAnimSet set(engine);
  ASSERT_EQ(set.Load(SetFile().c_str()), 1);
  EXPECT_EQ(set.Update(), CCardAnimSet::kIdle);
  const int rows[4][3] = {{1, 2, 3}, {4, 5, 6}, {6, 5, 4}, {2, 3, 1}};
  for (int r = 0; r < 3; ++r) {
    SCOPED_TRACE(r);
    set.DealRow(rows[r]);
    std::vector<int> order;
    EXPECT_EQ(DealToEnd(set, &order), CCardAnimSet::kRowDealt);
    EXPECT_EQ(order, (std::vector<int>{3 * r, 3 * r + 1, 3 * r + 2}));
    EXPECT_EQ(set.Update(), CCardAnimSet::kIdle) << "reported on its frame only";
    for (int p = 0; p < CCardAnimSet::kPlaces; ++p)
      EXPECT_EQ(set.GetPlaceStatus(p), p < 3 * r + 3 ? CCardAnimSet::kPlaceDealt : CCardAnimSet::kPlaceFree);
  }
  Draw(set);
  for (int p = 0; p < 9; ++p) EXPECT_TRUE(Near(FaceShown(p), OverFrame(FaceRed(rows[p / 3][p % 3]), 0))) << p;
  EXPECT_EQ(FaceShown(9), 0);
  EXPECT_TRUE(Near(Blue(CardX(9) + 5, kTop + 5), FrameBlue(1))) << "the card back";

  // The fourth row reaches the tenth place: the list ends there with every place free.
  set.DealRow(rows[3]);
  std::vector<int> order;
  EXPECT_EQ(DealToEnd(set, &order), CCardAnimSet::kLastDealt);
  EXPECT_EQ(order, std::vector<int>{9});
  EXPECT_EQ(set.Update(), CCardAnimSet::kIdle);
  for (int p = 0; p < CCardAnimSet::kPlaces; ++p) EXPECT_EQ(set.GetPlaceStatus(p), CCardAnimSet::kPlaceFree);
  Draw(set);
  EXPECT_TRUE(Near(FaceShown(9), OverFrame(FaceRed(2), 0)));
  EXPECT_TRUE(Near(FaceShown(1), OverFrame(FaceRed(2), 0))) << "places freed, pictures kept";

  // The next row starts on the first place again.
  set.DealRow(rows[0]);
  order.clear();
  EXPECT_EQ(DealToEnd(set, &order), CCardAnimSet::kRowDealt);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST_F(CardAnimTest, ARowWithNoFreePlaceEndsTheListOnTheNextUpdate) {
  CCardAnimSet set(engine);
  ASSERT_EQ(set.Load(SetFile().c_str()), 1);
  const int row[3] = {3, 4, 5};
  for (int r = 0; r < 3; ++r) {
    set.DealRow(row);
    ASSERT_EQ(DealToEnd(set), CCardAnimSet::kRowDealt);
  }
  set.DealRow(row);  // the tenth place starts its flip
  EXPECT_EQ(Tick(set, 10), CCardAnimSet::kDealing);
  ASSERT_EQ(set.GetPlaceStatus(9), CCardAnimSet::kPlaceFlipping);
  set.DealRow(row);
  EXPECT_EQ(Tick(set, 10), CCardAnimSet::kLastDealt);
  EXPECT_EQ(set.Update(), CCardAnimSet::kIdle);
  for (int p = 0; p < CCardAnimSet::kPlaces; ++p) EXPECT_EQ(set.GetPlaceStatus(p), CCardAnimSet::kPlaceFree);
  Draw(set);
  EXPECT_TRUE(Near(FaceShown(9), OverFrame(FaceRed(3), 0))) << "the card in flight landed on its face";
  set.DealRow(row);
  EXPECT_EQ(DealToEnd(set), CCardAnimSet::kRowDealt);
}

TEST_F(CardAnimTest, AFlipStepsItsImagesShowsTheFaceFromFrameFourAndLandsOnItsStripRows) {
  CCardAnimSet set(engine);
  // Frame 5 narrows the face by 4 rows at each edge and blends it at half.
  ASSERT_EQ(set.Load(SetFile("ANIM_1/frame=5\nANIM_1/rect=0,4,0,-4\nANIM_1/blend=0.5").c_str()), 1);
  const int row[3] = {2, 1, 6};
  set.DealRow(row);
  const int x = CardX(0) + kW / 2;
  for (int frame = 1; frame < kLastFrame; ++frame) {
    SCOPED_TRACE(frame);
    // Two updates inside the frame's time, then the next frame's step.
    EXPECT_EQ(Tick(set, 0), CCardAnimSet::kDealing);
    EXPECT_EQ(Tick(set, kFrameMs - 1), CCardAnimSet::kDealing);
    Draw(set);
    if (frame < 4) {
      EXPECT_TRUE(Near(Blue(x, kTop + 1), FrameBlue(frame)));
      EXPECT_EQ(FaceShown(0), 0);
    } else if (frame == 4) {
      EXPECT_TRUE(Near(Blue(x, kTop + 1), OverFrame(0, FrameBlue(frame))));
      EXPECT_TRUE(Near(Red(x, kTop), OverFrame(FaceRed(2), 0)));
      EXPECT_TRUE(Near(Red(x, kTop + kH - 1), OverFrame(FaceRed(2), 0)));
    } else {
      EXPECT_TRUE(Near(Blue(x, kTop + 1), FrameBlue(frame)));
      EXPECT_EQ(Red(x, kTop + 3), 0) << "above the key frame's face";
      EXPECT_TRUE(Near(Red(x, kTop + 4), FaceRed(2) * 127 / 255));
      EXPECT_TRUE(Near(Red(x, kTop + kH - 5), FaceRed(2) * 127 / 255));
      EXPECT_EQ(Red(x, kTop + kH - 4), 0);
    }
    EXPECT_EQ(Tick(set, 1), CCardAnimSet::kDealing);
  }
  // The last image is reached: the next update lands the card on its face.
  EXPECT_EQ(set.GetItem(0)->GetFrameCounter(), kLastFrame);
  EXPECT_EQ(Tick(set, 0), CCardAnimSet::kDealing);
  EXPECT_EQ(set.GetItem(0)->GetType(), CCardAnimItem::kFaceShown);
  EXPECT_EQ(set.GetPlaceStatus(1), CCardAnimSet::kPlaceFlipping);
  EXPECT_EQ(DealToEnd(set), CCardAnimSet::kRowDealt);

  // Each face is its own strip rows: first row one below the strip's top, last row H below that.
  Draw(set);
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(p);
    const int cx = CardX(p) + kW / 2;
    EXPECT_TRUE(Near(Blue(cx, kTop + kH / 2), OverFrame(0, FrameBlue(kLastFrame)))) << "over the last image";
    EXPECT_TRUE(Near(Red(cx, kTop), OverFrame(FaceRed(row[p]), 0)));
    EXPECT_TRUE(Near(Px(cx, kTop) >> 8 & 0xFF, OverFrame(200, 0)));
    EXPECT_TRUE(Near(Px(cx, kTop + kH - 1) >> 8 & 0xFF, OverFrame(100, 0)));
    EXPECT_EQ(Px(cx, kTop + kH), 0u) << "nothing below the card";
  }
}

TEST_F(CardAnimTest, AFaceNumberOutsideOneToSixLeavesTheFaceTextureAsItWas) {
  CCardAnimSet set(engine);
  ASSERT_EQ(set.Load(SetFile().c_str()), 1);
  CZqTexture* face = set.GetItem(0)->GetFaceTexture();
  auto red = [&] { return face->GetPixelInfo(5, 5, nullptr, nullptr, nullptr, nullptr) >> 16 & 0xFF; };
  EXPECT_EQ(red(), 0u) << "a copy of the card back";
  ASSERT_EQ(set.PaintFace(face, 3), 1);
  EXPECT_EQ(red(), FaceRed(3));
  for (int n : {0, -1, 7}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(set.PaintFace(face, n), 0);
    EXPECT_EQ(red(), FaceRed(3));
  }
  // A symbol without a face, dealt: the card lands on what its texture held.
  const int row[3] = {-1, 5, 7};
  set.DealRow(row);
  EXPECT_EQ(DealToEnd(set), CCardAnimSet::kRowDealt);
  Draw(set);
  EXPECT_TRUE(Near(FaceShown(0), OverFrame(FaceRed(3), 0)));
  EXPECT_TRUE(Near(FaceShown(1), OverFrame(FaceRed(5), 0)));
  EXPECT_EQ(FaceShown(2), 0);
}

TEST_F(CardAnimTest, AFadeLowersTheAlphaBlinkingThenHidesClearsAndRevealsOneCardAtATime) {
  CCardAnimSet set(engine);
  ASSERT_EQ(set.Load(SetFile().c_str()), 1);
  const int row[3] = {1, 2, 3};
  set.DealRow(row);
  ASSERT_EQ(DealToEnd(set), CCardAnimSet::kRowDealt);
  set.FadeAndClear();
  // One blink every 100 ms, 0.2 less each, for 1000 ms.
  const int alphas[9] = {178, 127, 76, 25, 0, 0, 0, 0, 0};
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Tick(set, 99), CCardAnimSet::kIdle);
    EXPECT_EQ(Tick(set, 1), CCardAnimSet::kIdle);
    CCardAnimItem* item = set.GetItem(0);
    EXPECT_EQ(item->GetFrameQuad()[0].color >> 24, DWORD(alphas[i]));
    EXPECT_EQ(item->GetFaceQuad()[3].color >> 24, DWORD(alphas[i]));
    Draw(set);
    const bool shown = i % 2 == 1;
    EXPECT_EQ(Shown(0), shown && alphas[i] > 0);
    EXPECT_EQ(Shown(9), shown && alphas[i] > 0);
    if (shown && alphas[i] > 0) {
      EXPECT_TRUE(Near(FaceShown(0), FaceRed(1) * alphas[i] / 255, 2));
      EXPECT_TRUE(Near(Blue(CardX(9) + 5, kTop + 5), FrameBlue(1) * alphas[i] / 255, 2));
    }
  }
  // The fade ends hidden, turned back to the card back.
  EXPECT_EQ(Tick(set, 100), CCardAnimSet::kIdle);
  Draw(set);
  for (int p = 0; p < CCardAnimSet::kPlaces; ++p) EXPECT_FALSE(Shown(p)) << p;

  // One card more every time more than 200 ms have passed, then 19 once.
  std::vector<int> shownAt;
  int revealed = 0, frame = 0;
  for (; frame < 300 && revealed == 0; ++frame) {
    const int code = Tick(set, 10);
    if (code == CCardAnimSet::kRevealed) {
      revealed = frame;
      break;
    }
    EXPECT_EQ(code, 18);
    Draw(set);
    for (int p = int(shownAt.size()); p < CCardAnimSet::kPlaces && Shown(p); ++p) shownAt.push_back(frame);
  }
  ASSERT_EQ(shownAt.size(), size_t(CCardAnimSet::kPlaces));
  for (int p = 0; p < CCardAnimSet::kPlaces; ++p) EXPECT_EQ(shownAt[p], 20 + 21 * p) << p;
  EXPECT_EQ(revealed, 20 + 21 * CCardAnimSet::kPlaces);
  EXPECT_EQ(Tick(set, 1000), CCardAnimSet::kIdle);
  Draw(set);
  for (int p = 0; p < CCardAnimSet::kPlaces; ++p) {
    EXPECT_EQ(FaceShown(p), 0) << p;
    EXPECT_TRUE(Near(Blue(CardX(p) + 5, kTop + 5), FrameBlue(1) * 229 / 255, 2)) << p;
  }
}

TEST_F(CardAnimTest, AFlashBlinksEveryCardThenShowsTheFacesAndRevealsThem) {
  CCardAnimSet set(engine);
  ASSERT_EQ(set.Load(SetFile().c_str()), 1);
  const int row[3] = {4, 5, 6};
  set.DealRow(row);
  ASSERT_EQ(DealToEnd(set), CCardAnimSet::kRowDealt);
  set.FlashAndShow();
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Tick(set, 100), CCardAnimSet::kIdle);
    Draw(set);
    EXPECT_EQ(Shown(1), i % 2 == 1);
    EXPECT_EQ(Shown(7), i % 2 == 1);
    if (i % 2) {
      EXPECT_TRUE(Near(FaceShown(1), OverFrame(FaceRed(5), 0)));
    }
  }
  EXPECT_EQ(Tick(set, 100), CCardAnimSet::kIdle);
  Draw(set);
  // Shown again, every card on its face (one never dealt on the first).
  const int faces[4] = {4, 5, 6, 1};
  for (int p = 0; p < 4; ++p) EXPECT_TRUE(Near(FaceShown(p), OverFrame(FaceRed(faces[p]), 0))) << p;
  int code = CCardAnimSet::kRevealing, frames = 0;
  while (code == CCardAnimSet::kRevealing && frames++ < 100) code = Tick(set, 100);
  EXPECT_EQ(code, CCardAnimSet::kRevealed);
  EXPECT_EQ(frames, 3 * CCardAnimSet::kPlaces + 3) << "every third frame of 100 ms passes more than 200";
}

TEST_F(CardAnimTest, AMissingFileImageOrFrameFailsTheLoad) {
  struct Case {
    const char* changes;
    int loaded;
  } cases[] = {
      {"", 1},
      {"MAIN/anim_image=", 0},
      {"MAIN/anim_image=nothing.tga", 0},
      {"MAIN/anim_end=9", 0},  // image 9 is missing
      {"MAIN/anim_start=0", 1},
      {"MAIN/anim_start=5\nMAIN/anim_end=4", 0},  // no flip image at all
      {"MAIN/anim_name=g%d.tga#0;8,", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.changes);
    CCardAnimSet set(engine);
    EXPECT_EQ(set.Load(SetFile(c.changes).c_str()), c.loaded);
    EXPECT_EQ(set.GetItemCount(), c.loaded ? CCardAnimSet::kPlaces : 0);
  }
  CCardAnimSet set(engine);
  EXPECT_EQ(set.Load(File("none.ini").c_str()), 0);
  const int row[3] = {1, 2, 3};
  set.DealRow(row);  // nothing to deal onto: the list ends at once
  EXPECT_EQ(set.Update(), CCardAnimSet::kLastDealt);
  set.Render();
}

}  // namespace
}  // namespace gamestest
