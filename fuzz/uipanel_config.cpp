// Panel trees from arbitrary configuration files: the input is up to three files separated by
// zero bytes ("0", "1", "2" in a scratch folder; the root is "0"). The tree is built, updated,
// drawn without a device, saved, loaded again from what was saved and destroyed.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "ZqLib.h"
#include "scratch.h"

namespace {

class FuzzEngine : public CZqEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

void Walk(CZqUIPanel* p, int depth) {
  if (depth > 64) __builtin_trap();  // a cycle got through
  p->UpdateState();
  p->OnUpdate();
  for (CZqUIPanel* c : p->GetSubPanels()) {
    if (c->GetParent() != p) __builtin_trap();
    Walk(c, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1024) return 0;
  static FuzzEngine* engine = [] {
    std::string dir = zqfuzz::ScratchFolder() + "/fuzz_uipanel_XXXXXX";
    if (!mkdtemp(dir.data()) || chdir(dir.c_str()) != 0) abort();
    return new FuzzEngine;
  }();
  // Names stay inside the scratch folder.
  std::string text((const char*)data, size);
  for (char& ch : text)
    if (ch == '/' || ch == '\\') ch = '_';
  size_t start = 0;
  for (int file = 0; file < 3; ++file) {
    size_t end = text.find('\0', start);
    if (end == std::string::npos) end = text.size();
    std::ofstream(std::to_string(file), std::ios::binary) << text.substr(start, end - start);
    start = end < text.size() ? end + 1 : end;
  }
  {
    CZqUIPanel root(engine);
    root.Create("0", SScreenPoint(0, 0), nullptr);
    engine->SetElapsed(1500);
    Walk(&root, 0);
    root.Draw(SScreenPoint(0, 0));
    if (root.SaveConfig("saved")) {
      CZqUIPanel again(engine);
      again.Create("saved", SScreenPoint(0, 0), nullptr);
      Walk(&again, 0);
    }
  }
  for (DWORD id = 100; id < 200; ++id)
    if (engine->FindUIFromID(id)) __builtin_trap();  // a destroyed panel left registered
  return 0;
}
