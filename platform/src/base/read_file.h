// Whole-file reads for the platform's loaders. A read that fails is a return value, as for the
// Windows calls the loaders stand in for; nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zqbase {

// Reads the regular file at a file-system path into out. False (out empty) when the file is
// missing, not a regular file, unreadable, or longer than limit bytes.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit);

}  // namespace zqbase
