// The pack tool as its user runs it: a folder packed, listed and extracted again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "ZqSource.h"
#include "config_files.h"
#include "x_server.h"
#include "zqplatform/base.h"

namespace toolstest {
namespace {

namespace fs = std::filesystem;
using zqtest::readFile;
using zqtest::ScratchDir;
using zqtest::writeFile;

const std::string kTool = std::string(ZQ_BIN_DIR) + "/zqs-pack";

std::string Noise(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

// Every file below root, relative path -> content.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> t;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(e.path(), root).string();
    t[rel] = e.is_directory() ? std::string("<folder>") : readFile(e.path().string());
  }
  return t;
}

int Pack(const std::string& args) { return std::system((kTool + " " + args + " >/dev/null 2>&1").c_str()); }

TEST(PackTool, AFolderPackedAndExtractedIsTheSameByteForByte) {
  ScratchDir dir;
  const fs::path src = dir.file("src");
  fs::create_directories(src / "Sudrane/配置/游戏");
  fs::create_directories(src / "empty");
  writeFile((src / "text").string(), "[TEXT]\nconnect=" + zqUtf8ToGbk("正在连接") + "\n");
  writeFile((src / "拉霸").string(), "[GAMES]\n1=Sudrane\\\xC5\xE4\xD6\xC3\\\xD3\xCE\xCF\xB7\n");
  writeFile((src / "Sudrane/配置/游戏/bg.tga").string(), Noise(70000, 1));
  writeFile((src / "Sudrane/配置/游戏/zero.wav").string(), "");
  writeFile((src / "Sudrane/a.jpg").string(), Noise(333, 2));  // not a real JPEG: still a byte copy

  ASSERT_EQ(Pack("build " + dir.file("out/Data.Zqs") + " " + src.string()), 0);
  ASSERT_EQ(Pack("extract " + dir.file("out/Data.Zqs") + " " + dir.file("back")), 0);
  EXPECT_EQ(Tree(dir.file("back")), Tree(src));

  // The engine finds the files under their GBK keys, with the folder's own entry.
  CZqSource pack;
  ASSERT_EQ(pack.Load(dir.file("out/Data.Zqs").c_str()), 1);
  const sFileInfo* bg = pack.FindSource(ZQ_GBK("Sudrane\\配置\\游戏\\bg.tga"));
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(int(bg->m_type), int(FFT_TGA));  // packed fields are compared by value
  EXPECT_EQ(int(bg->m_nSize), 70000);
  EXPECT_EQ(readFile(zqMapPath(bg->m_szFile)), Noise(70000, 1));
  ASSERT_NE(pack.FindSource(ZQ_GBK("拉霸")), nullptr);
  ASSERT_NE(pack.FindSource("empty\\"), nullptr);
  EXPECT_EQ(int(pack.FindSource("empty\\")->m_type), int(FFT_FOLDER));

  // The listing names every entry in key order, keys shown as UTF-8.
  const std::string list = RunShell(kTool + " list " + dir.file("out/Data.Zqs"));
  EXPECT_EQ(list,
            " 4        333 Sudrane\\a.jpg\n"
            " 5      70000 Sudrane\\配置\\游戏\\bg.tga\n"
            " 6          0 Sudrane\\配置\\游戏\\zero.wav\n"
            " 1          0 empty\\\n"
            " 0         24 text\n"
            " 0         28 拉霸");
}

TEST(PackTool, RebuildingReplacesThePackAndBadInputFails) {
  ScratchDir dir;
  fs::create_directories(dir.file("a"));
  writeFile(dir.file("a/one.ini"), "1");
  writeFile(dir.file("a/two.ini"), "2");
  ASSERT_EQ(Pack("build " + dir.file("Data.Zqs") + " " + dir.file("a")), 0);
  fs::remove(dir.file("a/two.ini"));
  ASSERT_EQ(Pack("build " + dir.file("Data.Zqs") + " " + dir.file("a")), 0);
  ASSERT_EQ(Pack("extract " + dir.file("Data.Zqs") + " " + dir.file("back")), 0);
  EXPECT_EQ(Tree(dir.file("back")), Tree(dir.file("a")));
  // No stale data files stay behind in the data folder.
  EXPECT_EQ(Tree(dir.file("Data_files")).size(), 1u);

  EXPECT_NE(Pack("build " + dir.file("x.zqs") + " " + dir.file("missing")), 0);
  writeFile(dir.file("fake.zqs"), "not a pack");
  EXPECT_NE(Pack("list " + dir.file("fake.zqs")), 0);
  EXPECT_NE(Pack("extract " + dir.file("fake.zqs") + " " + dir.file("out")), 0);
  EXPECT_EQ(Pack("frobnicate"), 2 << 8);
}

}  // namespace
}  // namespace toolstest
