// Scratch folders and whole-file helpers for tests that read and write settings files.
#pragma once

#include <string>

namespace zqtest {

// A fresh folder under the system's temporary folder, removed with its content on destruction.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);  // empty when missing
bool fileExists(const std::string& path);

}  // namespace zqtest
