// Teardown of the engine's registries: sounds are the engine's to delete, media objects and
// panels belong to their creators and are only forgotten.
#include "ZqEngine.h"

void CZqEngine::_DeleteRegisteredObjects() { CleanupSoundCache(); }

void CZqEngine::_ForgetRegistries() {
  m_mapSound.clear();
  m_mapMedia.clear();
  m_mapUI.clear();
}
