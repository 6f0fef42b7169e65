// The engine of one window: CZqEngine (device set-up, frame pipeline, present and restore;
// messages and input, registries and the painter are declared in the marked blocks below).
#pragma once

#include <list>
#include <map>
#include <string>

#include "ZqDefs.h"
#include "ZqDevice.h"
#include "ZqGeometry.h"
#include "ZqSurface.h"

class CZqGame;
class CZqMedia;
class CZqSource;
class CZqTexture;
class CZqTextureGroup;
class CZqSound;
class CZqUIPanel;
class CConfig;
struct sFileInfo;
class IDirectSound8;
class IDirectSound3DListener;

// Back-buffer size: everything is drawn into one 800x600 buffer.
#define ZQ_RENDER_WIDTH 800
#define ZQ_RENDER_HEIGHT 600

class ZQ_API CZqEngine {
 public:
  CZqEngine();
  CZqEngine(const CZqEngine&) = delete;
  CZqEngine& operator=(const CZqEngine&) = delete;

  // ---- virtual operations, in slot order ----
  virtual CZqUIPanel* UI_New_Register(CZqUIPanel* parent, std::string style);
  virtual long RestoreSource();
  virtual long ReleaseSource();
  virtual ~CZqEngine();
  virtual int OnUpdate();
  virtual long OnRender();
  virtual long OnDraw(CZqSurface* surface);
  virtual long OnCreate();
  virtual long OnInitDevice();
  virtual long OnCleanDevice();
  virtual long OnFinalCleanup();
  virtual void OnSizeChanged();
  virtual void OnDismiss();
  virtual long MsgProc(UINT message, UINT wParam, long lParam);
  virtual void Pause(int pause);
  virtual DWORD OnMouseMove(UINT keys);
  virtual DWORD OnMouseWheel(UINT keys, short delta);
  virtual DWORD OnLButtonDown(UINT keys);
  virtual DWORD OnLButtonUp(UINT keys);
  virtual DWORD OnLButtonDbClk(UINT keys);
  virtual DWORD OnRButtonDown(UINT keys);
  virtual DWORD OnRButtonUp(UINT keys);
  virtual DWORD OnRButtonDbClk(UINT keys);
  virtual DWORD OnChar(UINT key, UINT repeat, UINT keyFlags);
  virtual DWORD OnKeyDown(UINT key, UINT repeat, UINT keyFlags);
  virtual DWORD OnKeyUp(UINT key, UINT repeat, UINT keyFlags);
  virtual long BuildParticles();

  // ---- device set-up, frame pipeline, present and restore ----
  long InitEngine(HWND window, int width, int height, int resize);
  long DestroyEngine();
  long DestroyObjects();
  long RestoreEngine();
  long RestoreSurfaces();
  long PrepareForRender();
  int _UpdateEngine();
  long _RenderEngine();
  long Present();
  void UpdateBounds();
  long ChangeEngineMode();
  long Resize(int width, int height);
  void SetActive(int active);
  void RePaint();
  int Resume() { return 1; }
  int GetSurfaceCount() { return 0; }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value);
  // The arguments are taken by value: callers that need the bits lock the back surface.
  long Lock(BYTE* bits, LONG pitch);
  long Unlock();
  int IsChanged() const { return m_bRenderAllowed && m_bActive; }

  // Where the back buffer goes in the client area (m_nBoundsMode): stretched over it, unscaled at
  // a corner or centred and cut to it, or as large as fits with the buffer's aspect kept.
  enum : int {
    BOUNDS_STRETCH = 0,
    BOUNDS_TOP_LEFT = 1,
    BOUNDS_TOP_RIGHT = 2,
    BOUNDS_BOTTOM_LEFT = 3,
    BOUNDS_BOTTOM_RIGHT = 4,
    BOUNDS_CENTRE = 5,
    BOUNDS_KEEP_ASPECT = 6
  };
  int IsValid() const { return !m_bLost && m_pBackSurface != nullptr; }

  // Shows a GDI window over an exclusive full-screen display; nothing while windowed.
  long SetFsWindow(HWND window, int capture);
  void EndFsWindow();
  // Gives the screen back to GDI in full screen (redrawing the menu bar and frame on request).
  long FlipToGDISurface(int redraw);

  // ---- accessors ----
  int GetEngineID() const { return m_nEngineID; }
  int IsActive() const { return m_bActive; }
  int IsLost() const { return m_bLost; }
  int IsFullscreen() const { return m_bFullscreen; }
  int IsStereo() const { return m_bStereo; }
  int IsUseZBuffer() const { return m_bUseZBuffer; }
  LPDIRECTDRAW7 GetDirectDraw() const { return m_pDD; }
  LPDIRECT3D7 GetDirect3D() const { return m_pD3D; }
  LPDIRECT3DDEVICE7 GetD3dDevice() const { return m_pD3DDevice; }
  LPDIRECTDRAWSURFACE7 GetFrontBuffer() const { return m_pddsFront; }
  LPDIRECTDRAWSURFACE7 GetRenderSurface() const { return m_pddsBack; }
  LPDIRECTDRAWSURFACE7 GetBackBuffer() const { return m_pddsBack; }
  LPDIRECTDRAWSURFACE7 GetRenderSurfaceLeft() const { return m_pddsBackLeft; }
  CZqSurface* GetBackSurface() const { return m_pBackSurface; }
  CZqSurface* GetZBufferSurface() const { return m_pZBufferSurface; }
  DWORD GetRenderWidth() const { return m_dwRenderWidth; }
  DWORD GetRenderHeight() const { return m_dwRenderHeight; }
  HWND GetEngineWnd() const { return m_hWnd; }
  const SScreenRect& GetClientRect() const { return m_rcClient; }
  const SScreenRect& GetDestRect() const { return m_rcDest; }
  const SScreenRect& GetSourceRect() const { return m_rcSource; }
  DWORD GetFramePeriod() const { return m_dwFramePeriod; }
  DWORD GetEngineTime() const { return m_dwEngineTime; }
  DWORD GetElapsedTime() const { return m_dwElapsed; }
  void SetSource(CZqSource* source) { m_pSource = source; }
  CZqSource* GetSourcePtr() const { return m_pSource; }
  void SetGame(CZqGame* game) { m_pGame = game; }
  CZqGame* GetGamePtr() const { return m_pGame; }
  IDirectSound8* GetDirectSound() const { return m_pDS; }
  IDirectSound3DListener* GetDirectSoundListener() const { return m_pListener; }
  void SetEngineLeftViewMatrix(const D3DMATRIX& m) { m_matLeft = m; }
  void SetEngineRightViewMatrix(const D3DMATRIX& m) { m_matRight = m; }
  void SetEngineViewMatrix(const D3DMATRIX& m) { m_matView = m; }
  void SetPlayVideo(CZqMedia* media);
  CZqMedia* GetPlayVideo() const { return m_pPlayVideo; }
  WORD GetPopupMenuId() const { return m_idPopupMenu; }
  HMENU GetPopupMenu() const { return m_hPopupMenu; }
  WORD GetModeMenuId() const { return m_idModeMenu; }

  // ==== message handling, input mapping and menus ====
// The engine menu's windowed item; display mode i is ZQ_MENU_MODE_BASE + i.
#ifndef ZQ_MENU_WINDOWED
#define ZQ_MENU_WINDOWED 0xFF00
#endif
  // Brings the engine's items of `menu` up to date (checks, greys, radio items, mode text).
  void _UpdateMenu(HMENU menu);
  const SScreenPoint& GetMousePoint() const { return m_ptMouse; }

 protected:
  // A client-area point of WM_MOUSEMOVE into back-buffer space; kept when nothing is shown.
  void _MapMousePoint(long lParam);
  // The engine's menu commands; 1 when the command is answered here and the game must not see it.
  int _OnMenuCommand(WORD id);
  void _OnGetMinMaxInfo(MINMAXINFO* info);

 public:
  // ==== end of message handling ====

  // ==== registries, resource lookup and the UI factory ====
  // Shared by name: a found texture or group gains a user; a failed load is retried next time.
  CZqTexture* FindTexture(const char* name);
  CZqTextureGroup* FindTextureGroup(const char* name);
  // Forgets the name without deleting the group (called from the group's destructor).
  void FreeTextureGroup(const char* name);
  void CleanupParticles();
  CZqTexture* FindParticle(DWORD index);
  CZqSound* FindSound(const char* name);
  void CleanupSoundCache();
  void SetSoundVolume(long volume);
  long GetSoundVolume() const;
  void SetMediaVolume(long volume);  // clamped to -10000..0
  long GetMediaVolume() const;
  CZqUIPanel* FindUIFromID(DWORD id);
  // The first panel in id order whose name is exactly `name`.
  CZqUIPanel* FindUIFromName(const char* name);
  sFileInfo* FindSource(const char* name);
  int LoadConfig(CConfig& reader, const char* name);

  // The factory's styles: each panel class registers the style it is made for (null forgets).
  typedef CZqUIPanel* (*UICreator)(CZqEngine* engine, CZqUIPanel* parent);
  static void UI_RegisterStyle(const char* style, UICreator create);

  // Sounds, media objects and panels enter and leave the registries themselves.
  void _ForgetSound(CZqSound* sound);
  void _DeleteTextures();
  void _DeleteTextureGroups();
  int _RegisterMedia(CZqMedia* media);
  void _ForgetMedia(CZqMedia* media);
  CZqMedia* _FindMedia(int index);
  DWORD _RegisterUI(CZqUIPanel* panel);  // the first free id from 100 to 9998, else 0
  void _ForgetUI(DWORD id, CZqUIPanel* panel);
  // ==== end of registries ====

  // ==== quad painter and paint helpers ====
  // Blend and stage-0 state for the painters; call once before a run of them.
  void PreparePaint(DWORD srcBlend, DWORD destBlend, DWORD colorOp, DWORD alphaOp);
  long Render_DrawLine(long x1, long y1, long x2, long y2, DWORD color);
  long Render_DrawRect(SScreenRect* rect, int filled, DWORD color, float z);
  // Corner colours top-left, top-right, bottom-left, bottom-right.
  long Render_DrawRectEx(SScreenRect* rect, int filled, DWORD colorTL, DWORD colorTR, DWORD colorBL,
                         DWORD colorBR, float z);

  // A texture at (x, y) less its base point; no texture covers the whole back buffer.
  // Angles are radians, positive turning clockwise on the screen.
  long Render_Paint(long x, long y, CZqTexture* texture, float z, float scaleX, float scaleY, float alpha,
                    float angle, DWORD color);
  long Render_PaintFast(long x, long y, CZqTexture* texture, float z, float scaleX, float scaleY, float alpha,
                        DWORD color);
  // The rotating clip members draw like their unclipped twins.
  long Render_ClipPaint(long x, long y, SScreenRect clip, CZqTexture* texture, float z, float scaleX,
                        float scaleY, float alpha, float angle, DWORD color);
  long Render_ClipPaintFast(long x, long y, SScreenRect clip, CZqTexture* texture, float z, float scaleX,
                            float scaleY, float alpha, DWORD color);
  // The frame members first draw a box with four corner colours over the same quad.
  long Render_PaintFrame(long x, long y, CZqTexture* texture, int filled, DWORD boxTL, DWORD boxTR,
                         DWORD boxBL, DWORD boxBR, float z, float scaleX, float scaleY, float alpha,
                         float angle, DWORD color);
  long Render_PaintFastFrame(long x, long y, CZqTexture* texture, int filled, DWORD boxTL, DWORD boxTR,
                             DWORD boxBL, DWORD boxBR, float z, float scaleX, float scaleY, float alpha,
                             DWORD color);
  long Render_ClipPaintFrame(long x, long y, SScreenRect clip, CZqTexture* texture, int filled, DWORD boxTL,
                             DWORD boxTR, DWORD boxBL, DWORD boxBR, float z, float scaleX, float scaleY,
                             float alpha, float angle, DWORD color);
  long Render_ClipPaintFastFrame(long x, long y, SScreenRect clip, CZqTexture* texture, int filled,
                                 DWORD boxTL, DWORD boxTR, DWORD boxBL, DWORD boxBR, float z, float scaleX,
                                 float scaleY, float alpha, DWORD color);
  // The Ex members take four corner colours, each with its own alpha.
  long Render_PaintEx(long x, long y, CZqTexture* texture, DWORD colorTL, DWORD colorTR, DWORD colorBL,
                      DWORD colorBR, float z, float scaleX, float scaleY, float angle);
  long Render_PaintFastEx(long x, long y, CZqTexture* texture, DWORD colorTL, DWORD colorTR, DWORD colorBL,
                          DWORD colorBR, float z, float scaleX, float scaleY);
  long Render_ClipPaintEx(long x, long y, SScreenRect clip, CZqTexture* texture, DWORD colorTL, DWORD colorTR,
                          DWORD colorBL, DWORD colorBR, float z, float scaleX, float scaleY, float angle);
  long Render_ClipPaintFastEx(long x, long y, SScreenRect clip, CZqTexture* texture, DWORD colorTL,
                              DWORD colorTR, DWORD colorBL, DWORD colorBR, float z, float scaleX,
                              float scaleY);

  // Multiply the scene (in the rectangle, or all of it) by the level: 0 black, 1 unchanged, 2 doubled.
  long Render_LightRect(SScreenRect* rect, float level);
  long DarkenScene(float level);

  // Sawtooth from `from` towards `to`, and triangle wave starting at `to`, on the engine time.
  float ValueLoop(float from, float to, DWORD start, long period, long divisor);
  float ValueCycle(float from, float to, DWORD start, long period, long divisor);

 protected:
  // The quad in the vertex block, and the draws of it.
  int _PaintPlainSurface(long x, long y, CZqTexture* texture, float scaleX, float scaleY, long* result);
  void _PaintSize(CZqTexture* texture, float* width, float* height, float* baseX, float* baseY);
  void _PaintColors(DWORD tl, DWORD tr, DWORD bl, DWORD br, float z);
  void _PaintCorners(long x, long y, float width, float height, float baseX, float baseY, float scaleX,
                     float scaleY, float angle);
  // Moves the quad's edges and texture coordinates onto the clip; 0 when nothing is left.
  int _PaintClip(const SScreenRect& clip);
  void _PaintResetCoords();
  // Every painter: box colours (null: no box), the quad's corner colours, clip (null: none).
  long _Paint(long x, long y, const SScreenRect* clip, CZqTexture* texture, const DWORD* box, int filled,
              const DWORD* colors, float z, float scaleX, float scaleY, float angle, int plainPath);
  long _PaintBox(int filled, DWORD tl, DWORD tr, DWORD bl, DWORD br);
  long _PaintQuad(LPDIRECTDRAWSURFACE7 texture);
  LPDIRECTDRAWSURFACE7 _PaintTexture(CZqTexture* texture);

 public:
  // ==== end of painter ====

 protected:
  long _CreateDriver();
  long _CreateDevice(int width, int height, int resize);
  long _CreateWindowedBuffers(int width, int height, int resize);
  // Moves the window to width x height and then grows it so that its client area has that size.
  void _SizeWindowClient(int width, int height);
  // The exclusive flip chain at a display mode, and its present with the GDI window drawn over.
  long _CreateFullscreenBuffers(DDSURFACEDESC2* mode);
  long _FsFlip();
#ifdef ZQ_OLDER_BUILD
  // Stereo pairs are drawn when a subclass set the switch and the record its flag, in full screen.
  int _IsStereoPass() const {
    return m_bStereo && m_pDeviceInfo && m_pDeviceInfo->dwReserved && m_bFullscreen && m_pddsBackLeft;
  }
  // The three view matrices of a stereo pair: eyes `separation` apart across the view direction.
  void SetViewParams(D3DVECTOR* eye, D3DVECTOR* at, D3DVECTOR* up, float separation);
#endif
  long _Create3DDevice();
  long _CreateZBuffer();
  long _CreateSoundSystem();
  void _ReleaseSoundSystem();
  // Tests the cooperative level; 1 when rendering may go on, else *result is the answer.
  int _CheckCooperativeLevel(long* result, int windowedWrongModeSwitches);
  // Releases the device, the surface wrappers and the surfaces; the driver stays.
  void _ReleaseDeviceObjects();
  // The engine clock's stops (pause, inactivity, window move), measured on the application clock.
  // Overlapping stops are one stop: the time base moves once, when the last one ends.
  enum : int { HOLD_PAUSE = 1, HOLD_INACTIVE = 2, HOLD_SIZEMOVE = 4 };
  void _HoldClock(int reason);
  void _ReleaseClock(int reason);

  // Registered objects, for restore and teardown (their registry code fills these in).
  void _ReleaseRegisteredObjects();
  long _RestoreRegisteredObjects();
  void _DeleteRegisteredObjects();
  void _ForgetRegistries();
  void _PauseMedia(int pause);
  void _StopMedia(CZqMedia* media);
  void _MediaUpdateBounds(CZqMedia* media);

  SDxDeviceInfo* m_pDeviceInfo;
  int m_nEngineID;
  int m_bActive;
  int m_bLost;
  int m_bExclusiveFlip;
  int m_bRenderAllowed;
  HWND m_hFsWindow;
  HBITMAP m_hFsBitmap;
  DWORD m_dwZBufferMemory;
  LPDIRECTDRAW7 m_pDD;
  LPDIRECT3D7 m_pD3D;
  int m_bFullscreen;
  int m_bStereo;
  int m_bUseZBuffer;
  LPDIRECT3DDEVICE7 m_pD3DDevice;
  LPDIRECTDRAWSURFACE7 m_pddsFront;
  LPDIRECTDRAWSURFACE7 m_pddsBack;
  LPDIRECTDRAWSURFACE7 m_pddsBackLeft;
  LPDIRECTDRAWSURFACE7 m_pddsZBuffer;
  CZqSurface* m_pBackSurface;
  CZqSurface* m_pBackSurfaceLeft;
  CZqSurface* m_pZBufferSurface;
  DWORD m_dwRenderWidth;
  DWORD m_dwRenderHeight;
  HWND m_hWnd;
  HMENU m_hPopupMenu;
  HMENU m_hWindowMenu;
  SScreenRect m_rcClient;
  SScreenRect m_rcDest;
  SScreenRect m_rcSource;
  int m_bClearBeforePresent;
  DDSURFACEDESC2 m_ddsdMode;
  DWORD m_dwFramePeriod;
  DWORD m_dwFrozenTime;
  DWORD m_dwTimeBase;
  DWORD m_dwPauseMark;
  DWORD m_dwPauseCount;
  DWORD m_dwLastUpdate;
  DWORD m_dwEngineTime;
  DWORD m_dwElapsed;
  CZqSource* m_pSource;
  CZqGame* m_pGame;
  D3DTLVERTEX m_vtx[4];
  WORD m_wOutlineIndex[5];
  WORD m_wTriangleIndex[6];
  IDirectSound3DListener* m_pListener;
  long m_lSoundVolume;
  long m_lMediaVolume;
  IDirectSound8* m_pDS;

  // ==== registry members ====
  std::map<std::string, std::list<CZqSound*>> m_mapSound;
  std::map<int, CZqMedia*> m_mapMedia;
  std::map<DWORD, CZqUIPanel*> m_mapUI;
  std::map<std::string, CZqTexture*> m_mapTexture;
  std::map<std::string, CZqTextureGroup*> m_mapTextureGroup;
  std::vector<CZqTexture*> m_vecParticle;
  // ==== end of registry members ====

  SScreenPoint m_ptMouse;
  int m_nBoundsMode;
  int m_bSingleStep;
  int m_bViewMatrix;
  int m_bWantZBuffer;
  int m_bUpdateInactive;
  int m_nStepSize;
  WORD m_idPopupMenu;
  WORD m_idModeSwitch;
  WORD m_idSingleStep;
  WORD m_idStep;
  WORD m_idPause;
  WORD m_idNoEffect;
  WORD m_idModeMenu;
  // Shown by the menu: the engine pause toggle, and the GDI window over full screen.
  int m_bPaused = 0;
  int m_bFsWindowFlag = 0;
  D3DMATRIX m_matLeft;
  D3DMATRIX m_matRight;
  D3DMATRIX m_matView;
  CZqMedia* m_pPlayVideo;

  // The window as it was before full screen (style, rectangle, back-buffer size), to come back to.
  DWORD m_dwSavedStyle;
  RECT m_rcSavedWindow;
  int m_bWindowSaved = 0;
  DWORD m_dwWindowedWidth = 0;
  DWORD m_dwWindowedHeight = 0;
  int m_bCanRenderWindowed = 0;   // the driver draws GDI windows over a flipping display itself
  HCURSOR m_hFsCursor = nullptr;  // the cursor whose icon the GDI flip last looked up
  // Clock reading (ms) of the last failed restore, so a lost device is retried only now and then.
  DWORD m_dwLastRestoreTry;
  int m_bRestoreFailed;
  int m_nClockHold = 0;  // HOLD_* bits; m_dwPauseMark is where the stop began
};

// ==== paint record ====
// Kept for callers that describe a paint job; the engine does not read it.
struct ZQ_API SPaintInfo {
  int32_t nType;
  int32_t nFlags;
  int32_t nState;
  SScreenPoint ptPos;
  int32_t nValue[6];

  SPaintInfo() : nType(0), nFlags(0), nState(0), ptPos(), nValue{} {}
  SPaintInfo(const SPaintInfo&) = default;
  SPaintInfo& operator=(const SPaintInfo&) = default;
};
// ==== end of paint record ====
