// Process state of the framework: the application object, the window objects by handle, the
// window being created and the message being handled. One thread.
#pragma once

#include <unordered_map>

#include "zqplatform/framework.h"

namespace zqframework {

struct State {
  CWinApp* app = nullptr;
  std::unordered_map<HWND, CWnd*> windows;
  // Attached to the first message of a window that CWnd::CreateEx is creating.
  CWnd* creating = nullptr;
  // The message AfxWndProc is dispatching (CWnd::Default passes it on).
  MSG current{};
};

State& state();

}  // namespace zqframework
