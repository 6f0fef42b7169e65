// The texture-group file ("ZQTG2003a"): a 44-byte header, a table of record positions, then
// the texture records. Also the numbered name patterns of texture groups.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ZqDefs.h"

namespace zqtg {

inline constexpr size_t kHeaderSize = 44;
inline constexpr char kSignature[] = "ZQTG2003a";

struct Header {
  int32_t count = 0;
  DWORD team = 1;
  float baseAngle = 0;
  DWORD cacheSize = 0;
  DWORD delay = 1000;
  int32_t baseX = 0;
  int32_t baseY = 0;
};

// False without the "ZQTG" signature. A stored delay of 10 or less reads as 1000.
bool ReadHeader(const BYTE* in, Header& h);
void WriteHeader(const Header& h, BYTE* out);

// A pattern holds exactly one integer conversion (flags and width allowed) besides "%%".
bool IsValidPattern(const std::string& pattern);
std::string FormatPattern(const std::string& pattern, int index);

// "pattern#first<c>last": the pattern and the range; false when the range is missing.
bool SplitNumbered(const std::string& name, std::string& pattern, long& first, long& last);

}  // namespace zqtg
