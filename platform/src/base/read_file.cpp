#include "base/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <new>

namespace zqbase {

bool readWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit) {
  out.clear();
  // Not blocking: opening a FIFO would wait for a writer.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  bool ok = false;
  struct stat st;
  // A directory opens fine and fails only when read; a device or a pipe may never end.
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) <= limit) {
    try {
      // The size is a hint: the file may grow or shrink while it is read.
      out.resize(size_t(st.st_size) + 1);
      size_t used = 0;
      for (;;) {
        if (used == out.size()) {
          if (out.size() > limit) break;
          out.resize(std::min(limit + 1, out.size() * 2));
        }
        ssize_t n = ::read(fd, out.data() + used, out.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        if (n == 0) {
          ok = used <= limit;
          break;
        }
        used += size_t(n);
      }
      out.resize(ok ? used : 0);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  ::close(fd);
  if (!ok) std::vector<uint8_t>().swap(out);
  return ok;
}

}  // namespace zqbase
