// Shell file operations over std::filesystem; names are Windows-style GBK paths.
#include "zqplatform/shell.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "zqplatform/base.h"

namespace fs = std::filesystem;

namespace {

// Error results (non-zero means failure).
constexpr int kErrBadArgs = 0x7C;    // bad or missing names
constexpr int kErrNotFound = 0x402;  // source missing
constexpr int kErrExists = 0x50;     // target exists and overwriting was not allowed
constexpr int kErrFailed = 0x10000;  // the file system refused

std::vector<std::string> SplitList(LPCSTR list) {
  std::vector<std::string> names;
  if (!list) return names;
  while (*list) {
    std::string name(list);
    list += name.size() + 1;
    names.push_back(name);
  }
  return names;
}

int CopyOne(const fs::path& from, const fs::path& to, bool overwrite) {
  std::error_code ec;
  if (!fs::exists(from, ec)) return kErrNotFound;
  if (!overwrite && fs::exists(to, ec)) return kErrExists;
  if (to.has_parent_path()) fs::create_directories(to.parent_path(), ec);
  ec.clear();
  if (fs::is_directory(from, ec)) {
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  } else {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  }
  return ec ? kErrFailed : 0;
}

int MoveOne(const fs::path& from, const fs::path& to, bool overwrite) {
  std::error_code ec;
  if (!fs::exists(from, ec)) return kErrNotFound;
  if (fs::exists(to, ec)) {
    if (!overwrite) return kErrExists;
    if (fs::equivalent(from, to, ec)) return 0;
    fs::remove_all(to, ec);
  }
  if (to.has_parent_path()) fs::create_directories(to.parent_path(), ec);
  ec.clear();
  fs::rename(from, to, ec);
  if (!ec) return 0;
  // Across file systems: copy, then remove the source.
  int r = CopyOne(from, to, true);
  if (r) return r;
  fs::remove_all(from, ec);
  return ec ? kErrFailed : 0;
}

// The destination of one source: into an existing folder, or the name itself.
fs::path Target(const fs::path& from, const std::string& to, bool toIsFolder) {
  fs::path dst = zqMapPath(to.c_str());
  if (toIsFolder) return dst / from.filename();
  return dst;
}

}  // namespace

ZQPLAT_API int SHFileOperationA(LPSHFILEOPSTRUCTA op) {
  if (!op) return kErrBadArgs;
  op->fAnyOperationsAborted = FALSE;
  std::vector<std::string> from = SplitList(op->pFrom);
  std::vector<std::string> to = SplitList(op->pTo);
  if (from.empty()) return kErrBadArgs;
  bool overwrite = (op->fFlags & FOF_NOCONFIRMATION) != 0;
  bool multiDest = (op->fFlags & FOF_MULTIDESTFILES) != 0;
  std::error_code ec;

  if (op->wFunc == FO_DELETE) {
    for (const std::string& name : from) {
      fs::path p = zqMapPath(name.c_str());
      if (!fs::exists(fs::symlink_status(p, ec))) return kErrNotFound;
      fs::remove_all(p, ec);
      if (ec) return kErrFailed;
    }
    return 0;
  }

  if (op->wFunc != FO_COPY && op->wFunc != FO_MOVE && op->wFunc != FO_RENAME) return kErrBadArgs;
  if (to.empty()) return kErrBadArgs;
  if (op->wFunc == FO_RENAME && (from.size() != 1 || to.size() != 1)) return kErrBadArgs;
  if (multiDest && to.size() != from.size()) return kErrBadArgs;

  for (size_t i = 0; i < from.size(); ++i) {
    fs::path src = zqMapPath(from[i].c_str());
    const std::string& dstName = multiDest ? to[i] : to[0];
    // Several sources into one destination: it is a folder (created when missing).
    bool intoFolder = false;
    if (op->wFunc != FO_RENAME) {
      fs::path d = zqMapPath(dstName.c_str());
      intoFolder = fs::is_directory(d, ec) || (!multiDest && from.size() > 1);
      if (intoFolder && fs::exists(src, ec) && fs::is_directory(src, ec) && !fs::exists(d, ec))
        intoFolder = false;  // copying a folder to a new name
    }
    fs::path dst = Target(src, dstName, intoFolder);
    int r = op->wFunc == FO_COPY ? CopyOne(src, dst, overwrite) : MoveOne(src, dst, overwrite);
    if (r) return r;
  }
  return 0;
}
