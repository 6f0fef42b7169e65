// CZqEngine sound device: DirectSound, the primary format and the 3D listener.
#include "ZqEngine.h"

#ifndef CO_E_NOTINITIALIZED
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0)
#endif

// The platform's DirectSound is not available to this build yet: the engine runs silent.
long CZqEngine::_CreateSoundSystem() { return CO_E_NOTINITIALIZED; }

void CZqEngine::_ReleaseSoundSystem() {
  m_pListener = nullptr;
  m_pDS = nullptr;
}
