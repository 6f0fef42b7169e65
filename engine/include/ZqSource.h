// The resource pack: an index file ("ZQS2003a") mapping relative resource keys to data files
// stored under numbered names in a data folder beside it. sFileInfo is one entry.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <map>
#include <string>

#include "ZqDefs.h"
#include "ZqFunc.h"

#pragma pack(push, 1)
// One pack entry: 524 bytes, little-endian, the same layout in memory and in the index file.
struct sFileInfo {
  _FILE_FORMAT_TYPE m_type;
  char m_szFile[255];  // in memory the data file's full path; in the index its file name; empty for a folder
  int32_t m_nSize;     // size of the data file in bytes
  BYTE m_reserved[5];
  union {
    struct {
      int32_t m_nWidth;
      int32_t m_nHeight;
    } m_image;               // jpg entries
    char m_szFaceName[256];  // font entries (types 20 to 23), when known
    BYTE m_extra[256];
  };
};
#pragma pack(pop)
static_assert(sizeof(sFileInfo) == 524, "sFileInfo is stored in the index file");
static_assert(offsetof(sFileInfo, m_nSize) == 259 && offsetof(sFileInfo, m_extra) == 268, "sFileInfo layout");

// Receives the entries that CZqSource::UpdateToBrower reports.
class ZQ_API ZQ_Src_Browser {
 public:
  ZQ_Src_Browser() = default;
  virtual void AddItem(const char* name, _FILE_FORMAT_TYPE type);

 protected:
  ~ZQ_Src_Browser() = default;
};

class ZQ_API CZqSource {
 public:
  CZqSource();
  CZqSource(const CZqSource&) = delete;
  CZqSource& operator=(const CZqSource&) = delete;

  virtual void OnSetModify();
  virtual const char* AddFile(const char* key, _FILE_FORMAT_TYPE type);
  virtual int ExportFile(const char* key, const char* destination);
  virtual const char* ImportFile(const char* key, const char* source);
  virtual void DeleteFileA(const char* key);
  virtual ~CZqSource();

  int Load(const char* indexPath);
  int Save();
  void Cleanup();
  sFileInfo* FindSource(const char* key);
  void SetFileType(const char* key, _FILE_FORMAT_TYPE type);
  int IsPathExist(const char* text);
  // Type codes are read from `types` (ints) up to a negative value or one above 24.
  void UpdateToBrower(ZQ_Src_Browser* browser, int order, va_list& types);
  void SetModify();
  int IsModify() const { return m_bModify; }
  int IsReady() const { return m_szDataName[0] && m_szDataPath[0] && m_szZqsFile[0]; }
  const char* GetDataName() const { return m_szDataName; }
  const char* GetDataPath() const { return m_szDataPath; }
  const char* GetZqsFileName() const { return m_szZqsFile; }
  int AddSource(char*) { return 1; }

 private:
  void RemoveEntry(const std::string& key);
  void ClearModify();

  std::map<std::string, sFileInfo> m_map;  // byte-wise key order
  int32_t m_nNextNumber = 0;
  char m_szDataName[255] = {};
  char m_szDataPath[255] = {};
  char m_szZqsFile[255] = {};
  int32_t m_bModify = 0;
};
