#include "config_files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zqtest {

ScratchDir::ScratchDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "zqtest-XXXXXX").string();
  if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace zqtest
