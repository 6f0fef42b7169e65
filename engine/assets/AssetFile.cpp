#include "AssetFile.h"

#include <cstring>

#include "zqplatform/base.h"

namespace zq_assets {

std::string MapPath(const char* path) { return zqMapPath(path ? path : ""); }

FILE* OpenFile(const char* path, const char* mode) {
  if (!path || !*path) return nullptr;
  return fopen(MapPath(path).c_str(), mode);
}

std::string FileNamePart(const char* path) {
  if (!path) return std::string();
  const char* last = path;
  for (const unsigned char* p = (const unsigned char*)path; *p; ++p) {
    if (*p >= 0x81 && *p <= 0xFE && p[1]) {  // GBK lead byte: its trail byte may be 0x5C
      ++p;
      continue;
    }
    if (*p == '\\' || *p == '/') last = (const char*)p + 1;
  }
  return std::string(last);
}

}  // namespace zq_assets

namespace zq_assets {

std::string ParentPart(const char* path) {
  std::string name = FileNamePart(path);
  std::string all = path ? path : "";
  if (name.size() == all.size()) return std::string();
  return all.substr(0, all.size() - name.size() - 1);
}

}  // namespace zq_assets
