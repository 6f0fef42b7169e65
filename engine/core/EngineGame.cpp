// CZqEngine's default frame hooks and restore steps: they hand the work to the current game.
#include "ZqEngine.h"
#include "ZqGame.h"

int CZqEngine::OnUpdate() {
  if (m_pGame) m_pGame->Update(m_dwElapsed);
  return 1;
}

long CZqEngine::OnRender() { return m_pGame ? m_pGame->Render() : 0; }

long CZqEngine::OnDraw(CZqSurface* surface) { return m_pGame ? m_pGame->Draw(surface) : 0; }

// The game's caption textures are rebuilt after the shared textures they may draw with.
long CZqEngine::RestoreSource() {
  long result = _RestoreRegisteredObjects();
#ifdef ZQ_OLDER_BUILD
  // The older game reports its panels' status, and a failure is the engine's too.
  if (m_pGame) {
    const long game = m_pGame->RestoreSource();
    if (SUCCEEDED(result) && FAILED(game)) result = game;
  }
#else
  if (m_pGame) m_pGame->RestoreSourceForGame();
#endif
  return result;
}

long CZqEngine::ReleaseSource() {
  if (m_pGame) m_pGame->ReleaseSource();
  _ReleaseRegisteredObjects();
  return 0;
}
