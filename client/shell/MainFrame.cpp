#include "MainFrame.h"

#include <algorithm>
#include <cstring>

#include "ShellGlobals.h"
#include "games/core/GameGlobals.h"
#include "games/core/SlotGame.h"
#include "games/pieces/BonusPanel.h"
#include "games/pieces/StartPolePanel.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_SETFOCUS()
ON_WM_TIMER()
ON_WM_CLOSE()
ON_WM_ACTIVATEAPP()
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
ON_WM_COPYDATA()
ON_WM_MOVING()
END_MESSAGE_MAP()

namespace {

constexpr UINT kIconResource = 128;
constexpr int kWindowWidth = 728;
constexpr int kWindowHeight = 567;
constexpr int kMinTrackWidth = 648;
constexpr int kMinTrackHeight = 507;
constexpr int kMaxTrackWidth = 808;
constexpr int kMaxTrackHeight = 627;
constexpr UINT kTimerPeriodMs = 500;
// Connection ticks: attempts on the first and every sixth, the give-up after the last.
constexpr int kConnectTicks = 30;
constexpr int kAttemptEvery = 6;
constexpr long kVolumeOn = 0;
constexpr long kVolumeOff = -10000;
// The close command as WM_COMMAND carries it.
constexpr WPARAM kCloseCommand = 0xF060;
// The window title, in the Big5 code page: "Ombrel" 拉霸館 "(V1006)".
constexpr char kTitleBig5[] = "Ombrel\xA9\xD4\xC5\x51\xC0\x5D(V1006)";
constexpr UINT kBig5CodePage = 950;

}  // namespace

CMainFrame::CMainFrame()
    : m_hArrowCursor(AfxGetApp() ? AfxGetApp()->LoadStandardCursor(IDC_ARROW)
                                 : LoadCursorA(nullptr, IDC_ARROW)),
      m_hHandCursor(AfxGetApp() ? AfxGetApp()->LoadStandardCursor(IDC_HAND) : LoadCursorA(nullptr, IDC_HAND)),
      m_nCountdown(0),
      m_hIcon(LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(kIconResource))),
      m_rcClientArea{0, 0, 0, 0},
      m_nCenterX(0),
      m_nCenterY(0) {
  g_pMainFrame = this;
}

CMainFrame::~CMainFrame() {
  // The game outlives the frame: its panels go now, while their engine still exists, and
  // nothing reaches it through the engine or the network task any more.
  if (g_pSlotGame) {
    SetGame(nullptr);
    g_pSlotGame->UnloadGame();
    g_NetTask.SetGame(nullptr);
  }
  if (g_hClientFont) {
    DeleteObject(g_hClientFont);
    g_hClientFont = nullptr;
  }
  // Nothing may reach the frame through the globals once it is gone.
  if (g_pMainFrame == this) g_pMainFrame = nullptr;
  if (g_hMainWnd == CWnd::m_hWnd) g_hMainWnd = nullptr;
}

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) {
  if (m_wndView.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
  cs.style = WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  if (cs.hMenu) DestroyMenu(cs.hMenu);
  cs.hMenu = nullptr;
  cs.lpszClass = AfxRegisterWndClass(0);
  return cs.lpszClass != nullptr;
}

int CMainFrame::IsGameIdle() const {
  const CSlotGame* game = g_pSlotGame;
  // Nothing runs before the game exists.
  if (!game) return 1;
  switch (g_nGameType) {
    case 0:
      return game->m_nTurntableState == 0 && !game->m_bAutoStopRequested && !game->IsAutoPlay();
    case 1:
      return game->m_nCardState == 0;
    case 2:
      return game->m_nMahjongState == 0 && !game->m_bAutoStopRequested && !game->IsAutoPlay();
    default:
      return 0;
  }
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const bool close =
      message == WM_CLOSE || message == WM_QUIT || (message == WM_COMMAND && wParam == kCloseCommand);
  if (close) {
    if (IsGameIdle()) {
      g_bExiting = 1;
    } else if (!g_bExiting) {
      // A round is running: the close is swallowed.
      return 0;
    }
  } else if (!g_bExiting) {
    if (CZqApp* app = CZqFunc::GetZqApp()) app->MsgProc(message, wParam, lParam);
    CZqEngine::MsgProc(message, UINT(wParam), long(lParam));
    return CFrameWnd::WindowProc(message, wParam, lParam);
  }
  if (!g_bQuitSent) {
    g_bQuitSent = 1;
    g_NetTask.SendQuit();
  }
  return CFrameWnd::WindowProc(message, wParam, lParam);
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  if (!m_wndView.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{0, 0, 0, 0}, this,
                        AFX_IDW_PANE_FIRST, nullptr))
    return -1;
  if (!zqSetWindowTextCodePage(GetSafeHwnd(), kTitleBig5, kBig5CodePage)) return -1;
  return 0;
}

void CMainFrame::OnSetFocus(CWnd*) { m_wndView.SetFocus(); }

void CMainFrame::OnClose() {
  KillTimer(TIMER_EXTRA);
  CFrameWnd::OnClose();
}

void CMainFrame::SetVolume(long volume) {
  SetMediaVolume(volume);
  SetSoundVolume(volume);
}

void CMainFrame::OnActivateApp(BOOL active, DWORD threadId) {
  CFrameWnd::OnActivateApp(active, threadId);
  SetVolume(active ? kVolumeOn : kVolumeOff);
}

void CMainFrame::OnSize(UINT type, int cx, int cy) {
  CFrameWnd::OnSize(type, cx, cy);
  UpdateBounds();
  if (type == SIZE_MINIMIZED || type == SIZE_MAXHIDE) {
    SetVolume(kVolumeOff);
  } else if (type == SIZE_MAXIMIZED) {
    CenterWindow();
    SetVolume(kVolumeOn);
  } else {
    SetVolume(kVolumeOn);
  }
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, kMinTrackWidth);
  info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, kMinTrackHeight);
  info->ptMaxTrackSize.x = std::min<LONG>(info->ptMaxTrackSize.x, kMaxTrackWidth);
  info->ptMaxTrackSize.y = std::min<LONG>(info->ptMaxTrackSize.y, kMaxTrackHeight);
  CFrameWnd::OnGetMinMaxInfo(info);
}

BOOL CMainFrame::OnCopyData(CWnd* from, COPYDATASTRUCT* data) { return CFrameWnd::OnCopyData(from, data); }

void CMainFrame::OnMoving(UINT side, LPRECT rect) { CFrameWnd::OnMoving(side, rect); }

CZqUIPanel* CMainFrame::UI_New_Register(CZqUIPanel* parent, std::string style) {
  // Like the engine's widgets, the game's panels exist only as children.
  if (style == "start_pole") return parent ? new CStartPolePanel(parent) : nullptr;
  if (style == "bonus_panel") return parent ? new CBonusPanel(parent) : nullptr;
  return CZqEngine::UI_New_Register(parent, std::move(style));
}

long CMainFrame::RestoreSource() {
  m_wndView.ShowWindow(IsFullscreen() ? SW_HIDE : SW_SHOW);
  return CZqEngine::RestoreSource();
}

long CMainFrame::OnRender() {
  CZqEngine::OnRender();
  return 0;
}

long CMainFrame::OnDraw(CZqSurface* surface) {
  CZqEngine::OnDraw(surface);
  if (m_nCountdown > 0 && surface) {
    surface->Clear(0);
    surface->DrawTextDirect(g_hClientFont, m_strStatus.c_str(), kStatusX, kStatusY, RGB(255, 255, 255),
                            RGB(1, 1, 1));
  }
  return 0;
}

int CMainFrame::StartEngine() {
  HWND hwnd = GetSafeHwnd();
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  if (InitEngine(hwnd, ZQ_RENDER_WIDTH, ZQ_RENDER_HEIGHT, 0) < 0) return 0;
  PrepareForRender();

  SetWindowPos(nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CenterWindow();
  CWnd::GetClientRect(&m_rcClientArea);
  RECT window;
  CWnd::GetWindowRect(&window);
  m_nCenterX = window.left;
  m_nCenterY = window.top;

  m_Source.Load("Data.Zqs");
  SetSource(&m_Source);

  g_pSlotGame = new CSlotGame(this);
  g_NetTask.SetGame(g_pSlotGame);
  m_nCountdown = 1;

  RestoreSource();
  if (CZqApp* app = CZqFunc::GetZqApp()) app->DoIdle();

  LoadConfig(g_TextConfig, "text");
  const long charset = g_TextConfig.GetLong("FONT", "charset", "0");
  char face[256];
  g_TextConfig.GetString(face, sizeof face, "FONT", "name", "");
  const long size = g_TextConfig.GetLong("FONT", "size", "0");
  CZqFunc::Font_SetDefaultFont(size, face, charset);
  g_hClientFont = CZqFunc::Font_QuickCreateFont(0, nullptr, 1, 0, 0, 0);

  SetTimer(TIMER_START, kTimerPeriodMs, nullptr);
  return 1;
}

void CMainFrame::SetStatusText() {
  char text[256];
  g_TextConfig.GetString(text, sizeof text, "TEXT", "connect", "");
  m_strStatus = text;
  m_strStatus.append(size_t((600 - m_nCountdown) % kAttemptEvery + 1), '.');
}

void CMainFrame::OnTimer(UINT_PTR id) {
  switch (id) {
    case TIMER_START:
      if (m_nCountdown > 0) {
        SetStatusText();
        --m_nCountdown;
        return;
      }
      OnStartTimer();
      break;
    case TIMER_CONNECT:
      if (!g_NetTask.IsJoined() && m_nCountdown > 0) {
        SetStatusText();
        if ((600 - m_nCountdown) % kAttemptEvery == 0) g_NetTask.ConnectAndLogin();
        --m_nCountdown;
        return;
      }
      OnConnectTimer();
      break;
    case TIMER_MARQUEE_RESTORE:
      if (g_pSlotGame) g_pSlotGame->RestoreMarquee();
      break;
    case TIMER_NO_MONEY_EXIT:
      KillTimer(TIMER_NO_MONEY_EXIT);
      if (g_pSlotGame) g_pSlotGame->RequestExit();
      break;
  }
  CFrameWnd::OnTimer(id);
}

void CMainFrame::OnStartTimer() {
  KillTimer(TIMER_START);
  if (!g_NetTask.ParseConnectString(g_szConnectString)) {
    MessageBoxA(nullptr, "Please enter in lobby!", "Error", MB_ICONERROR);
    PostQuitMessage(0);
    return;
  }
  SetTimer(TIMER_CONNECT, kTimerPeriodMs, nullptr);
  m_nCountdown = kConnectTicks;
}

void CMainFrame::OnConnectTimer() {
  KillTimer(TIMER_CONNECT);
  if (g_NetTask.IsJoined()) {
    if (!LoadEnteredGame()) {
      PostQuitMessage(0);
      return;
    }
    m_nCountdown = 0;
    g_bGameReady = 1;
    return;
  }
  char text[256];
  g_TextConfig.GetString(text, sizeof text, "TEXT", "over_connect", "");
  m_strStatus = text;
  MessageBoxA(g_hMainWnd, text, "Error", MB_ICONERROR);
  PostQuitMessage(0);
}

int CMainFrame::LoadEnteredGame() {
  if (!g_pSlotGame) return 0;
  SetGame(g_pSlotGame);
  CConfig hall;
  if (!LoadConfig(hall, ZQ_GBK("拉霸"))) return 0;
  char folder[256];
  hall.GetString(folder, sizeof folder, "GAMES", g_NetTask.GetGameKey().c_str(), "");
  return g_pSlotGame->LoadGame(folder);
}
