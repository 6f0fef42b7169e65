#include "runtime_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

ScratchDir::ScratchDir() {
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd)) m_old = cwd;
  std::string tmpl = (std::filesystem::temp_directory_path() / "zqrt.XXXXXX").string();
  char* made = mkdtemp(tmpl.data());
  m_path = made ? made : "";
  if (!m_path.empty() && chdir(m_path.c_str()) != 0) m_path.clear();
}

ScratchDir::~ScratchDir() {
  if (!m_old.empty() && chdir(m_old.c_str()) != 0) return;
  std::error_code ec;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}
