#include "ServerScript.h"

#include <fstream>
#include <sstream>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool CServerScript::Parse(const std::string& source, std::vector<SScriptStep>* steps, std::string* error) {
  steps->clear();
  std::istringstream in(source);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    size_t end = line.find_first_of(" \t", start);
    std::string word = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string arg;
    if (end != std::string::npos) {
      size_t a = line.find_first_not_of(" \t", end);
      if (a != std::string::npos) arg = line.substr(a);
    }
    SScriptStep step;
    step.line = number;
    step.text = arg;
    if (word == "expect") {
      step.kind = SScriptStep::kExpect;
    } else if (word == "reply") {
      step.kind = SScriptStep::kReply;
    } else if (word == "raw") {
      step.kind = SScriptStep::kRaw;
      int high = -1;
      for (char c : arg) {
        if (c == ' ' || c == '\t') continue;
        int d = HexDigit(c);
        if (d < 0) return fail("raw: not a hex digit");
        if (high < 0) {
          high = d;
        } else {
          step.bytes.push_back(static_cast<uint8_t>(high << 4 | d));
          high = -1;
        }
      }
      if (high >= 0) return fail("raw: odd number of hex digits");
    } else if (word == "close" || word == "silent") {
      if (!arg.empty()) return fail(word + " takes no argument");
      step.kind = word == "close" ? SScriptStep::kClose : SScriptStep::kSilent;
    } else {
      return fail("unknown step '" + word + "'");
    }
    steps->push_back(step);
  }
  return true;
}

bool CServerScript::Load(const std::string& path, std::vector<SScriptStep>* steps, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (error) *error = "cannot open " + path;
    return false;
  }
  std::ostringstream all;
  all << file.rdbuf();
  return Parse(all.str(), steps, error);
}

bool CServerScript::Matches(const std::string& pattern, const std::string& request) {
  if (!pattern.empty() && pattern.back() == '*')
    return request.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
  return pattern == request;
}
