// The engine's media map: media objects enter under the smallest free index and leave when
// they are deleted; the engine only forgets them.
#include "ZqEngine.h"
#include "ZqMedia.h"

int CZqEngine::_RegisterMedia(CZqMedia* media) {
  int index = 0;
  for (auto& entry : m_mapMedia) {
    if (entry.first != index) break;
    ++index;
  }
  m_mapMedia[index] = media;
  return index;
}

void CZqEngine::_ForgetMedia(CZqMedia* media) {
  auto it = m_mapMedia.find(media->GetIndex());
  if (it != m_mapMedia.end() && it->second == media) m_mapMedia.erase(it);
}

CZqMedia* CZqEngine::_FindMedia(int index) {
  auto it = m_mapMedia.find(index);
  return it == m_mapMedia.end() ? nullptr : it->second;
}

void CZqEngine::SetMediaVolume(long volume) {
  if (volume > 0) volume = 0;
  if (volume < -10000) volume = -10000;
  m_lMediaVolume = volume;
  for (auto& entry : m_mapMedia) entry.second->SetVolume(volume);
}

long CZqEngine::GetMediaVolume() const { return m_lMediaVolume; }

void CZqEngine::_PauseMedia(int pause) {
  for (auto& entry : m_mapMedia) {
    if (pause)
      entry.second->Pause();
    else
      entry.second->Resume();
  }
}

void CZqEngine::_StopMedia(CZqMedia* media) { media->Stop(); }

void CZqEngine::_MediaUpdateBounds(CZqMedia* media) { media->UpdateBounds(); }
