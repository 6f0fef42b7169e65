// Fixture of the sound and media areas: headless window system, manual clock, an application
// and one started engine (with its sound system), working in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "ZqLib.h"
#include "engine_window.h"
#include "runtime_support.h"
#include "zqplatform/media.h"

// An engine with only its window and sound device, made here as its start-up would.
class SoundTestEngine : public CZqEngine {
 public:
  explicit SoundTestEngine(HWND wnd) {
    m_hWnd = wnd;
    if (SUCCEEDED(DirectSoundCreate8(nullptr, &m_pDS, nullptr)))
      m_pDS->SetCooperativeLevel(wnd, DSSCL_PRIORITY);
  }
  ~SoundTestEngine() override {
    CleanupSoundCache();
    if (m_pDS) m_pDS->Release();
    m_pDS = nullptr;
  }
};

class SoundEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("sound", 808, 627);
    app = std::make_unique<CZqApp>();
    CoInitialize(nullptr);
    engine = std::make_unique<SoundTestEngine>(wnd);
    ASSERT_NE(engine->GetDirectSound(), nullptr);
  }
  void TearDown() override {
    engine.reset();
    app.reset();
    CoUninitialize();
    CloseEngineWindow();
  }

  ScratchDir dir;
  HWND wnd = nullptr;
  std::unique_ptr<CZqApp> app;
  std::unique_ptr<CZqEngine> engine;
};
