#include "assets_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace assets_test {

uint32_t Picture::Argb(int x, int y) const {
  const uint8_t* p = &rgba[((size_t)y * width + x) * 4];
  return ((uint32_t)p[3] << 24) | ((uint32_t)p[0] << 16) | ((uint32_t)p[1] << 8) | p[2];
}

ScratchDir::ScratchDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto p = base / ("zq_assets_" + std::to_string(rd()));
    if (std::filesystem::create_directory(p)) {
      m_path = p.string();
      break;
    }
  }
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

bool RunTool(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

void WritePam(const std::string& path, const Picture& pic) {
  std::ofstream out(path, std::ios::binary);
  out << "P7\nWIDTH " << pic.width << "\nHEIGHT " << pic.height
      << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  out.write(reinterpret_cast<const char*>(pic.rgba.data()), (std::streamsize)pic.rgba.size());
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
}

Picture ToolPixels(const std::string& path, int frame) {
  std::string raw = path + ".rgba";
  std::string src = "'" + path + "[" + std::to_string(frame) + "]'";
  std::string size = raw + ".size";
  if (!RunTool("identify -format '%w %h' " + src + " > '" + size + "'") ||
      !RunTool("convert " + src + " -auto-orient -depth 8 rgba:'" + raw + "'"))
    throw std::runtime_error("convert failed on " + path);
  Picture pic;
  std::ifstream(size) >> pic.width >> pic.height;
  pic.rgba = ReadBytes(raw);
  if (pic.rgba.size() != (size_t)pic.width * pic.height * 4) throw std::runtime_error("bad tool output");
  return pic;
}

}  // namespace assets_test
