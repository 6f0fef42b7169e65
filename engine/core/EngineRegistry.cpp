// Teardown of the engine's registries: textures, texture groups and sounds are the engine's to
// delete, media objects and panels belong to their creators and are only forgotten.
#include "ZqEngine.h"

void CZqEngine::_DeleteRegisteredObjects() {
  CleanupSoundCache();
  _DeleteTextureGroups();
}

void CZqEngine::_ForgetRegistries() {
  m_mapSound.clear();
  m_mapMedia.clear();
  m_mapUI.clear();
  CleanupParticles();
}
