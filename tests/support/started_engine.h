// A fixture with a headless window, an application and an engine started on it (800x600 back
// buffer, manual clock). The window is titled after the test suite.
#pragma once

#include <gtest/gtest.h>

#include "ZqLib.h"
#include "engine_window.h"

template <class Engine = CZqEngine, class App = CZqApp>
class StartedEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow(::testing::UnitTest::GetInstance()->current_test_suite()->name());
    app = new App;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new Engine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
  }
  void TearDown() override {
    delete engine;
    engine = nullptr;
    delete app;
    app = nullptr;
    CloseEngineWindow();
  }

  HWND wnd = nullptr;
  App* app = nullptr;
  Engine* engine = nullptr;
};
