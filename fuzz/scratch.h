// Scratch files of the fuzz targets that must go through a file path: kept in memory (tmpfs)
// where the machine has it, since creating and renaming files on a disk file system costs more
// than the code under test.
#pragma once

#include <unistd.h>

#include <string>

namespace zqfuzz {

inline std::string ScratchFolder() {
  static const std::string folder = access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : "/tmp";
  return folder;
}

// A file name of this process in the scratch folder.
inline std::string ScratchFile(const std::string& stem) {
  return ScratchFolder() + "/" + stem + "_" + std::to_string(getpid());
}

}  // namespace zqfuzz
