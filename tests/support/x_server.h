// Helpers of the tests that run on a real X server (CTest starts them under xvfb-run).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "zqplatform/window.h"

// Runs a shell command and returns its output without the trailing line ends.
std::string RunShell(const std::string& cmd);

// Calls pump, then done, until done holds or ten seconds of real time pass: X events take real
// time, so these tests cannot use the manual clock.
bool PumpUntil(const std::function<void()>& pump, const std::function<bool()>& done);

// True in the CTest entries that start an X server for the test (ZQ_TEST_X_SERVER=1): there a
// missing server is a failure, elsewhere the test is skipped.
bool XServerRequired();

// Skips the test without a display, or fails it where an X server was promised.
#define ZQ_NEED_X_SERVER()                                                                \
  do {                                                                                    \
    if (zqIsHeadless()) {                                                                 \
      if (XServerRequired()) FAIL() << "no X server, though its CTest entry started one"; \
      GTEST_SKIP() << "needs a display (CTest runs it under xvfb-run)";                   \
    }                                                                                     \
  } while (0)

// The X window showing `hwnd` (titled `title`), once the server has it mapped where the window
// system placed the client area; empty after ten seconds. Input sent before that can miss it.
std::string WaitForXWindow(const std::string& title, HWND hwnd, const std::function<void()>& pump);

// Moves the pointer to client point (x, y) of `hwnd` (X window `id`) and pumps until the window
// system has seen it there, so SDL has the pointer in its window before a button is pressed.
bool MovePointerInto(const std::string& id, HWND hwnd, int x, int y, const std::function<void()>& pump);
