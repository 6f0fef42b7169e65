// The two engine libraries come from one set of sources and export the same interface, but for
// the operations each build has alone.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::string kLib = std::string(ZQ_BIN_DIR) + "/../lib";

std::string Shell(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
  pclose(p);
  return out;
}

// The defined dynamic symbols of a library, demangled. Standard-library templates that a build
// happens to instantiate come out as weak symbols of their own; they are no part of the interface.
std::set<std::string> Exported(const std::string& file) {
  std::set<std::string> out;
  std::istringstream lines(Shell("readelf --dyn-syms -W -C '" + file + "'"));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    std::string num, value, size, type, bind, vis, ndx;
    if (!(f >> num >> value >> size >> type >> bind >> vis >> ndx)) continue;
    if (num.empty() || num.back() != ':' || ndx == "UND" || type == "FILE" || type == "SECTION") continue;
    std::string name;
    std::getline(f, name);
    name.erase(0, name.find_first_not_of(' '));
    name = name.substr(0, name.find('@'));
    if (bind == "WEAK" && name.substr(0, name.find('(')).find("std::") != std::string::npos) continue;
    if (!name.empty()) out.insert(name);
  }
  return out;
}

std::set<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::set<std::string> out;
  for (const std::string& s : a)
    if (!b.count(s)) out.insert(s);
  return out;
}

TEST(EngineBuildsTest, TheTwoLibrariesDifferExactlyByTheirOwnOperations) {
  const auto older = Exported(kLib + "/libZqLib.so");
  const auto newer = Exported(kLib + "/libZqLib4.so");
  ASSERT_GT(older.size(), 500u);
  ASSERT_GT(newer.size(), 500u);
  EXPECT_EQ(Minus(older, newer), (std::set<std::string>{
                                     "CZqEngine::SetViewParams(D3DVECTOR*, D3DVECTOR*, D3DVECTOR*, float)",
                                     "CZqGame::RestoreSource()",
                                 }));
  EXPECT_EQ(Minus(newer, older), (std::set<std::string>{
                                     "CZqGame::RestoreSourceForGame()",
                                     "CZqUIPanel::DrawNum(SScreenPoint, unsigned int)",
                                     "CZqUIPanel::SetCheckedValue(int)",
                                     "CZqUIPanel::SetEnableValue(int)",
                                     "CZqUIPanel::SetPressValue(int)",
                                     "CZqUIPanel::SetTouch(int)",
                                     "CZqUIPanel::SetTouchValue(int)",
                                     "CZqUIPanel::SetUIValue(int, int, int, int, int)",
                                     "CZqUIPanel::SetVisibleValue(int)",
                                     "CZqUIPanel::UpdateRender()",
                                     "ZQ_UI_ActiveCaption::Add_Broadcast(char const*, bool)",
                                     "ZQ_UI_ActiveCaption::Update_Broadcast()",
                                 }));
}

}  // namespace
