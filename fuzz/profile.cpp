// The settings-file reader and writer on arbitrary file content: no crash, no overrun, and a
// value written is read back as written.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "zqplatform/profile.h"
#include "scratch.h"

namespace {

std::string scratchPath() {
  static std::string path = [] {
    std::string dir = zqfuzz::ScratchFolder() + "/zqfuzz-profile-XXXXXX";
    if (!mkdtemp(dir.data())) abort();
    return dir + "/f.ini";
  }();
  return path;
}

// A name taken from the input: the text between the first '[' and ']' (or a fixed name).
std::string nameFrom(const std::string& text, char open, char close, const char* fallback) {
  size_t a = text.find(open);
  if (a == std::string::npos) return fallback;
  size_t b = text.find(close, a + 1);
  if (b == std::string::npos || b - a > 64) return fallback;
  return text.substr(a + 1, b - a - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = scratchPath();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);

  std::string section = nameFrom(text, '[', ']', "A");
  std::string key = nameFrom(text, '\n', '=', "k");
  if (section.find('\0') != std::string::npos) section = "A";
  if (key.find('\0') != std::string::npos) key = "k";

  char small[7];
  char big[512];
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "default", small, sizeof small, path.c_str());
  if (std::strlen(small) >= sizeof small) abort();
  GetPrivateProfileStringA(section.c_str(), key.c_str(), nullptr, big, sizeof big, path.c_str());
  GetPrivateProfileIntA(section.c_str(), key.c_str(), 3, path.c_str());

  // Written values read back exactly (blanks and quotes at the edges are the reader's to strip).
  const char* value = "v=1 \xB0\x5D x";
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value, path.c_str())) {
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", big, sizeof big, path.c_str());
    if (std::strcmp(big, value) != 0) {
      // A key that trims to nothing or starts a quote still has to come back the same way.
      std::fprintf(stderr, "wrote [%s] %s, read %s\n", section.c_str(), key.c_str(), big);
      abort();
    }
  }
  WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path.c_str());
  WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str());
  return 0;
}
