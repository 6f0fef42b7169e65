// Registered objects across a device loss: their device objects released, then restored.
#include "ZqEngine.h"

void CZqEngine::_ReleaseRegisteredObjects() {}
long CZqEngine::_RestoreRegisteredObjects() { return 0; }
