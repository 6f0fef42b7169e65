#include "ZqDebug.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <string>

#include "common/Globals.h"

CZqDebug::CZqDebug() { Open("DEBUG.LOG"); }

CZqDebug::CZqDebug(char* name) {
  std::string file = std::string(name ? name : "") + ".log";
  Open(file.c_str());
}

void CZqDebug::Open(const char* path) {
  // The log becomes current even when the file cannot be opened; it then stays silent.
  open(zqMapPath(path), std::ios::out | std::ios::trunc);
  zq::g_debuger = this;
}

CZqDebug::~CZqDebug() {
  if (is_open()) close();
  zq::g_debuger = nullptr;
}

void CZqDebug::OnAddLog(const char*, const char*, const char*) {}

void CZqDebug::ADD_LOG(const char* format, ...) {
  if (fail() || bad()) return;
  char text[264];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(text, sizeof text, format ? format : "", args);
  va_end(args);
  if (n < 0) text[0] = 0;

  time_t now = ::time(nullptr);
  struct tm lt;
  localtime_r(&now, &lt);
  char tbuf[40], dbuf[40];
  snprintf(tbuf, sizeof tbuf, "%02d:%02d:%02d", lt.tm_hour, lt.tm_min, lt.tm_sec);
  snprintf(dbuf, sizeof dbuf, "%02d/%02d/%02d", lt.tm_mon + 1, lt.tm_mday, lt.tm_year % 100);

  OnAddLog(tbuf, dbuf, text);

  *this << tbuf << "     " << dbuf << '\n';
  flush();
  *this << text << '\n';
  flush();
  *this << '\n';
  flush();
}

CZqTimer::CZqTimer() : m_dwStart(timeGetTime()), m_dwDuration(0), m_bRunning(0) {}

CZqTimer::CZqTimer(DWORD duration) : m_dwStart(timeGetTime()), m_dwDuration(duration), m_bRunning(0) {}

void CZqTimer::Start(DWORD duration) {
  m_dwStart = timeGetTime();
  if (duration) m_dwDuration = duration;
  m_bRunning = 1;
}

void CZqTimer::Stop() {
  m_bRunning = 0;
  m_dwDuration = 0;
}

int CZqTimer::IsRuning() { return (DWORD)(timeGetTime() - m_dwStart) <= m_dwDuration ? 1 : 0; }

int CZqTimer::IsEnd() {
  if (!m_bRunning) return 0;
  if ((DWORD)(timeGetTime() - m_dwStart) <= m_dwDuration) return 0;
  m_bRunning = 0;
  return 1;
}
