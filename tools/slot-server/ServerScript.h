// The scripted server's script: one step per line, '#' starts a comment line.
//   expect TEXT   the next request must be TEXT (a final '*' matches any rest)
//   reply TEXT    send TEXT in one frame (its terminating zero included)
//   raw HEX...    send these bytes as they are (hex pairs, blanks allowed)
//   close         close the connection (the next connection continues the script)
//   silent        from here on answer nothing (requests are still recorded)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SScriptStep {
  enum EKind { kExpect, kReply, kRaw, kClose, kSilent };
  EKind kind = kExpect;
  std::string text;
  std::vector<uint8_t> bytes;
  int line = 0;
};

class CServerScript {
 public:
  static bool Parse(const std::string& source, std::vector<SScriptStep>* steps, std::string* error);
  static bool Load(const std::string& path, std::vector<SScriptStep>* steps, std::string* error);
  // TEXT of an expect step against a request.
  static bool Matches(const std::string& pattern, const std::string& request);
};
