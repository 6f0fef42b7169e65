// A headless engine on the manual clock with a game, and small panel files in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "runtime_support.h"
#include "tga_files.h"
#include "zqplatform/display_hooks.h"

namespace gametest {

inline void WriteTga(const std::string& path, int w, int h, DWORD argb) { WriteSolidTga(path, w, h, argb); }

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
