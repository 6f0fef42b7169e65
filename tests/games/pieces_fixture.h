// A headless engine on the manual clock for the game pieces, with helpers that write pictures
// and configuration files and read the back buffer.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "ZqLib.h"
#include "engine_window.h"
#include "runtime_support.h"
#include "tga_files.h"

namespace gamestest {

// An engine whose frame time the test sets (the animations step by it).
class PiecesEngine : public CZqEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

class PiecesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("pieces");
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new PiecesEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
  }
  void TearDown() override {
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  std::string File(const std::string& name) const { return dir.file(name); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir.file(name), std::ios::binary) << text;
  }
  // n solid frames name0.tga .. name(n-1).tga of w x h; frame i has colour(i). Returns the
  // animation text of the whole group.
  template <class Colour>
  std::string Frames(const std::string& name, int n, int w, int h, Colour colour) const {
    for (int i = 0; i < n; ++i) WriteSolidTga(File(name + std::to_string(i) + ".tga"), w, h, colour(i));
    return File(name + "%d.tga") + "#0;" + std::to_string(n - 1);
  }
  CConfig Config(const std::string& name, const std::string& text) const {
    Write(name, text);
    return CConfig(File(name).c_str());
  }
  void ClearBack(DWORD colour) {
    CZqSurface* back = engine->GetBackSurface();
    back->Clear(back->ConvertColor(colour));
  }
  // The back buffer's colour at (x, y), 0xRRGGBB.
  DWORD Px(long x, long y) const {
    return engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr) & 0xFFFFFFu;
  }
  BYTE Red(long x, long y) const { return BYTE(Px(x, y) >> 16); }
  BYTE Blue(long x, long y) const { return BYTE(Px(x, y)); }

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  PiecesEngine* engine = nullptr;
};

}  // namespace gamestest
