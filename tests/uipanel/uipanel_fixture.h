// A headless engine on the manual clock, with panel configurations written to a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "started_engine.h"
#include "runtime_support.h"
#include "tga_files.h"

// Draws the main panel from the engine's per-frame update, as a game would.
class PanelEngine : public CZqEngine {
 public:
  CZqUIPanel* root = nullptr;
  int OnUpdate() override {
    if (root) root->Draw(SScreenPoint(0, 0));
    return 1;
  }
};

class PanelApp : public CZqApp {
 public:
  using CZqApp::RefreshAppTime;
};

class PanelTest : public StartedEngineTest<PanelEngine, PanelApp> {
 protected:
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir.file(name), std::ios::binary) << text;
  }
  // A w x h uncompressed 32-bit TGA of one colour (0xAARRGGBB).
  void WriteTga(const std::string& name, int w, int h, DWORD argb) {
    WriteSolidTga(dir.file(name), w, h, argb);
  }
  // Panels posted to the engine's window, taken off the queue.
  std::vector<MSG> Posted(UINT msg) {
    std::vector<MSG> out;
    MSG m;
    while (PeekMessageA(&m, wnd, msg, msg, PM_REMOVE)) out.push_back(m);
    return out;
  }

  ScratchDir dir;
};
