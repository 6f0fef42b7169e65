// The engine's sound registry: one loaded sound per name, further requests get duplicates that
// share its buffer's data.
#include "ZqEngine.h"
#include "ZqSound.h"

CZqSound* CZqEngine::FindSound(const char* name) {
  LPDIRECTSOUND8 ds = GetDirectSound();
  if (!name || !*name || !ds) return nullptr;

  auto it = m_mapSound.find(name);
  CZqSound* first = nullptr;
  if (it != m_mapSound.end())
    for (CZqSound* s : it->second)
      if (s->m_pBuffer) {  // one that was cleaned up has nothing to share
        first = s;
        break;
      }
  if (!first) {
    auto* sound = new CZqSound(this);
    if (!sound->SetStreamSource(name)) {
      delete sound;
      return nullptr;
    }
    // The first sound of a name also follows the engine's volume, so a mute set earlier holds.
    sound->m_pBuffer->SetVolume(m_lSoundVolume);
    m_mapSound[name].push_back(sound);
    return sound;
  }

  LPDIRECTSOUNDBUFFER dup = nullptr;
  if (FAILED(ds->DuplicateSoundBuffer(first->m_pBuffer, &dup)) || !dup) return nullptr;
  auto* sound = new CZqSound(this);
  sound->m_pBuffer = dup;
  sound->m_strKey = first->m_strKey;
  sound->m_dwSize = first->m_dwSize;
  sound->m_desc = first->m_desc;
  sound->Query3D();
  dup->SetVolume(m_lSoundVolume);
  it->second.push_back(sound);
  return sound;
}

void CZqEngine::_ForgetSound(CZqSound* sound) {
  auto drop = [&](decltype(m_mapSound)::iterator it) {
    auto& list = it->second;
    for (auto s = list.begin(); s != list.end(); ++s) {
      if (*s != sound) continue;
      list.erase(s);
      if (list.empty()) m_mapSound.erase(it);
      return true;
    }
    return false;
  };
  auto it = m_mapSound.find(sound->m_strKey);
  if (it != m_mapSound.end() && drop(it)) return;
  // A sound reloaded under another name is still listed under its old one.
  for (it = m_mapSound.begin(); it != m_mapSound.end(); ++it)
    if (drop(it)) return;
}

void CZqEngine::CleanupSoundCache() {
  _DeleteTextures();
  while (!m_mapSound.empty()) {
    auto it = m_mapSound.begin();
    if (it->second.empty()) {
      m_mapSound.erase(it);  // an empty list would never shrink the registry
      continue;
    }
    delete it->second.front();  // leaves its list, and the name when the list empties
  }
}

void CZqEngine::SetSoundVolume(long volume) {
  m_lSoundVolume = volume;
  for (auto& entry : m_mapSound)
    for (CZqSound* sound : entry.second)
      if (sound->m_pBuffer) sound->m_pBuffer->SetVolume(volume);
}

long CZqEngine::GetSoundVolume() const { return m_lSoundVolume; }
