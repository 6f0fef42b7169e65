// Application frame, clock and task loop: CZqApp, CZqAppEx, CZqTask.
#pragma once

#include "ZqDefs.h"

// A per-frame job that is not an engine (the network task, for instance). The application calls
// OnLoop once per idle pass and offers every window message to an active task first.
class ZQ_API CZqTask {
 public:
  CZqTask();
  virtual ~CZqTask();  // does not call Cleanup
  virtual void Cleanup();
  virtual void OnLoop(DWORD apptime);
  virtual int InitTask();  // 1 by default
  virtual long MsgProc(UINT message, WPARAM wParam, LPARAM lParam);  // result is not used
  virtual void SetActive(int active);

  int IsActive() const { return m_bActive; }
  int IsReady() const { return m_bReady; }

 protected:
  int m_bActive;
  int m_bReady;
};
