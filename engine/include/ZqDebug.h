// Debug log (CZqDebug) and the millisecond one-shot timer (CZqTimer).
#pragma once

#include <fstream>

#include "ZqDefs.h"

// The engine's text log. The most recently constructed log is the process's current
// log (CZqFunc::GetDebuger); destroying any log clears it.
class ZQ_API CZqDebug : public std::ofstream {
 public:
  CZqDebug();                     // "DEBUG.LOG" in the working folder, truncated
  explicit CZqDebug(char* name);  // "<name>.log"
  ~CZqDebug();

  // One entry: "HH:MM:SS     MM/DD/YY", the message, an empty line; each line flushed.
  virtual void ADD_LOG(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Sees every entry before it is written.
  virtual void OnAddLog(const char* time, const char* date, const char* text);

  CZqDebug(const CZqDebug&) = delete;
  CZqDebug& operator=(const CZqDebug&) = delete;

 private:
  void Open(const char* path);
};

// One-shot timer in system milliseconds (timeGetTime); wrap-safe by unsigned subtraction.
class ZQ_API CZqTimer {
 public:
  CZqTimer();
  explicit CZqTimer(DWORD duration);

  void Start(DWORD duration);  // 0 keeps the stored duration
  void Stop();
  int IsRuning();  // 1 while now - start <= duration, whatever the running flag says
  int IsEnd();     // 1 once, the first time it is asked after the duration has passed

  DWORD m_dwStart;
  DWORD m_dwDuration;
  int m_bRunning;
};
