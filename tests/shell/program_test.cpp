// The program itself: what it links against, and a start outside the lobby.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <set>
#include <unistd.h>
#include <sstream>
#include <string>

#include "runtime_support.h"

namespace {

const std::string kBin = ZQ_BIN_DIR;
const std::string kLib = kBin + "/../lib";

// The output of a command; its exit status in *status.
std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
  const int rc = pclose(p);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

// Dynamic symbols of a file from readelf: the undefined ones (strong references only) or the
// defined ones, without their version suffix ("@GLIBC_2.2.5").
std::set<std::string> DynamicSymbols(const std::string& file, bool undefined) {
  std::set<std::string> out;
  std::istringstream lines(Shell("readelf --dyn-syms -W '" + file + "'"));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    std::string num, value, size, type, bind, vis, ndx, name;
    if (!(f >> num >> value >> size >> type >> bind >> vis >> ndx >> name)) continue;
    if (num.empty() || num.back() != ':' || type == "FILE" || type == "SECTION") continue;
    const bool isUndefined = ndx == "UND";
    if (isUndefined != undefined || name.empty()) continue;
    if (undefined && bind == "WEAK") continue;
    out.insert(name.substr(0, name.find('@')));
  }
  return out;
}

std::string Demangled(const std::string& name) {
  return Shell("echo '" + name + "' | c++filt | tr -d '\\n'");
}

TEST(ProgramTest, TolvaneNeedsTheEngineByItsLoadNameAndTheOlderBuildHasEveryImport) {
  const std::string program = kBin + "/Tolvane";
  const std::string dynamic = Shell("readelf -d -W '" + program + "'");
  EXPECT_NE(dynamic.find("Shared library: [libZqLib2.so]"), std::string::npos) << dynamic;
  EXPECT_EQ(dynamic.find("[libZqLib4.so]"), std::string::npos);
  EXPECT_EQ(dynamic.find("[libZqLib.so]"), std::string::npos);
  EXPECT_NE(Shell("readelf -d -W '" + kLib + "/libZqLib.so'").find("Library soname: [libZqLib2.so]"),
            std::string::npos);

  const auto older = DynamicSymbols(kLib + "/libZqLib.so", false);
  const auto newer = DynamicSymbols(kLib + "/libZqLib4.so", false);
  // Everything the loader maps for the program, the engine and the platform among it.
  std::set<std::string> loaded;
  std::istringstream libs(Shell("ldd '" + program + "'"));
  std::string line;
  while (std::getline(libs, line)) {
    const size_t arrow = line.find("=> /");
    if (arrow == std::string::npos) continue;
    const std::string path = line.substr(arrow + 3, line.find(" (", arrow) - arrow - 3);
    for (const std::string& name : DynamicSymbols(path, false)) loaded.insert(name);
  }
  std::set<std::string> fromEngine, missingInNewer;
  for (const std::string& name : DynamicSymbols(program, true)) {
    if (older.count(name)) {
      fromEngine.insert(name);
      if (!newer.count(name)) missingInNewer.insert(Demangled(name));
    } else {
      EXPECT_TRUE(loaded.count(name)) << "unresolved import " << Demangled(name);
    }
  }
  EXPECT_GT(fromEngine.size(), 50u);
  // The newer build replaced the game's older restore operation; nothing else differs.
  for (const std::string& name : missingInNewer) EXPECT_EQ(name, "CZqGame::RestoreSource()");
}

TEST(ProgramTest, AStartOutsideTheLobbyShowsTheBoxAndEndsWithoutAWindow) {
  ScratchDir dir;
  int status = -1;
  const std::string out =
      Shell("ZQ_HEADLESS=1 SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null ZQ_IPC_NAMESPACE=tolvane-" +
                std::to_string(getpid()) + " timeout 60 '" + kBin + "/Tolvane' 2>&1",
            &status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("Please enter in lobby!"), std::string::npos) << out;
}

}  // namespace
