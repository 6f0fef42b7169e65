// The resource pack against index files and data folders in a scratch folder.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <tuple>

#include "ZqLib.h"
#include "assets_support.h"

using namespace assets_test;
namespace fs = std::filesystem;

namespace {

int32_t I32(const std::vector<uint8_t>& b, size_t at) {
  return (int32_t)(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24);
}
void Put32(std::vector<uint8_t>& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t((uint32_t)v >> (8 * i));
}
std::string Text(const std::vector<uint8_t>& b, size_t at) { return std::string((const char*)&b[at]); }

// An index as a pack writes it: header, gap, then entries of key and record.
std::vector<uint8_t> IndexBytes(const std::string& dataName, int32_t count, int32_t next,
                                const std::vector<std::pair<std::string, int32_t>>& entries = {}) {
  std::vector<uint8_t> b(1000 + 779 * entries.size(), 0);
  memcpy(b.data(), "ZQS2003a", 8);
  memcpy(&b[16], dataName.data(), std::min<size_t>(dataName.size(), 255));
  Put32(b, 271, count);
  Put32(b, 275, 1000);
  Put32(b, 279, next);
  for (size_t i = 0; i < entries.size(); ++i) {
    size_t at = 1000 + 779 * i;
    memcpy(&b[at], entries[i].first.data(), entries[i].first.size());
    Put32(b, at + 255, entries[i].second);
    std::string file = entries[i].second == 1 ? "" : "0000000" + std::to_string(i) + ".zq_";
    memcpy(&b[at + 259], file.data(), file.size());
  }
  return b;
}

// Counts the calls of the modified-flag hook.
class CountingPack : public CZqSource {
 public:
  int calls = 0;
  void OnSetModify() override { ++calls; }
};

struct Item {
  std::string name;
  int type;
  bool operator==(const Item& o) const { return name == o.name && type == o.type; }
};

class Recorder : public ZQ_Src_Browser {
 public:
  std::vector<Item> items;
  void AddItem(const char* name, _FILE_FORMAT_TYPE type) override { items.push_back({name, type}); }
};

void Browse(CZqSource& pack, ZQ_Src_Browser* r, int order, ...) {
  va_list args;
  va_start(args, order);
  pack.UpdateToBrower(r, order, args);
  va_end(args);
}

// A pack folder: index "Data.Zqs" naming the data folder "store".
class Pack : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir / "Data.Zqs", IndexBytes("store", 0, 0));
    WriteBytes(dir / "a.txt", {'h', 'i'});
    WriteBytes(dir / "b.bmp", {'B', 'M', 1, 2, 3});
  }
  std::string IndexPath() const { return dir / "Data.Zqs"; }
  ScratchDir dir;
};

}  // namespace

TEST_F(Pack, ImportSaveAndLoadRoundTrip) {
  {
    CZqSource pack;
    ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
    EXPECT_TRUE(pack.IsReady());
    EXPECT_STREQ(pack.GetDataName(), "store");  // from the index, not from its own name
    EXPECT_EQ(pack.GetDataPath(), dir.Path() + "\\store");
    EXPECT_EQ(pack.GetZqsFileName(), IndexPath());
    const char* a = pack.ImportFile("ui\\a.txt", (dir / "a.txt").c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::string(a), dir.Path() + "\\store\\00000000.zq_");
    ASSERT_NE(pack.ImportFile("b.bmp", (dir / "b.bmp").c_str()), nullptr);
    ASSERT_NE(pack.AddFile("ui\\sub", FFT_FOLDER), nullptr);
    EXPECT_EQ(ReadBytes(dir / "store/00000001.zq_"), ReadBytes(dir / "b.bmp"));
    EXPECT_TRUE(pack.IsModify());
    EXPECT_EQ(pack.Save(), 1);
    EXPECT_FALSE(pack.IsModify());
  }
  auto b = ReadBytes(IndexPath());
  ASSERT_EQ(b.size(), 1000u + 3 * 779);
  EXPECT_EQ(Text(b, 0), "ZQS2003a");
  EXPECT_EQ(Text(b, 16), "store");
  EXPECT_EQ(I32(b, 271), 3);
  EXPECT_EQ(I32(b, 275), 1000);
  EXPECT_EQ(I32(b, 279), 2);
  const char* keys[] = {"b.bmp", "ui\\a.txt", "ui\\sub\\"};  // byte order
  const char* files[] = {"00000001.zq_", "00000000.zq_", ""};
  const int types[] = {3, 11, 1}, sizes[] = {5, 2, 0};
  for (int i = 0; i < 3; ++i) {
    size_t at = 1000 + 779 * i;
    EXPECT_EQ(Text(b, at), keys[i]);
    EXPECT_EQ(I32(b, at + 255), types[i]);
    EXPECT_EQ(Text(b, at + 259), files[i]);
    EXPECT_EQ(I32(b, at + 514), sizes[i]);
  }

  CZqSource pack;
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  sFileInfo* a = pack.FindSource("ui\\a.txt");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(int(a->m_type), FFT_TXT);
  EXPECT_EQ(int(a->m_nSize), 2);
  EXPECT_EQ(std::string(a->m_szFile), dir.Path() + "\\store\\00000000.zq_");
  ASSERT_NE(pack.FindSource("ui\\sub\\"), nullptr);
  EXPECT_EQ(int(pack.FindSource("ui\\sub\\")->m_type), FFT_FOLDER);
  EXPECT_EQ(pack.ExportFile("b.bmp", (dir / "out.bmp").c_str()), 1);
  EXPECT_EQ(ReadBytes(dir / "out.bmp"), ReadBytes(dir / "b.bmp"));
  EXPECT_EQ(pack.ExportFile("none", (dir / "x").c_str()), 0);
  EXPECT_EQ(pack.AddFile("c.ini", FFT_INI), dir.Path() + "\\store\\00000002.zq_");  // numbers go on
}

TEST_F(Pack, AddFileKeysAndNumbers) {
  CountingPack pack;
  EXPECT_EQ(pack.AddFile("x.ini", FFT_INI), nullptr);  // not ready without an index
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  int calls = pack.calls;
  std::string first = pack.AddFile("x.ini", FFT_INI);
  EXPECT_EQ(pack.calls, calls + 1);  // the flag went from 0 to 1
  EXPECT_EQ(pack.AddFile("x.ini", FFT_TXT), first);
  EXPECT_EQ(int(pack.FindSource("x.ini")->m_type), FFT_TXT);
  EXPECT_STREQ(pack.AddFile("dir", FFT_FOLDER), "");  // a folder uses no number
  EXPECT_NE(pack.FindSource("dir\\"), nullptr);
  EXPECT_EQ(pack.AddFile("\\lead.ini", FFT_INI), dir.Path() + "\\store\\00000001.zq_");
  EXPECT_NE(pack.FindSource("lead.ini"), nullptr);
  EXPECT_EQ(pack.FindSource("\\lead.ini"), nullptr);  // lookups take the key as given
  EXPECT_EQ(pack.AddFile(std::string(255, 'k').c_str(), FFT_INI), nullptr);
  EXPECT_NE(pack.AddFile(std::string(254, 'k').c_str(), FFT_INI), nullptr);
  EXPECT_EQ(pack.calls, calls + 1);
}

TEST_F(Pack, DeleteKeepsTheFolderOfTheLastItem) {
  CZqSource pack;
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  std::string a = pack.ImportFile("ui\\a.txt", (dir / "a.txt").c_str());
  pack.ImportFile("ui\\deep\\b.bmp", (dir / "b.bmp").c_str());
  pack.AddFile("ui\\deep", FFT_FOLDER);
  pack.ImportFile("top.txt", (dir / "a.txt").c_str());
  pack.Save();
  pack.DeleteFileA("ui\\a.txt");
  EXPECT_EQ(pack.FindSource("ui\\a.txt"), nullptr);
  EXPECT_FALSE(fs::exists(dir / "store/00000000.zq_"));
  EXPECT_TRUE(pack.IsModify());
  EXPECT_EQ(pack.IsPathExist("ui\\"), 1);
  pack.DeleteFileA("ui\\deep\\");  // the folder and everything under it
  EXPECT_EQ(pack.FindSource("ui\\deep\\b.bmp"), nullptr);
  EXPECT_EQ(pack.FindSource("ui\\deep\\"), nullptr);
  EXPECT_FALSE(fs::exists(dir / "store/00000001.zq_"));
  ASSERT_NE(pack.FindSource("ui\\"), nullptr);  // re-created as the last item went
  EXPECT_EQ(int(pack.FindSource("ui\\")->m_type), FFT_FOLDER);
  EXPECT_NE(pack.FindSource("top.txt"), nullptr);
  EXPECT_EQ(pack.IsPathExist("\\"), 1);
  EXPECT_EQ(pack.IsPathExist("to"), 1);
  EXPECT_EQ(pack.IsPathExist("zz"), 0);
  pack.DeleteFileA("");
  EXPECT_EQ(pack.FindSource("top.txt"), nullptr);
}

TEST_F(Pack, BrowseByTypeList) {
  CZqSource pack;
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  pack.AddFile("a\\x.bmp", FFT_BMP);
  pack.AddFile("a\\y.ini", FFT_INI);
  pack.AddFile("b.bmp", FFT_BMP);
  Recorder all, bmps, folders, down, bad;
  Browse(pack, &all, 1, -1);
  EXPECT_EQ(all.items, (std::vector<Item>{{"a\\x.bmp", 3}, {"a\\y.ini", 2}, {"b.bmp", 3}}));
  Browse(pack, &bmps, 1, 3, -1);
  EXPECT_EQ(bmps.items, (std::vector<Item>{{"a\\x.bmp", 3}, {"b.bmp", 3}}));
  Browse(pack, &folders, 1, 1, -1);
  EXPECT_EQ(folders.items, (std::vector<Item>{{"a", 1}, {"a", 1}, {"", 1}}));
  Browse(pack, &down, 0, 2, 3, -7);  // any negative value ends the list
  EXPECT_EQ(down.items, (std::vector<Item>{{"b.bmp", 3}, {"a\\y.ini", 2}, {"a\\x.bmp", 3}}));
  Browse(pack, &bad, 1, 4, 0, -1);  // a 0 selects all
  EXPECT_EQ(bad.items.size(), 3u);
  Browse(pack, nullptr, 1, -1);
}

TEST_F(Pack, RefusedIndexes) {
  CZqSource pack;
  EXPECT_EQ(pack.Load((dir / "missing.Zqs").c_str()), 0);
  EXPECT_FALSE(fs::exists(dir / "missing.Zqs"));  // nothing is created
  EXPECT_FALSE(pack.IsReady());
  struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"other signature",
       [] {
         auto b = IndexBytes("store", 0, 0);
         b[7] = 'b';
         return b;
       }()},
      {"no end in 16 bytes",
       [] {
         auto b = IndexBytes("store", 0, 0);
         memset(b.data() + 8, 'x', 8);
         return b;
       }()},
      {"short header",
       [] {
         auto b = IndexBytes("store", 0, 0);
         b.resize(200);
         return b;
       }()},
      {"data path too long", IndexBytes(std::string(254, 'd'), 0, 0)},
  };
  for (auto& c : cases) {
    WriteBytes(dir / "bad.Zqs", c.bytes);
    EXPECT_EQ(pack.Load((dir / "bad.Zqs").c_str()), 0) << c.name;
    EXPECT_FALSE(pack.IsReady()) << c.name;
    EXPECT_EQ(ReadBytes(dir / "bad.Zqs"), c.bytes) << c.name;
  }
}

TEST_F(Pack, UntrustedCountsAndFields) {
  CZqSource pack;
  auto b = IndexBytes("store", 0x7FFFFFFF, 5, {{"one.txt", 11}, {"two", 1}});  // count beyond the file
  WriteBytes(IndexPath(), b);
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  EXPECT_NE(pack.FindSource("one.txt"), nullptr);
  EXPECT_NE(pack.FindSource("two\\"), nullptr);
  Put32(b, 271, -3);
  WriteBytes(IndexPath(), b);
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  EXPECT_EQ(pack.FindSource("one.txt"), nullptr);
  // A key field without its NUL ends inside the field.
  b = IndexBytes("store", 1, 0, {{"", 11}});
  memset(&b[1000], 'k', 255);
  WriteBytes(IndexPath(), b);
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  EXPECT_NE(pack.FindSource(std::string(254, 'k').c_str()), nullptr);
}

TEST_F(Pack, FailedSaveKeepsTheFlag) {
  CZqSource pack;
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  pack.AddFile("x.ini", FFT_INI);
  fs::remove(IndexPath());
  fs::create_directory(IndexPath());  // the index can no longer be written
  EXPECT_EQ(pack.Save(), 0);
  EXPECT_TRUE(pack.IsModify());
  fs::remove(IndexPath());
  EXPECT_EQ(pack.Save(), 1);
  EXPECT_FALSE(pack.IsModify());
  EXPECT_EQ(I32(ReadBytes(IndexPath()), 271), 1);
}

// An index the process may only read still loads; its Save then fails and keeps the flag.
TEST_F(Pack, ReadOnlyIndexLoadsAndItsSaveFails) {
  const auto original = ReadBytes(IndexPath());
  fs::permissions(IndexPath(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // Root may write any file, so the pack runs in a child without that right.
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(10);
    CZqSource pack;
    if (pack.Load(IndexPath().c_str()) != 1) ::_exit(11);
    if (!pack.AddFile("x.ini", FFT_INI)) ::_exit(12);
    if (pack.Save() != 0) ::_exit(13);
    if (!pack.IsModify()) ::_exit(14);
    ::_exit(0);  // no destructor: it would try once more
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10 no unprivileged user, 11 load, 12 add, 13 save, 14 flag";
  EXPECT_EQ(ReadBytes(IndexPath()), original);
}

TEST_F(Pack, FontsAreRegisteredWhileHeld) {
  const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!fs::exists(font)) GTEST_SKIP() << "no DejaVu font";
  std::string data;
  {
    CZqSource pack;
    ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
    const char* p = pack.ImportFile("f\\face.ttf", font);
    ASSERT_NE(p, nullptr);
    data = p;
    EXPECT_TRUE(RemoveFontResourceA(data.c_str()));  // registered: undo and restore
    EXPECT_GT(AddFontResourceA(data.c_str()), 0);
  }
  EXPECT_FALSE(RemoveFontResourceA(data.c_str()));  // the destructor unregistered it
  CZqSource pack;
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  EXPECT_TRUE(RemoveFontResourceA(data.c_str()));
  EXPECT_GT(AddFontResourceA(data.c_str()), 0);
  pack.DeleteFileA("f\\face.ttf");
  EXPECT_FALSE(RemoveFontResourceA(data.c_str()));
}

namespace {

// An index of "store" whose entries carry the given key, type and stored file name.
std::vector<uint8_t> IndexWithFiles(
    const std::vector<std::tuple<std::string, int32_t, std::string>>& entries) {
  std::vector<uint8_t> b = IndexBytes("store", int32_t(entries.size()), 9);
  b.resize(1000 + 779 * entries.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    auto& [key, type, file] = entries[i];
    size_t at = 1000 + 779 * i;
    memcpy(&b[at], key.data(), key.size());
    Put32(b, at + 255, type);
    memcpy(&b[at + 259], file.data(), file.size());
  }
  return b;
}

// Every data file of a loaded pack is one plain name directly in its data folder.
void ExpectAllInDataFolder(CZqSource& pack, const std::string& what) {
  Recorder all;
  Browse(pack, &all, 1, -1);
  const std::string folder = std::string(pack.GetDataPath()) + "\\";
  for (auto& item : all.items) {
    std::string file = pack.FindSource(item.name.c_str())->m_szFile;
    if (file.empty()) continue;
    ASSERT_EQ(file.compare(0, folder.size(), folder), 0) << what << ": " << file;
    std::string name = file.substr(folder.size());
    EXPECT_TRUE(name != "." && name != ".." && !name.empty()) << what << ": " << file;
    for (size_t i = 0; i < name.size(); ++i) {
      if ((unsigned char)name[i] >= 0x81 && (unsigned char)name[i] <= 0xFE) {
        ++i;  // a GBK double byte, whose trail byte may be 0x5C
        continue;
      }
      EXPECT_TRUE(name[i] != '\\' && name[i] != '/') << what << ": " << file;
    }
  }
}

}  // namespace

TEST_F(Pack, CraftedNamesStayInTheDataFolder) {
  CZqSource pack;
  // A data folder name that is not one folder name fails the index.
  for (std::string name : {"", ".", "..", "a\\b", "\\\\", "..\\..", "a/b", "/", "\\store", "ab\x81"}) {
    auto b = IndexBytes(name, 0, 0);
    WriteBytes(IndexPath(), b);
    EXPECT_EQ(pack.Load(IndexPath().c_str()), 0) << name;
    EXPECT_FALSE(pack.IsReady()) << name;
    EXPECT_EQ(ReadBytes(IndexPath()), b) << name;
  }
  // A GBK double byte whose trail byte is 0x5C is part of one name.
  WriteBytes(IndexPath(), IndexBytes("d\x95\\", 0, 0));
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  EXPECT_EQ(pack.GetDataPath(), dir.Path() + "\\d\x95\\");

  // An entry whose file is not one plain name, or a file entry without one, is left out alone.
  WriteBytes(IndexPath(), IndexWithFiles({{"dots", 11, ".."},
                                          {"dot", 11, "."},
                                          {"back", 11, "a\\b"},
                                          {"two", 11, "\\\\"},
                                          {"slash", 11, "x/y"},
                                          {"up", 22, "..\\..\\x.ttf"},
                                          {"lead", 11, "\x81"},
                                          {"none", 11, ""},
                                          {"folder", 1, ""},
                                          {"gbk", 11, "\x95\\.zq_"},
                                          {"fine", 11, "00000003.zq_"}}));
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  for (const char* key : {"dots", "dot", "back", "two", "slash", "up", "lead", "none"})
    EXPECT_EQ(pack.FindSource(key), nullptr) << key;
  EXPECT_NE(pack.FindSource("folder\\"), nullptr);
  ASSERT_NE(pack.FindSource("gbk"), nullptr);
  EXPECT_EQ(std::string(pack.FindSource("gbk")->m_szFile), dir.Path() + "\\store\\\x95\\.zq_");
  ASSERT_NE(pack.FindSource("fine"), nullptr);
  EXPECT_EQ(std::string(pack.FindSource("fine")->m_szFile), dir.Path() + "\\store\\00000003.zq_");
  ExpectAllInDataFolder(pack, "crafted entries");
}

// A fuzzed index whose font entry resolved to a folder, which aborted the load.
TEST_F(Pack, FuzzedFontEntryLoadsOrFailsCleanly) {
  auto bytes = ReadBytes(ZQ_TEST_DATA "/source/font-entry-is-a-directory.Zqs");
  ASSERT_EQ(bytes.size(), 1600u);
  // Just below the root, where it was found, and deeper down.
  const std::string places[] = {
      (fs::temp_directory_path() / ("zq-pack-" + std::to_string(::getpid()) + ".Zqs")).string(), IndexPath()};
  for (const std::string& at : places) {
    WriteBytes(at, bytes);
    {
      CZqSource pack;
      if (pack.Load(at.c_str())) ExpectAllInDataFolder(pack, at);
      EXPECT_EQ(pack.FindSource("02a"), nullptr) << at;  // its file is no name in the data folder
    }
    EXPECT_EQ(ReadBytes(at), bytes) << at;
    fs::remove(at);
  }
}

TEST_F(Pack, UnreadableFontDataFailsOnlyItsRegistration) {
  WriteBytes(IndexPath(), IndexWithFiles({{"f.ttf", 22, "00000000.zq_"},
                                          {"g.fon", 21, "00000001.zq_"},
                                          {"a.txt", 11, "00000002.zq_"}}));
  fs::create_directories(dir / "store/00000000.zq_");  // a folder where the font should be
  WriteBytes(dir / "store/00000002.zq_", {'h', 'i'});  // g.fon's file is missing
  CZqSource pack;
  ASSERT_EQ(pack.Load(IndexPath().c_str()), 1);
  for (const char* key : {"f.ttf", "g.fon", "a.txt"}) EXPECT_NE(pack.FindSource(key), nullptr) << key;
  EXPECT_FALSE(RemoveFontResourceA(pack.FindSource("f.ttf")->m_szFile));  // never registered
  EXPECT_EQ(pack.ExportFile("a.txt", (dir / "out.txt").c_str()), 1);
  EXPECT_EQ(ReadBytes(dir / "out.txt"), (std::vector<uint8_t>{'h', 'i'}));
}
