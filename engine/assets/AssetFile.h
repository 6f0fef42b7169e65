// File access shared by the asset readers and writers (engine-internal).
#pragma once

#include <cstdio>
#include <string>

namespace zq_assets {

// Opens a file by its data path (backslashes, GBK), mapped onto the file system.
FILE* OpenFile(const char* path, const char* mode);
std::string MapPath(const char* path);
// The part after the last backslash (or slash) of a path.
std::string FileNamePart(const char* path);

}  // namespace zq_assets

namespace zq_assets {

// The folder part of a path (before its last backslash or slash); empty when there is none.
std::string ParentPart(const char* path);

}  // namespace zq_assets
