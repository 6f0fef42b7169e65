// Message boxes: shown by SDL in a window session; always recorded; headless answered at once.
#include <cstdio>

#include "window/backend.h"

using namespace zqwin;

namespace {

int defaultAnswer(UINT type) {
  static const int first[] = {IDOK, IDOK, IDABORT, IDYES, IDYES, IDRETRY};
  static const int second[] = {IDOK, IDCANCEL, IDRETRY, IDNO, IDNO, IDCANCEL};
  static const int third[] = {IDOK, IDCANCEL, IDIGNORE, IDCANCEL, IDNO, IDCANCEL};
  UINT kind = type & 0x0F;
  if (kind > 5) kind = 0;
  switch (type & 0x0F00) {
    case MB_DEFBUTTON2:
      return second[kind];
    case MB_DEFBUTTON3:
      return third[kind];
  }
  return first[kind];
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  auto& s = state();
  std::string t = text ? text : "";
  std::string c = caption ? caption : "Error";  // a missing caption reads "Error"
  s.boxes.push_back(ZqMessageBoxRecord{t, c, type, owner});
  std::string tu = zqGbkToUtf8(t), cu = zqGbkToUtf8(c);
  std::fprintf(stderr, "zqplatform: message box [%s] %s (flags 0x%x)\n", cu.c_str(), tu.c_str(), type);
  if (!s.boxAnswers.empty()) {
    int a = s.boxAnswers.front();
    s.boxAnswers.pop_front();
    return a;
  }
  if (int a = backend().messageBox(tu, cu, type, owner); a > 0) return a;
  return defaultAnswer(type);
}

std::vector<ZqMessageBoxRecord> zqRecordedMessageBoxes() { return state().boxes; }
void zqClearRecordedMessageBoxes() { state().boxes.clear(); }
void zqQueueMessageBoxAnswer(int answer) { state().boxAnswers.push_back(answer); }
