// A small mahjong game folder built from solid pictures: the main UI with the kind's panels, three
// tile reels, dice lamps, the side table, the pay table, the win lines, the all-mahjong effect,
// the heavenly hand, the jackpot, the bonus cards and the free-game panels. Each piece sits at
// a place of its own so a test can read it off the back buffer.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tga_files.h"
#include "zqplatform/base.h"

namespace mahjongfolder {

// Where the pieces are drawn, and the colours a test looks for.
constexpr int kJackpotX = 600, kJackpotY = 100;        // 20 x 20, red
constexpr int kLampsX = 600, kLampsY = 200;            // five lamps in one 50 x 10 quad
constexpr int kHeavenlyX = 650, kHeavenlyY = 100;      // first stage 20 x 20, green
constexpr int kAllMahjongX = 300, kAllMahjongY = 450;  // 20 x 20
// Pay-table awards 'a'..'o': rectangle of letter i at (10 + 20 i, 520) - (+ 15, + 10).
constexpr int kAwardY = 520;

inline void Put(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// n solid frames name0.tga .. of w x h in `dir`; the animation text of the whole group.
inline std::string Frames(const std::string& dir, const std::string& name, int n, int w, int h,
                          uint32_t argb) {
  for (int i = 0; i < n; ++i) WriteSolidTga(dir + "/" + name + std::to_string(i) + ".tga", w, h, argb);
  return dir + "/" + name + "%d.tga#0;" + std::to_string(n - 1);
}

// The kind's panels beside the shared ones, in item order.
inline std::vector<std::string> MahjongPanelNames(const std::vector<std::string>& shared) {
  std::vector<std::string> names = shared;
  for (const char* name : {"停止1", "停止2", "停止3", "拉出", "拉进"}) names.push_back(name);
  return names;
}

// Writes the kind's pictures and files into `dir` and returns the folder's sections that need
// them (all but "MAIN").
inline std::string Sections(const std::string& dir) {
  const auto file = [&dir](const std::string& name) { return dir + "/" + name; };
  Put(file("mj-leaf.ini"), "[SETING]\nsize=10,10\nvisible=true\nenable=true\n");
  // The bonus cards: a face strip of six 16 x 16 faces and four flip pictures.
  WriteSolidTga(file("mj-strip.tga"), 16, 97, 0xFF4080C0);
  std::ostringstream cards;
  cards << "[MAIN]\nanim_height=16\nanim_width=16\nanim_time=20\nanim_flash_time=300\nanim_flash_inv=100\n"
        << "anim_deal_inv=50\nanim_image=" << file("mj-strip.tga") << "\nanim_dir=" << dir << "/\n"
        << "anim_name=mj-flip%d.tga#0;4,\nanim_start=1\nanim_end=4\n[POS]\n";
  for (int i = 0; i < 5; ++i) WriteSolidTga(file("mj-flip" + std::to_string(i) + ".tga"), 16, 17, 0xFF202020);
  for (int i = 0; i < 10; ++i) cards << i << "=" << 400 + 20 * i << ",560\n";
  Put(file("mj-anim.ini"), cards.str());

  std::ostringstream awards;
  awards << "[AwardList]\n";
  for (int i = 0; i < 15; ++i)
    awards << static_cast<char>('a' + i) << "=" << 10 + 20 * i << "," << kAwardY << "," << 25 + 20 * i << ","
           << kAwardY + 10 << "\n";

  std::ostringstream text;
  for (int i = 1; i <= 3; ++i)
    text << "[TB_" << i << "]\npos=" << 100 * i
         << ",300\nradian=90\nnum_unit=12\nnum_cards=10\ncard_size=40\ntable_size=60\ntime1=1000\n"
         << "time2=1000\nspeed1=2000\nspeed2=200\nadjustsize=1.5\n";
  text << "[DICECONFIG]\npos=" << kLampsX << "," << kLampsY
       << "\ntimeinv=100\ntime=1000\nimage=" << Frames(dir, "mj-lamp", 5, 50, 10, 0xFF00FF00)
       << "\nwidth=50\nheight=10\n";
  text << "[WINTABLELT]\nshade_height=50\nshade_width=100\nshade_pos=600,520\ntable_height=50\n"
       << "table_width=100\ntable_pos=700,520\ntime=200\nlong=100\nshade_image="
       << Frames(dir, "mj-shade", 1, 128, 64, 0xFF101010)
       << "\ntable_image=" << Frames(dir, "mj-table", 1, 128, 64, 0xFF303030) << "\n";
  text << "[FreeAwardIdx]\n1=5\n2=10\n3=15\n[FreeAwardList]\n1=500,50,520,60\n2=530,50,550,60\n3=560,50,580,"
          "60\n";
  text << "[MJ9LINE]\n0=a\n1=b\n2=c\n3=d\n4=e\n5=f\n";
  text << "[WIN_LINE]\nimage=" << Frames(dir, "mj-line", 2, 50, 5, 0xFFFFFF00)
       << "\npos1=100,400\npos2=100,420\npos3=100,440\ninvtime=100\n";
  text << "[EFFECT_ALLMAJIANG]\nflashinv=100\npos=" << kAllMahjongX << "," << kAllMahjongY
       << "\nimage=" << Frames(dir, "mj-all", 2, 20, 20, 0xFFFF00FF)
       << "\nWinLinePlayTime=500\nEffectPlayTime=1500\nAddMoneyTime=600\nlight=300,450,320,470\n";
  text << "[ANIMATIONCONFIG]\nconfig=" << file("mj-anim.ini") << "\n";
  text << "[WIN_TABLE]\nrect=0,500,320,540\ntime=100\nlong=100\nimage="
       << Frames(dir, "mj-pay", 1, 512, 64, 0xFF000040)
       << "\noutimage=" << Frames(dir, "mj-out", 1, 32, 64, 0xFF000080)
       << "\nbackimage=" << Frames(dir, "mj-back", 1, 32, 64, 0xFF0000C0) << "\noutrect=320,500,340,540\n";
  text << awards.str();
  for (const char* panel : {"SPIN_PANEL", "STOP_PANEL", "FREE_PANEL", "FREE_PANEL2"})
    text << "[" << panel << "]\npos=0,580\nui_config=mj-leaf.ini\n";
  text << "[TIANHUCONFIG]\npos_x=" << kHeavenlyX << "\npos_y=" << kHeavenlyY
       << "\nscale=1.0\nimage=" << Frames(dir, "mj-hand", 6, 20, 20, 0xFF00FF00)
       << ",0,0,5,50\nstartframe=3\ntime=200\ntimeinv=50\n"
       << "startrect=650,130,670,150\nendrect=700,50,720,70\nimage50="
       << Frames(dir, "mj-fly", 1, 20, 20, 0xFF00FFFF) << "\n";
  text << "[EFFECT_JACKPOT]\npos_x=" << kJackpotX << "\npos_y=" << kJackpotY
       << "\nscale=1.0\nimage=" << Frames(dir, "mj-jackpot", 4, 20, 20, 0xFFFF0000) << ",0,0,3,100\n";
  text << "[TEXT]\nfreeluck=" << zqUtf8ToGbk("免费游戏") << "\nfreeinfo=" << zqUtf8ToGbk("还有%d局") << "\n";
  return text.str();
}

// Writes the folder "mahjong.ini" with the sheet and the main UI of these panels (UTF-8) into
// `dir`; `extra` is appended to the folder's configuration (sounds, further sections).
inline void Write(const std::string& dir, const std::vector<std::string>& names,
                  const std::string& extra = "") {
  const auto file = [&dir](const std::string& name) { return dir + "/" + name; };
  std::ostringstream main;
  main << "[SETING]\nsize=800,600\nvisible=true\nenable=true\n";
  int item = 1;
  for (const std::string& name : names) {
    const char* style = name == "活动字幕" ? "active_caption" : "panel";
    main << "[ITEM_" << item << "]\nstyle=" << style << "\nname=" << zqUtf8ToGbk(name)
         << "\npos=" << item * 10 << ",0\nconfig=mj-leaf.ini\n";
    ++item;
  }
  Put(file("mj-main.ini"), main.str());
  WriteSolidTga(file("mj-sheet.tga"), 120, 520, 0xFF808080);
  Put(file("mj-cards.ini"),
      "[MainCard]\nCardHeight=40\nCardWidth=30\nCardImage=" + file("mj-sheet.tga") + "\n");
  Put(file("mahjong.ini"), "[MAIN]\nGameType=2\nui_config=mj-main.ini\nCardImageList=" +
                               file("mj-cards.ini") + "\n" + Sections(dir) + extra);
}

}  // namespace mahjongfolder
