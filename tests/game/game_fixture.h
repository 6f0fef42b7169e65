// A headless engine on the manual clock with a game, and small panel files in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "runtime_support.h"
#include "zqplatform/display_hooks.h"

namespace gametest {

// Writes a w x h uncompressed 32-bit TGA of one colour (0xAARRGGBB), rows top to bottom.
inline void WriteTga(const std::string& path, int w, int h, DWORD argb) {
  std::vector<uint8_t> b(18, 0);
  b[2] = 2;
  b[12] = uint8_t(w), b[13] = uint8_t(w >> 8), b[14] = uint8_t(h), b[15] = uint8_t(h >> 8);
  b[16] = 32;
  b[17] = 0x28;
  for (int i = 0; i < w * h; ++i)
    for (int k = 0; k < 4; ++k) b.push_back(uint8_t(argb >> (8 * k)));
  std::ofstream(path, std::ios::binary).write((const char*)b.data(), (std::streamsize)b.size());
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("game", 816, 653);
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new CZqEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    app->SetActive(1);
    app->SetNoSleep(1);  // the idle sleep would move the manual clock
  }
  void TearDown() override {
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  DWORD Px(long x, long y) {
    return engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr) & 0xFFFFFF;
  }
  void Clear() { engine->GetBackSurface()->Clear(0); }

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
};

}  // namespace gametest
