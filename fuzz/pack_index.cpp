// The resource pack's index reader over arbitrary bytes.
// Seeds in fuzz/corpus/pack_index: an index with a file, a folder and a font entry.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "ZqLib.h"
#include "scratch.h"

namespace {

class Counter : public ZQ_Src_Browser {
 public:
  size_t n = 0;
  void AddItem(const char* name, _FILE_FORMAT_TYPE) override { n += name[0] != 0; }
};

void Browse(CZqSource& pack, Counter* c, int order, ...) {
  va_list args;
  va_start(args, order);
  pack.UpdateToBrower(c, order, args);
  va_end(args);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  static const std::string path = zqfuzz::ScratchFile("fuzz_pack_index") + ".Zqs";
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  CZqSource pack;  // a loaded index is never modified, so nothing is written back
  if (pack.Load(path.c_str())) {
    Counter c;
    Browse(pack, &c, 1, 1, 3, -1);
    Browse(pack, &c, 0, -1);
    pack.IsPathExist("a");
  }
  return 0;
}
