// The window system's back-end: what puts top-level windows on a screen, turns the screen's
// events into input and shows presented frames. SDL2 with a display, headless otherwise; one is
// chosen at the first use and kept for the process.
#pragma once

#include <memory>
#include <string>

#include "window/state.h"

namespace zqwin {

class Backend {
 public:
  virtual ~Backend() = default;

  // False headless: nothing is on a screen, input comes only from tests.
  virtual bool onScreen() const = 0;

  // A top-level window's native window is made with it and goes with it; the back-end owns it
  // and everything made for it (Window::native).
  virtual void create(Window* w) = 0;
  virtual void destroy(Window* w) = 0;
  virtual void show(Window* w, bool show) = 0;
  // Moves and sizes the native window to the window's client area.
  virtual void syncGeometry(Window* w) = 0;
  virtual void setTitle(Window* w) = 0;
  virtual void minimize(Window* w, bool minimize) = 0;
  virtual void maximize(Window* w) = 0;

  // Turns pending screen events into window messages.
  virtual void pump() = 0;
  // Waits until input may have arrived: at most `timerWaitMs` when a timer is due, and briefly
  // when outside sources (media, other processes) are polled. False when nothing can ever arrive.
  virtual bool wait(bool haveTimer, DWORD timerWaitMs, bool outsideSources) = 0;

  // Shows a frame of 0x00RRGGBB pixels, `width` to a row, over the window's whole client area.
  virtual void present(Window* w, const DWORD* pixels, int width, int height) = 0;

  virtual void applyCursor() = 0;
  // The pressed button's id, or 0 when no box was shown.
  virtual int messageBox(const std::string& textUtf8, const std::string& captionUtf8, UINT type,
                         HWND owner) = 0;
  // The screen's size; false when there is no screen to ask.
  virtual bool screenSize(int& w, int& h) = 0;
  // The native window behind a top-level window, for code that draws into it; null headless.
  virtual void* nativeWindow(const Window* w) const = 0;
};

Backend& backend();

// Null when SDL's video cannot start (the reason is printed).
std::unique_ptr<Backend> makeSdlBackend();
std::unique_ptr<Backend> makeHeadlessBackend();

// Present shows its frames through here; a window without a native window shows nothing.
void presentFrame(HWND hwnd, const DWORD* pixels, int width, int height);

// Called by DestroyWindow for each window, after its native window is gone, so per-window state
// kept elsewhere (present's frames) goes with it.
using DestroyListener = void (*)(HWND);
void addDestroyListener(DestroyListener fn);
void notifyDestroyed(HWND hwnd);

}  // namespace zqwin
