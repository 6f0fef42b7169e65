// The main frame: the client's main window and, at the same time, its engine. It owns the
// resource pack and the view, creates the game, drives the connection by window timers, loads
// the game once the server accepted the entry, gates closing while a round runs and mutes the
// sound while the client is in the background.
#pragma once

#include <string>

#include "ClientView.h"
#include "ZqLib.h"
#include "zqplatform/framework.h"

class CMainFrame : public CFrameWnd, public CZqEngine {
  DECLARE_DYNCREATE(CMainFrame)

 public:
  CMainFrame();
  ~CMainFrame() override;

  // Framework side.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  // The close gate.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Engine side.
  CZqUIPanel* UI_New_Register(CZqUIPanel* parent, std::string style) override;
  long RestoreSource() override;
  long OnRender() override;
  long OnDraw(CZqSurface* surface) override;

  // Device, window size, resource pack, game, text configuration and the start timer; 1 or 0.
  int StartEngine();

  int GetCountdown() const { return m_nCountdown; }
  const std::string& GetStatusText() const { return m_strStatus; }
  CClientView& GetView() { return m_wndView; }

  // Where the status text is drawn on the back buffer.
  static constexpr int kStatusX = 350;
  static constexpr int kStatusY = 280;

 protected:
  using CZqEngine::OnCreate;
  int OnCreate(LPCREATESTRUCT cs);
  void OnSetFocus(CWnd* oldWnd);
  void OnTimer(UINT_PTR id);
  void OnClose();
  void OnActivateApp(BOOL active, DWORD threadId);
  void OnSize(UINT type, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  BOOL OnCopyData(CWnd* from, COPYDATASTRUCT* data);
  void OnMoving(UINT side, LPRECT rect);

  DECLARE_MESSAGE_MAP()

 private:
  // The configured connect text and 1 to 6 dots by the countdown.
  void SetStatusText();
  void OnStartTimer();
  void OnConnectTimer();
  // The game folder of the entered game, from the slot-hall list; 1 when the game loaded.
  int LoadEnteredGame();
  // Sound and media volume alike.
  void SetVolume(long volume);
  // Whether a close may go through: the game's round is idle.
  int IsGameIdle() const;

  HCURSOR m_hArrowCursor;
  HCURSOR m_hHandCursor;
  int m_nCountdown;
  std::string m_strStatus;
  HICON m_hIcon;
  CZqSource m_Source;
  RECT m_rcClientArea;
  int m_nCenterX;
  int m_nCenterY;
  CClientView m_wndView;
};
