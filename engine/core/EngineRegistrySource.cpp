// Names resolved through the engine's resource pack.
#include "ZqConfig.h"
#include "ZqEngine.h"
#include "ZqSource.h"

sFileInfo* CZqEngine::FindSource(const char* name) {
  CZqSource* pack = GetSourcePtr();
  return pack && name ? pack->FindSource(name) : nullptr;
}

int CZqEngine::LoadConfig(CConfig& reader, const char* name) {
  sFileInfo* info = FindSource(name);
  reader.SetINIFile(info ? info->m_szFile : (name ? name : ""));
  return 1;
}
