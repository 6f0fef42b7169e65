// Fixtures of the asset tests: a scratch folder, pictures made by ImageMagick, raw file bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets_test {

// RGBA bytes of a picture, rows top to bottom.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  uint32_t Argb(int x, int y) const;
};

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// Runs a shell command; true when it exits with 0.
bool RunTool(const std::string& command);
// Writes a picture as a PAM file (RGB_ALPHA), the tool's lossless input.
void WritePam(const std::string& path, const Picture& pic);
// The tool's own reading of a picture file (frame `frame`) as RGBA.
Picture ToolPixels(const std::string& path, int frame = 0);
std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace assets_test
