#include "audio_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

bool RunQuiet(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

bool MakeToneWave(const std::string& path, int rate, int bits, int channels, double seconds) {
  const char* encoding = bits == 8 ? "unsigned-integer" : "signed-integer";
  return RunQuiet("sox -n -r " + std::to_string(rate) + " -b " + std::to_string(bits) + " -c " +
                  std::to_string(channels) + " -e " + encoding + " '" + path + "' synth " +
                  std::to_string(seconds) + " sine 440");
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
