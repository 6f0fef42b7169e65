// The application framework the client derives from: an application object with its run loop,
// command targets with message maps, windows, frame windows, paint contexts, run-time class
// records, icons and cursors. Built on the window module; one thread.
#pragma once

#include "zqplatform/types.h"
#include "zqplatform/window.h"

#ifndef COLOR_WINDOW
#define COLOR_WINDOW 5
#endif

// Frame style: the document name goes into the title (kept for callers; this frame has no
// documents).
#define FWS_ADDTOTITLE 0x00008000L
// The id of a frame's main pane (its view).
#define AFX_IDW_PANE_FIRST 0xE900
// Standard command ids.
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141

typedef CREATESTRUCTA CREATESTRUCT;
typedef LPCREATESTRUCTA LPCREATESTRUCT;

class CObject;
class CCmdTarget;
class CWnd;
class CWinApp;

// ---- run-time class records ----------------------------------------------------------------------
struct ZQPLAT_API CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  CObject* CreateObject() const;  // null for a class that cannot be created by name
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static const CRuntimeClass class##class_name; \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define ZQ_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                               \
  const CRuntimeClass class_name::class##class_name = {#class_name, (int)sizeof(class_name), pfnNew, \
                                                       RUNTIME_CLASS(base_class_name)};              \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  ZQ_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)         \
  CObject* class_name::CreateObject() { return new class_name; } \
  ZQ_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)

class ZQPLAT_API CObject {
 public:
  static const CRuntimeClass classCObject;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject();
  BOOL IsKindOf(const CRuntimeClass* cls) const;

 protected:
  CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};

// ---- message maps ------------------------------------------------------------------------------
// An entry's handler cracks wParam and lParam for its member function; it returns TRUE when the
// message was handled, with the window procedure's result in *result.
typedef BOOL (*AFX_PMSG)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // WM_COMMAND for command entries
  UINT nID;       // command id of a command entry
  AFX_PMSG pfn;   // null ends the table
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    typedef theClass ThisClass;                                                     \
    typedef baseClass TheBaseClass;                                                 \
    static_assert(sizeof(ThisClass) > 0, "complete class");                         \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                        \
  { 0, 0, nullptr }                                                              \
  }                                                                              \
  ;                                                                              \
  static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
  return &map;                                                                   \
  }

// One entry: `body` runs with `self` (ThisClass*), `wParam`, `lParam` and sets `*result`.
#define ZQ_MSG_ENTRY(msg, id, body)                                                           \
  {msg, id, [](CCmdTarget* zqTarget, WPARAM wParam, LPARAM lParam, LRESULT* result) -> BOOL { \
     ThisClass* self = static_cast<ThisClass*>(zqTarget);                                     \
     (void)wParam;                                                                            \
     (void)lParam;                                                                            \
     *result = 0;                                                                             \
     body;                                                                                    \
     return TRUE;                                                                             \
   }},

#define ON_COMMAND(id, memberFxn) ZQ_MSG_ENTRY(WM_COMMAND, id, self->memberFxn())
#define ON_WM_CREATE() \
  ZQ_MSG_ENTRY(WM_CREATE, 0, *result = self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
#define ON_WM_DESTROY() ZQ_MSG_ENTRY(WM_DESTROY, 0, self->OnDestroy())
#define ON_WM_NCDESTROY() ZQ_MSG_ENTRY(WM_NCDESTROY, 0, self->OnNcDestroy())
#define ON_WM_CLOSE() ZQ_MSG_ENTRY(WM_CLOSE, 0, self->OnClose())
#define ON_WM_SETFOCUS() \
  ZQ_MSG_ENTRY(WM_SETFOCUS, 0, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_TIMER() ZQ_MSG_ENTRY(WM_TIMER, 0, self->OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_ACTIVATEAPP() \
  ZQ_MSG_ENTRY(WM_ACTIVATEAPP, 0, self->OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam)))
#define ON_WM_SIZE() \
  ZQ_MSG_ENTRY(WM_SIZE, 0, self->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_GETMINMAXINFO() \
  ZQ_MSG_ENTRY(WM_GETMINMAXINFO, 0, self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)))
#define ON_WM_COPYDATA()                                                                    \
  ZQ_MSG_ENTRY(WM_COPYDATA, 0,                                                              \
               *result = self->OnCopyData(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                          reinterpret_cast<COPYDATASTRUCT*>(lParam)))
#define ON_WM_MOVING() \
  ZQ_MSG_ENTRY(WM_MOVING, 0, self->OnMoving(static_cast<UINT>(wParam), reinterpret_cast<LPRECT>(lParam)))
#define ON_WM_PAINT() ZQ_MSG_ENTRY(WM_PAINT, 0, self->OnPaint())
#define ON_WM_SETCURSOR()                                                                                    \
  ZQ_MSG_ENTRY(WM_SETCURSOR, 0,                                                                              \
               *result = self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), \
                                           HIWORD(lParam)))
#define ON_WM_KEYDOWN() \
  ZQ_MSG_ENTRY(WM_KEYDOWN, 0, self->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))

// ---- command targets ---------------------------------------------------------------------------
class ZQPLAT_API CCmdTarget : public CObject {
 public:
  static const CRuntimeClass classCCmdTarget;
  const CRuntimeClass* GetRuntimeClass() const override;

  // A command (WM_COMMAND id and notification code 0) by this target's command entries; TRUE
  // when handled. With a handler-info pointer it only answers whether a handler exists.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);
  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_MSGMAP* GetThisMessageMap();

 protected:
  CCmdTarget() = default;
  // The first entry of the map chain for the message (and command id); null when none.
  static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, UINT id);
};

// ---- windows -----------------------------------------------------------------------------------
class ZQPLAT_API CWnd : public CCmdTarget {
 public:
  static const CRuntimeClass classCWnd;
  const CRuntimeClass* GetRuntimeClass() const override;

  CWnd();
  ~CWnd() override;  // destroys a window still attached

  // Slots after the command target's, in order.
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL PreTranslateMessage(MSG* msg);
  virtual void PostNcDestroy();
  virtual BOOL DestroyWindow();

  BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU menu, LPVOID param = nullptr);
  // A child window: the class null means the framework's default window class.
  BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT nID,
              LPVOID param = nullptr);

  // The window object of a handle created through the framework; null for any other.
  static CWnd* FromHandle(HWND hwnd);
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The message being handled, passed on to the default window procedure.
  LRESULT Default();

  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
  HICON SetIcon(HICON icon, BOOL bigIcon);
  // Centres the window over its owner (or parent), else over the screen.
  void CenterWindow(CWnd* alternateOwner = nullptr);
  BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
  }
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
  HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
  BOOL SetMenu(HMENU menu) { return ::SetMenu(m_hWnd, menu); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    return ::SetTimer(m_hWnd, id, elapseMs, proc);
  }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  DWORD GetStyle() const { return (DWORD)::GetWindowLongA(m_hWnd, GWL_STYLE); }
  DWORD GetExStyle() const { return (DWORD)::GetWindowLongA(m_hWnd, GWL_EXSTYLE); }
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

  HWND m_hWnd;

 protected:
  // Message handlers (the map entries of derived classes call them); each defaults to the
  // default window procedure.
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnNcDestroy();
  void OnClose();
  void OnSetFocus(CWnd* oldWnd);
  void OnTimer(UINT_PTR id);
  void OnActivateApp(BOOL active, DWORD threadId);
  void OnSize(UINT type, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  BOOL OnCopyData(CWnd* from, COPYDATASTRUCT* data);
  void OnMoving(UINT side, LPRECT rect);
  void OnPaint();
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnKeyDown(UINT nChar, UINT repeat, UINT flags);

  BOOL Attach(HWND hwnd);
  HWND Detach();

  DECLARE_MESSAGE_MAP()

  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
};

// The window procedure of every framework class: the message goes to the window object's
// WindowProc.
ZQPLAT_API LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A window class with AfxWndProc, registered once per set of values; returns its name (kept for
// the process).
ZQPLAT_API LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                      HICON icon = nullptr);

// ---- frame windows -----------------------------------------------------------------------------
class ZQPLAT_API CFrameWnd : public CWnd {
 public:
  static const CRuntimeClass classCFrameWnd;
  const CRuntimeClass* GetRuntimeClass() const override;

  CFrameWnd();
  ~CFrameWnd() override;

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void PostNcDestroy() override;  // the frame object is deleted with its window

  // Creates the frame from resource id: menu, accelerators and icon of that id, title the
  // application's name.
  virtual BOOL LoadFrame(UINT nIDResource, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* parent = nullptr, LPVOID context = nullptr);
  // The main pane (the child of id AFX_IDW_PANE_FIRST) fills the client area.
  virtual void RecalcLayout(BOOL notify = TRUE);

 protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnSetFocus(CWnd* oldWnd);

  HACCEL m_hAccelTable;
  UINT m_nIDHelp;

  DECLARE_MESSAGE_MAP()
};

// ---- paint contexts ----------------------------------------------------------------------------
typedef struct tagPAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
} PAINTSTRUCT, *LPPAINTSTRUCT;

// Opens painting of the window (its update region is validated) and closes it when destroyed.
class ZQPLAT_API CPaintDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  HDC GetSafeHdc() const { return m_hDC; }
  HDC m_hDC;
  PAINTSTRUCT m_ps;

 private:
  HWND m_hWnd;
};

// ---- the application ---------------------------------------------------------------------------
class ZQPLAT_API CWinApp : public CCmdTarget {
 public:
  static const CRuntimeClass classCWinApp;
  const CRuntimeClass* GetRuntimeClass() const override;

  explicit CWinApp(LPCSTR appName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitApplication();
  virtual BOOL InitInstance();
  // Pumps and idles until WM_QUIT, then returns ExitInstance().
  virtual int Run();
  virtual BOOL PreTranslateMessage(MSG* msg);
  // One idle pass; TRUE while more idle work is wanted.
  virtual BOOL OnIdle(LONG count);
  // The exit code: the wParam of the last message taken (WM_QUIT's code).
  virtual int ExitInstance();
  // Takes one message (waiting for it) and dispatches it; FALSE on WM_QUIT.
  virtual BOOL PumpMessage();
  // FALSE for messages that do not end idleness (painting, a mouse move that did not move).
  virtual BOOL IsIdleMessage(MSG* msg);

  void SetRegistryKey(LPCSTR key);
  LPCSTR GetRegistryKey() const { return m_strRegistryKey; }
  BOOL Enable3dControls() { return TRUE; }
  HICON LoadIcon(UINT id) const { return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(id)); }
  HCURSOR LoadCursor(UINT id) const { return ::LoadCursorA(m_hInstance, MAKEINTRESOURCEA(id)); }
  HCURSOR LoadStandardCursor(LPCSTR name) const { return ::LoadCursorA(nullptr, name); }
  HICON LoadStandardIcon(LPCSTR name) const { return ::LoadIconA(nullptr, name); }

  HINSTANCE m_hInstance;
  LPSTR m_lpCmdLine;
  int m_nCmdShow;
  LPCSTR m_pszAppName;
  CWnd* m_pMainWnd;
  MSG m_msgCur;

 protected:
  char m_strRegistryKey[256];
  char m_strAppName[256];
  POINT m_ptCursorLast;
  UINT m_nMsgLast;

  DECLARE_MESSAGE_MAP()
};

ZQPLAT_API CWinApp* AfxGetApp();
ZQPLAT_API CWnd* AfxGetMainWnd();
ZQPLAT_API HINSTANCE AfxGetInstanceHandle();
ZQPLAT_API void AfxPostQuitMessage(int exitCode);
// Control containers have no meaning here; kept for start-up code that asks for them.
ZQPLAT_API void AfxEnableControlContainer();

// The program's entry: the application object's InitInstance, then its Run; returns the exit code.
ZQPLAT_API int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCmd);
