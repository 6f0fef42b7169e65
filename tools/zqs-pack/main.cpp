// zqs-pack: resource packs from folders and back, through the engine's pack class.
//   zqs-pack build INDEX FOLDER [--data NAME]   a new pack of every file under FOLDER
//   zqs-pack list INDEX                          one line per entry: type, size, key
//   zqs-pack extract INDEX FOLDER                every entry written back under FOLDER
// Keys are the files' paths relative to FOLDER with backslashes, GBK as the engine reads them;
// on disk and on the terminal names are UTF-8. Exits 0 on success, 1 on failure, 2 on bad use.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "ZqSource.h"
#include "zqplatform/base.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kIndexHeader = 1000;  // the first entry's offset
constexpr size_t kMaxKey = 254;

int Usage() {
  std::fprintf(stderr,
               "usage: zqs-pack build INDEX FOLDER [--data NAME]\n"
               "       zqs-pack list INDEX\n"
               "       zqs-pack extract INDEX FOLDER\n");
  return 2;
}

// Engine paths are GBK; the file system's names are UTF-8.
std::string EnginePath(const fs::path& p) { return zqUtf8ToGbk(fs::absolute(p).lexically_normal().string()); }

std::string KeyOf(const fs::path& relative) {
  std::string key;
  for (const fs::path& part : relative) {
    if (!key.empty()) key += '\\';
    key += zqUtf8ToGbk(part.string());
  }
  return key;
}

// The pack class loads an index but never makes one: a new index is its bare header.
bool WriteEmptyIndex(const fs::path& index, const std::string& dataName) {
  std::vector<unsigned char> header(kIndexHeader, 0);
  std::memcpy(header.data(), "ZQS2003a", 8);
  std::memcpy(&header[16], dataName.data(), dataName.size());
  const unsigned char first[4] = {kIndexHeader & 0xFF, (kIndexHeader >> 8) & 0xFF, 0, 0};
  std::memcpy(&header[275], first, 4);
  std::FILE* f = std::fopen(index.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
  return std::fclose(f) == 0 && ok;
}

struct SEntry {
  std::string key;
  _FILE_FORMAT_TYPE type;
};

class CCollect : public ZQ_Src_Browser {
 public:
  void AddItem(const char* name, _FILE_FORMAT_TYPE type) override { entries.push_back({name, type}); }
  std::vector<SEntry> entries;
};

void CollectAll(CZqSource& pack, CCollect* browser, ...) {
  va_list types;
  va_start(types, browser);
  pack.UpdateToBrower(browser, 1, types);
  va_end(types);
}

std::vector<SEntry> Entries(CZqSource& pack) {
  CCollect browser;
  CollectAll(pack, &browser, -1);
  return browser.entries;
}

bool LoadPack(CZqSource& pack, const fs::path& index) {
  if (pack.Load(EnginePath(index).c_str())) return true;
  std::fprintf(stderr, "zqs-pack: %s is not a resource pack\n", index.c_str());
  return false;
}

int Build(const fs::path& index, const fs::path& folder, std::string dataName) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    std::fprintf(stderr, "zqs-pack: %s is not a folder\n", folder.c_str());
    return 1;
  }
  if (dataName.empty()) dataName = index.stem().string() + "_files";
  if (dataName.size() > 254 || dataName.find_first_of("/\\") != std::string::npos) {
    std::fprintf(stderr, "zqs-pack: bad data folder name '%s'\n", dataName.c_str());
    return 2;
  }
  // Files and folders in a fixed order, so the same folder always gives the same pack.
  std::vector<fs::path> files, emptyFolders;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path rel = fs::relative(it->path(), folder);
    if (it->is_directory()) {
      if (fs::is_empty(it->path(), ec)) emptyFolders.push_back(rel);
    } else if (it->is_regular_file()) {
      files.push_back(rel);
    }
  }
  if (ec) {
    std::fprintf(stderr, "zqs-pack: %s: %s\n", folder.c_str(), ec.message().c_str());
    return 1;
  }
  std::sort(files.begin(), files.end());
  std::sort(emptyFolders.begin(), emptyFolders.end());

  const fs::path dataFolder = index.parent_path() / dataName;
  fs::remove_all(dataFolder, ec);
  fs::create_directories(dataFolder, ec);
  if (ec || !WriteEmptyIndex(index, dataName)) {
    std::fprintf(stderr, "zqs-pack: cannot write %s\n", index.c_str());
    return 1;
  }
  CZqSource pack;
  if (!LoadPack(pack, index)) return 1;
  for (const fs::path& rel : files) {
    const std::string key = KeyOf(rel);
    if (key.size() > kMaxKey || !pack.ImportFile(key.c_str(), EnginePath(folder / rel).c_str())) {
      std::fprintf(stderr, "zqs-pack: cannot import %s\n", rel.c_str());
      return 1;
    }
  }
  for (const fs::path& rel : emptyFolders) {
    const std::string key = KeyOf(rel);
    if (key.size() >= kMaxKey || !pack.AddFile(key.c_str(), FFT_FOLDER)) {
      std::fprintf(stderr, "zqs-pack: cannot add folder %s\n", rel.c_str());
      return 1;
    }
  }
  if (!pack.Save()) {
    std::fprintf(stderr, "zqs-pack: cannot save %s\n", index.c_str());
    return 1;
  }
  std::printf("zqs-pack: %zu files into %s\n", files.size(), index.c_str());
  return 0;
}

int List(const fs::path& index) {
  CZqSource pack;
  if (!LoadPack(pack, index)) return 1;
  for (const SEntry& e : Entries(pack)) {
    const sFileInfo* info = pack.FindSource(e.key.c_str());
    std::printf("%2d %10d %s\n", e.type, info ? info->m_nSize : 0, zqGbkToUtf8(e.key).c_str());
  }
  return 0;
}

// A key as a path under the folder: backslashes separate, GBK names become UTF-8.
fs::path OutputPath(const fs::path& folder, const std::string& key) {
  fs::path out = folder;
  size_t start = 0;
  while (start < key.size()) {
    size_t end = start;
    // Skip GBK double bytes: their second byte may be a backslash.
    while (end < key.size() && key[end] != '\\')
      end += (static_cast<unsigned char>(key[end]) >= 0x81) ? 2 : 1;
    end = std::min(end, key.size());
    const std::string part = key.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return {};
    out /= zqGbkToUtf8(part);
    start = end + 1;
  }
  return out;
}

int Extract(const fs::path& index, const fs::path& folder) {
  CZqSource pack;
  if (!LoadPack(pack, index)) return 1;
  int count = 0;
  for (const SEntry& e : Entries(pack)) {
    const fs::path out = OutputPath(folder, e.key);
    if (out.empty()) {
      std::fprintf(stderr, "zqs-pack: skipped unsafe key %s\n", zqGbkToUtf8(e.key).c_str());
      return 1;
    }
    std::error_code ec;
    if (e.type == FFT_FOLDER) {
      fs::create_directories(out, ec);
      continue;
    }
    fs::create_directories(out.parent_path(), ec);
    if (ec || !pack.ExportFile(e.key.c_str(), EnginePath(out).c_str())) {
      std::fprintf(stderr, "zqs-pack: cannot extract %s\n", zqGbkToUtf8(e.key).c_str());
      return 1;
    }
    ++count;
  }
  std::printf("zqs-pack: %d files into %s\n", count, folder.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "build" && (argc == 4 || (argc == 6 && std::strcmp(argv[4], "--data") == 0)))
    return Build(argv[2], argv[3], argc == 6 ? argv[5] : "");
  if (command == "list" && argc == 3) return List(argv[2]);
  if (command == "extract" && argc == 4) return Extract(argv[2], argv[3]);
  return Usage();
}
