// Command targets: message-map look-up and command dispatch.
#include "framework/framework_state.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* map, UINT message, UINT id) {
  for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e)
      if (e->nMessage == message && (message != WM_COMMAND || e->nID == id)) return e;
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) {
  // Only plain commands have entries; notifications are not routed.
  if (nCode != 0) return FALSE;
  const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), WM_COMMAND, nID);
  if (!e) return FALSE;
  if (pHandlerInfo) return TRUE;
  LRESULT result = 0;
  return e->pfn(this, 0, 0, &result);
}
