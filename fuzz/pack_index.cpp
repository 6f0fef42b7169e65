// The resource pack's index reader over arbitrary bytes.
// Seeds in fuzz/corpus/pack_index: an index with a file, a folder and a font entry; an index whose
// font entry named the folder above its own, which aborted the load.
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

// Every data file is one name directly in the data folder.
class FolderCheck : public ZQ_Src_Browser {
 public:
  explicit FolderCheck(CZqSource& pack) : pack_(pack), folder_(std::string(pack.GetDataPath()) + "\\") {}
  void AddItem(const char* key, _FILE_FORMAT_TYPE) override {
    const sFileInfo* info = pack_.FindSource(key);
    if (!info) __builtin_trap();
    std::string file = info->m_szFile;
    if (file.empty()) return;
    if (file.compare(0, folder_.size(), folder_) != 0) __builtin_trap();
    std::string name = file.substr(folder_.size());
    if (name.empty() || name == "." || name == "..") __builtin_trap();
    for (size_t i = 0; i < name.size(); ++i) {
      unsigned char c = (unsigned char)name[i];
      if (c >= 0x81 && c <= 0xFE && i + 1 < name.size() && name[i + 1] != '/')
        ++i;  // a GBK double byte
      else if (c == '\\' || c == '/')
        __builtin_trap();
    }
  }

 private:
  CZqSource& pack_;
  std::string folder_;
};

void Browse(CZqSource& pack, ZQ_Src_Browser* c, int order, ...) {
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
    FolderCheck check(pack);
    Browse(pack, &check, 1, -1);
    Counter c;
    Browse(pack, &c, 1, 1, 3, -1);
    Browse(pack, &c, 0, -1);
    pack.IsPathExist("a");
  }
  return 0;
}
