// CZqSource: the resource pack's index ("ZQS2003a"), lookup and authoring operations.
#include "ZqSource.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "AssetFile.h"
#include "common/LittleEndian.h"

namespace {

using zqle::GetI32;
using zqle::PutU32;

constexpr char kSignature[] = "ZQS2003a";
constexpr size_t kHeader = 283;
constexpr long kFirstEntry = 1000;
constexpr size_t kText = 255;
constexpr size_t kEntry = kText + sizeof(sFileInfo);
static_assert(kEntry == 779, "an index entry is its key and its record");

bool IsFont(int type) { return type >= FFT_FNT && type <= FFT_FOT; }

// A text field taken only up to its last byte: whatever the file holds, it ends inside the field.
std::string FieldText(const BYTE* p, size_t size) {
  const char* s = reinterpret_cast<const char*>(p);
  return std::string(s, strnlen(s, size - 1));
}

// Copies text into a field of `size` bytes; false when it does not fit with its NUL.
bool SetText(char* dst, size_t size, const std::string& text) {
  if (text.size() >= size) return false;
  memset(dst, 0, size);
  memcpy(dst, text.data(), text.size());
  return true;
}

std::string Rectified(const std::string& path) {
  char buf[256 + 2];
  if (path.size() > 255) return path;
  CZqFunc::Path_RectifyPath(buf, path.c_str());
  return buf;
}

sFileInfo ReadRecord(const BYTE* p) {
  sFileInfo info;
  memset(&info, 0, sizeof info);
  info.m_type = (_FILE_FORMAT_TYPE)GetI32(p);
  std::string file = FieldText(p + 4, kText);
  memcpy(info.m_szFile, file.data(), file.size());
  info.m_nSize = GetI32(p + 259);
  memcpy(info.m_reserved, p + 263, sizeof info.m_reserved);
  memcpy(info.m_extra, p + 268, sizeof info.m_extra);
  info.m_extra[sizeof info.m_extra - 1] = 0;  // a face name ends inside its field
  return info;
}

void WriteRecord(BYTE* p, const sFileInfo& info) {
  PutU32(p, info.m_type);
  std::string name = zq_assets::FileNamePart(info.m_szFile);
  memset(p + 4, 0, kText);
  memcpy(p + 4, name.data(), std::min(name.size(), kText - 1));
  PutU32(p + 259, info.m_nSize);
  memcpy(p + 263, info.m_reserved, sizeof info.m_reserved);
  memcpy(p + 268, info.m_extra, sizeof info.m_extra);
}

// One name in the data folder, as the file system will see it: not empty, not "." or "..", and
// no separator: no "/" at all, no "\\" outside a GBK double byte, and no lead byte at the end,
// which would pair with the separator that follows it in a joined path.
bool IsPlainName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = (unsigned char)name[i];
    if (c >= 0x81 && c <= 0xFE) {
      if (i + 1 == name.size() || name[i + 1] == '/') return false;
      ++i;
    } else if (c == '\\' || c == '/') {
      return false;
    }
  }
  return true;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

void ZQ_Src_Browser::AddItem(const char*, _FILE_FORMAT_TYPE) {}

CZqSource::CZqSource() = default;

CZqSource::~CZqSource() { Cleanup(); }

void CZqSource::OnSetModify() {}

void CZqSource::SetModify() {
  if (m_bModify) return;
  m_bModify = 1;
  OnSetModify();
}

void CZqSource::ClearModify() {
  if (!m_bModify) return;
  m_bModify = 0;
  OnSetModify();
}

int CZqSource::Load(const char* indexPath) {
  if (!indexPath || strlen(indexPath) > 255) return 0;
  char full[256 + 2];
  CZqFunc::Path_MakeFullPath(full, indexPath);
  Cleanup();
  if (!full[0]) return 0;
  // Read and write where the file allows; an index on read-only media still loads (its Save
  // then fails). A missing index is not created.
  FILE* f = zq_assets::OpenFile(full, "r+b");
  if (!f) f = zq_assets::OpenFile(full, "rb");
  if (!f) return 0;
  BYTE header[kHeader];
  bool ok = fread(header, 1, kHeader, f) == kHeader &&
            strnlen(reinterpret_cast<const char*>(header), 16) == strlen(kSignature) &&
            memcmp(header, kSignature, strlen(kSignature)) == 0;
  std::string name, dataPath;
  if (ok) {
    name = FieldText(header + 16, kText);
    std::string parent = zq_assets::ParentPart(full);
    if (parent.empty() && full[0] == '/') parent = "/";  // an index in the root folder
    dataPath = Rectified(parent + "\\" + name);
    // The data folder is one folder beside the index, never a path that leads elsewhere.
    ok = IsPlainName(name) && SetText(m_szDataName, kText, name) && SetText(m_szDataPath, kText, dataPath) &&
         SetText(m_szZqsFile, kText, full);
  }
  int32_t count = ok ? GetI32(header + 271) : 0;
  int32_t first = ok ? GetI32(header + 275) : 0;
  m_nNextNumber = ok ? GetI32(header + 279) : 0;
  if (ok && count > 0 && fseek(f, first, SEEK_SET) != 0) count = 0;
  BYTE entry[kEntry];
  // A short index ends with the entries read so far.
  for (int32_t i = 0; ok && i < count && fread(entry, 1, kEntry, f) == kEntry; ++i) {
    sFileInfo info = ReadRecord(entry + kText);
    // An entry whose data file would lie outside the data folder, or that has no data file but
    // is no folder, is left out.
    if (info.m_szFile[0]) {
      if (!IsPlainName(info.m_szFile) ||
          !SetText(info.m_szFile, kText, Rectified(dataPath + "\\" + info.m_szFile)))
        continue;
    } else if (info.m_type != FFT_FOLDER) {
      continue;
    }
    std::string key = Rectified(FieldText(entry, kText));
    if (info.m_type == FFT_FOLDER) key += "\\";
    m_map.emplace(key, info);
  }
  fclose(f);
  if (!ok) {
    m_map.clear();
    m_nNextNumber = 0;
    m_szDataName[0] = m_szDataPath[0] = m_szZqsFile[0] = 0;
    return 0;
  }
  for (auto& [key, info] : m_map)
    if (IsFont(info.m_type)) CZqFunc::Font_AddResource(info.m_szFile);
  return 1;
}

int CZqSource::Save() {
  if (!m_bModify || !IsReady()) return 1;
  FILE* f = zq_assets::OpenFile(m_szZqsFile, "wb");
  if (!f) return 0;
  BYTE header[kHeader] = {};
  memcpy(header, kSignature, strlen(kSignature));
  memcpy(header + 16, m_szDataName, strnlen(m_szDataName, kText - 1));
  PutU32(header + 271, (int32_t)m_map.size());
  PutU32(header + 275, (int32_t)kFirstEntry);
  PutU32(header + 279, m_nNextNumber);
  bool ok = fwrite(header, 1, kHeader, f) == kHeader && fseek(f, kFirstEntry, SEEK_SET) == 0;
  BYTE entry[kEntry];
  for (auto it = m_map.begin(); ok && it != m_map.end(); ++it) {
    memset(entry, 0, kText);
    memcpy(entry, it->first.data(), std::min(it->first.size(), kText - 1));
    WriteRecord(entry + kText, it->second);
    ok = fwrite(entry, 1, kEntry, f) == kEntry;
  }
  ok = fclose(f) == 0 && ok;
  if (!ok) return 0;  // the flag stays set: a later Save tries again
  ClearModify();
  return 1;
}

void CZqSource::Cleanup() {
  for (auto& [key, info] : m_map)
    if (IsFont(info.m_type)) CZqFunc::Font_RemoveResource(info.m_szFile);
  Save();
  m_map.clear();
  m_nNextNumber = 0;
  m_szDataName[0] = m_szDataPath[0] = m_szZqsFile[0] = 0;
  OnSetModify();
  m_bModify = 0;
}

sFileInfo* CZqSource::FindSource(const char* key) {
  if (!key) return nullptr;
  auto it = m_map.find(key);
  return it == m_map.end() ? nullptr : &it->second;
}

void CZqSource::SetFileType(const char* key, _FILE_FORMAT_TYPE type) {
  if (sFileInfo* info = FindSource(key)) {
    info->m_type = type;
    SetModify();
  }
}

const char* CZqSource::AddFile(const char* key, _FILE_FORMAT_TYPE type) {
  if (!IsReady() || !key || strlen(key) > 254) return nullptr;
  if (sFileInfo* found = FindSource(key)) {
    found->m_type = type;
    SetModify();
    return found->m_szFile;
  }
  std::string normal = Rectified(key);
  sFileInfo info;
  memset(&info, 0, sizeof info);
  info.m_type = type;
  if (type == FFT_FOLDER) {
    normal += "\\";
  } else {
    char file[kText];
    int n = snprintf(file, sizeof file, "%s\\%08d.zq_", m_szDataPath, m_nNextNumber);
    if (n < 0 || (size_t)n >= sizeof file) return nullptr;
    SetText(info.m_szFile, kText, Rectified(file));
    ++m_nNextNumber;
  }
  auto it = m_map.emplace(normal, info).first;
  SetModify();
  return it->second.m_szFile;
}

const char* CZqSource::ImportFile(const char* key, const char* source) {
  if (!IsReady() || !key || !source) return nullptr;
  if (!AddFile(key, CZqFunc::File_GetFFT(source))) return nullptr;
  sFileInfo* info = FindSource(key);
  if (!info) info = FindSource(Rectified(key).c_str());
  if (!info || !CZqFunc::File_CopyTo(source, info->m_szFile)) return nullptr;
  SetModify();
  CZqFunc::File_UpdateInfo(info);
  if (IsFont(info->m_type)) CZqFunc::Font_AddResource(info->m_szFile);
  return info->m_szFile;
}

int CZqSource::ExportFile(const char* key, const char* destination) {
  if (!IsReady() || !destination) return 0;
  sFileInfo* info = FindSource(key);
  if (!info) return 0;
  return CZqFunc::File_CopyTo(info->m_szFile, destination);
}

void CZqSource::RemoveEntry(const std::string& key) {
  auto it = m_map.find(key);
  if (it == m_map.end()) return;
  if (it->second.m_type == FFT_FOLDER) {
    const std::string folder = key;
    for (auto sub = m_map.lower_bound(folder); sub != m_map.end() && StartsWith(sub->first, folder);) {
      if (sub->first == folder) {
        ++sub;
        continue;
      }
      std::string next = sub->first;
      RemoveEntry(next);
      sub = m_map.upper_bound(next);
    }
    m_map.erase(folder);
  } else {
    if (IsFont(it->second.m_type)) CZqFunc::Font_RemoveResource(it->second.m_szFile);
    CZqFunc::File_Delete(it->second.m_szFile);
    m_map.erase(it);
  }
  SetModify();
}

void CZqSource::DeleteFileA(const char* text) {
  if (!IsReady() || !text || strlen(text) > 255) return;
  const std::string prefix = text;
  char parent[256 + 2];
  CZqFunc::Path_GetParentPath(parent, text);
  const std::string parentKey = std::string(parent) + "\\";
  for (auto it = m_map.lower_bound(prefix); it != m_map.end() && StartsWith(it->first, prefix);
       it = m_map.lower_bound(prefix)) {
    RemoveEntry(it->first);
  }
  if (!IsPathExist(parentKey.c_str())) AddFile(parentKey.c_str(), FFT_FOLDER);
}

int CZqSource::IsPathExist(const char* text) {
  if (!IsReady() || !text) return 0;
  if (strcmp(text, "\\") == 0) return 1;
  auto it = m_map.lower_bound(text);
  if (it == m_map.end()) return 0;
  return !*text || StartsWith(it->first, text) ? 1 : 0;
}

void CZqSource::UpdateToBrower(ZQ_Src_Browser* browser, int order, va_list& types) {
  if (!browser) return;
  std::set<int> wanted;
  bool all = false;
  for (bool first = true;; first = false) {
    int v = va_arg(types, int);
    if (v < 0 || v > 24) {
      all = all || first;
      break;
    }
    if (v == 0) all = true;
    wanted.insert(v);
  }
  const bool folders = wanted.count(FFT_FOLDER) != 0;
  auto report = [&](const std::string& key, const sFileInfo& info) {
    if (all || wanted.count(info.m_type)) {
      browser->AddItem(key.c_str(), info.m_type);
    } else if (folders) {
      char parent[256 + 2];
      CZqFunc::Path_GetParentPath(parent, key.c_str());
      browser->AddItem(parent, FFT_FOLDER);
    }
  };
  if (order) {
    for (auto& [key, info] : m_map) report(key, info);
  } else {
    for (auto it = m_map.rbegin(); it != m_map.rend(); ++it) report(it->first, it->second);
  }
}
