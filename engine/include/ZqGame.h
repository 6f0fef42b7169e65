// The game base class driven by the engine, and the display-mode menu.
#pragma once

#include <string>

#include "ZqDefs.h"
#include "ZqDevice.h"
#include "ZqGeometry.h"
#include "ZqUIPanel.h"

class CZqEngine;
class CZqSurface;

class ZQ_API CZqGame {
 public:
  explicit CZqGame(CZqEngine* engine);
  CZqGame(const CZqGame&) = delete;
  CZqGame& operator=(const CZqGame&) = delete;

  // ---- virtual operations, in slot order ----
  virtual void Cleanup();
  virtual ~CZqGame();
  virtual long Render();
  virtual long Draw(CZqSurface* surface);
  virtual long Update(DWORD elapsed);  // 0.1 ms units
  virtual void ReleaseSource();
#ifdef ZQ_OLDER_BUILD
  // The main panel's restore status, passed on as it is.
  virtual long RestoreSource();
#else
  // 1 when the main panel restored (status 0 or above), else 0.
  virtual int RestoreSourceForGame();
#endif
  virtual long MsgProc(UINT msg, UINT wParam, long lParam);
  // Points in back-buffer coordinates; the main panel gets them in its own.
  virtual DWORD OnMouseMove(UINT flags, SScreenPoint point);
  virtual DWORD OnMouseWheel(UINT flags, short delta, SScreenPoint point);
  virtual DWORD OnLButtonDown(UINT flags, SScreenPoint point);
  virtual DWORD OnLButtonUp(UINT flags, SScreenPoint point);
  virtual DWORD OnLButtonDbClk(UINT flags, SScreenPoint point);
  virtual DWORD OnRButtonDown(UINT flags, SScreenPoint point);
  virtual DWORD OnRButtonUp(UINT flags, SScreenPoint point);
  virtual DWORD OnRButtonDbClk(UINT flags, SScreenPoint point);
  virtual DWORD OnChar(UINT key, UINT repeat, UINT keyFlags);
  virtual DWORD OnKeyDown(UINT key, UINT repeat, UINT keyFlags);
  virtual DWORD OnKeyUp(UINT key, UINT repeat, UINT keyFlags);
  virtual void OnUICmd(CZqUIPanel* panel, UINT msg, LPARAM lParam);

  long RenderUI();
  CZqUIPanel* GetMainUI() { return &m_uiMain; }
  CZqEngine* GetZqEngine() const { return m_pEngine; }
  const char* GetStyle() const { return m_strStyle.c_str(); }
  int IsStyle(const char* style) const;

 protected:
  // A back-buffer point in the main panel's coordinates.
  SScreenPoint _ToMain(SScreenPoint point) const;

  CZqEngine* m_pEngine;
  CZqUIPanel m_uiMain;
  std::string m_strStyle;
};

#ifndef ZQ_MENU_WINDOWED
#define ZQ_MENU_WINDOWED 0xFF00
#endif

// Null without a record. "Windowed mode" (0xFF00, checked), a separator, then "%dX%dX%d"
// per mode (0xFF01 + index).
ZQ_API HMENU Device_CreateModeMenu(SDxDeviceInfo* device);
