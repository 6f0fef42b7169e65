// Application frame, clock and task loop: CZqApp, CZqAppEx, CZqTask.
#pragma once

#include <list>
#include <map>
#include <vector>

#include "ZqDefs.h"
#include "ZqDevice.h"

class CZqEngine;

// A per-frame job that is not an engine (the network task, for instance). The application calls
// OnLoop once per idle pass and offers every window message to an active task first.
class ZQ_API CZqTask {
 public:
  CZqTask();
  virtual ~CZqTask();  // does not call Cleanup
  virtual void Cleanup();
  virtual void OnLoop(DWORD apptime);
  virtual int InitTask();                                            // 1 by default
  virtual long MsgProc(UINT message, WPARAM wParam, LPARAM lParam);  // result is not used
  virtual void SetActive(int active);

  int IsActive() const { return m_bActive; }
  int IsReady() const { return m_bReady; }

 protected:
  int m_bActive;
  int m_bReady;
};

// The one application object of a process. Times are in 0.1 ms units unless named otherwise.
class ZQ_API CZqApp {
 public:
  CZqApp();
  virtual ~CZqApp();

  virtual int ProcessMSG(MSG& msg);
  // Pumps until `message` has been handled (returns its id), WM_QUIT arrives (re-posted;
  // returns 0) or `timeout` passes (returns 0; 0 = no time-out).
  virtual UINT WaitForMessage(UINT message, DWORD timeout);
  virtual long OnQuerySuspend(DWORD flags);   // Pause(1), returns 1
  virtual long OnResumeSuspend(DWORD flags);  // Pause(0), returns 1
  virtual void OnEngineConnected(CZqEngine* engine);
  virtual int DoIdle();  // one frame; 0 when a task loop or an engine failed
  virtual void OnLpsChange(float loopsPerSecond);
  virtual void OnInitApp();
  virtual void OnCleanupApp();
  virtual void OnUpdateMenu(HMENU menu);
  virtual int Run();
  virtual long MsgProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void Pause(int flag);  // counted; calls must be paired
  virtual long MainLoop(DWORD apptime);

  // Start-up on a window the caller created: 1, or 0 (null window, no usable device).
  int InitApp(HWND hWnd);

  // keep 0 removes a listed task; a task not yet listed is appended either way.
  void SetTask(CZqTask* task, int keep);
  void ProcessTask();
  long UpdateAllEngines();
  void SetActive(int flag);
  void _UpdateMenu(HMENU menu);
  void UpgrateAppMenu();

  // Engines register themselves: the id is the number of engines registered before.
  int GetEngineCount() const { return (int)m_mapEngines.size(); }
  void RegisterEngine(int id, CZqEngine* engine);
  void UnregisterEngine(CZqEngine* engine);
  CZqEngine* GetEngine(int id) const;
  const std::map<int, CZqEngine*>& GetEngines() const { return m_mapEngines; }

  DWORD GetCurTime() const;  // the system clock in 0.1 ms
  DWORD GetAppTime() const { return m_dwAppTime; }
  DWORD GetAppTimeEx() const { return GetCurTime() - m_dwTimeBase; }
  // The live application time, standing still while the clock is held: what the application time
  // will read when the hold ends. The engines measure their own stops on it.
  DWORD GetAppClock() const { return (m_nHold ? m_dwPauseMark : GetCurTime()) - m_dwTimeBase; }
  const char* GetAppPath(char* out = nullptr) const;
  HWND GetMainWnd() const { return m_hWnd; }
  HMENU GetWindowMenu() const { return m_hWindowMenu; }
  HMENU GetPopupMenu() const { return m_hPopupMenu; }
  HACCEL GetAccelerator() const { return m_hAccel; }
  float GetLoopPerSecond() const { return m_fLoopPerSecond; }
  SDxDeviceInfo* GetDxDeviceInfoPtr() const { return m_pDeviceInfo; }
  int IsWaitingMSG() const { return m_lstWaits.empty() ? 0 : 1; }
  int GetWaitMSGTime() const;
  int IsMMXSupport() const { return m_bMMX; }
  int IsActive() const { return m_bActive; }
  int IsRunning() const { return m_bRunning; }
  long CleanupAllEngines() { return 0; }

  // Settings (see the members below).
  void SetIdleSleep(int ms) { m_nIdleSleep = ms; }
  int GetIdleSleep() const { return m_nIdleSleep; }
  void SetNoSleep(int flag) { m_bNoSleep = flag; }
  int GetNoSleep() const { return m_bNoSleep; }
  void SetRunInBackground(int flag) { m_bRunInBackground = flag; }
  int GetRunInBackground() const { return m_bRunInBackground; }
  void SetStopClockWhenInactive(int flag) { m_bStopClockWhenInactive = flag; }
  int GetStopClockWhenInactive() const { return m_bStopClockWhenInactive; }
  void SetAppName(const char* name);
  const char* GetAppName() const { return m_szName; }
  void SetDeviceCacheFile(const char* name);
  void SetDeviceConfirm(ZQ_DEVICE_CONFIRM confirm) { m_pfnConfirmDevice = confirm; }

  // The process-wide pause counter (menu loops, the pause command, suspend queries).
  static int GetPauseCount();

 protected:
  struct SWaitMsg {
    UINT message;
    DWORD timeout;
    DWORD elapsed;
    DWORD start;
  };

  // Reasons the application clock stands still; the clock holds while any is set.
  enum : int { HOLD_PAUSE = 1, HOLD_INACTIVE = 2, HOLD_SIZEMOVE = 4 };
  void Hold(int reason);
  void Release(int reason);
  void RefreshAppTime();
  void ComputeAppPath();
  void LoadPopupMenu();
  int DispatchOne(MSG& msg);
  int TakeMessage(MSG& msg);
  void MeasureLoopRate(int& counter, DWORD& lastTime);
  long OnPowerBroadcast(WPARAM event, LPARAM data);
  void OfferToTasks(UINT message, WPARAM wParam, LPARAM lParam);
  void OnActivateApp(int active);
  void OnCommand(WORD id);
  void SetEnginesActive(int flag);
  void UpdateEnginesBounds();
  // One engine's update, render and present; 0, or the failure that ends the pass.
  long UpdateEngine(CZqEngine* engine);

  int m_bActive;
  int m_bRunning;
  DWORD m_dwAppTime;
  DWORD m_dwTimeBase;
  DWORD m_dwPauseMark;  // where the current hold began
  HWND m_hWnd;
  HACCEL m_hAccel;
  HMENU m_hPopupMenu;
  HMENU m_hWindowMenu;
  std::map<int, CZqEngine*> m_mapEngines;
  int m_bMMX;
  char m_szAppPath[255];
  std::list<SWaitMsg> m_lstWaits;  // newest first
  std::vector<CZqTask*> m_vecTasks;
  int m_bStopClockWhenInactive;
  int m_bNoSleep;
  int m_nIdleSleep;  // milliseconds
  int m_bRunInBackground;
  char m_szName[255];
  char m_szDeviceCacheFile[255];
  WORD m_wAccelId;
  WORD m_wMainMenuId;
  WORD m_wPauseCmd;
  WORD m_wPopupMenuId;
  WORD m_wNoSleepCmd;
  WORD m_wModeMenuItem;
  WORD m_wExitCmd;
  SDxDeviceInfo* m_pDeviceInfo;
  ZQ_DEVICE_CONFIRM m_pfnConfirmDevice;
  float m_fLoopPerSecond;

  int m_bStarted;  // a start-up succeeded
  int m_nHold;     // HOLD_* bits
};

// An application with a window of its own driving exactly one engine.
class ZQ_API CZqAppEx : public CZqApp {
 public:
  CZqAppEx();
  ~CZqAppEx() override;

  void OnEngineConnected(CZqEngine* engine) override;
  int DoIdle() override;
  long MsgProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // E_FAIL when a second instance holds the mutex; 0 without a usable device; 1 on success.
  // The title is not used: the window title and the mutex name come from the name.
  int CreateApp(HINSTANCE instance, char* title, WORD iconId, int fullscreen, DWORD width, DWORD height,
                WORD mainMenuId, WORD accelId, WORD noSleepCmd);

  CZqEngine* GetAppEngine() const { return m_pEngine; }

 protected:
  CZqEngine* m_pEngine;
  HANDLE m_hMutex;
};
