// File names handed to GDI (font files, bitmaps): Windows-style GBK paths to the local file system.
#pragma once

#include <string>

namespace zqgdi {

std::string mapWindowsPath(const char* path);

}  // namespace zqgdi
