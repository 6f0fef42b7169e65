// UI panels: CZqUIPanel, the configuration-driven interface element, and its input side.
#pragma once

#include <list>
#include <string>

#include "ZqAnimation.h"
#include "ZqConfig.h"
#include "ZqDefs.h"
#include "ZqGeometry.h"
#include "ZqTexture.h"

class CZqEngine;
class CZqSound;

// Posted to the engine's window with wParam = the panel's id, lParam = 0.
#define ZQ_UIMSG_CLICK 0xBE01
#define ZQ_UIMSG_REPEAT 0xBE02
#define ZQ_UIMSG_DBLCLK 0xBE03
#define ZQ_UIMSG_TOUCH 0xBE04
#define ZQ_UIMSG_UNTOUCH 0xBE05

class ZQ_API CZqUIPanel {
 public:
  explicit CZqUIPanel(CZqUIPanel* parent);  // a child: visible, back layer
  explicit CZqUIPanel(CZqEngine* engine);   // a top-level panel: hidden, front layer
  CZqUIPanel(const CZqUIPanel&) = delete;
  CZqUIPanel& operator=(const CZqUIPanel&) = delete;

  // ---- virtual operations, in slot order ----
  virtual int Restore();
  virtual int SaveConfig(const char* path);
  virtual void CloseDialog() {}
  virtual ~CZqUIPanel();
  virtual void SetImage(const char* which, const char* description);
  virtual int HitTest(SScreenPoint point);
  virtual void Cleanup();
  virtual long UpdateCaption();
  virtual void UpdateState();
  virtual long RestoreSource();
  virtual void ReleaseSource();
  virtual int OnSaveConfig(CConfig& config);
  virtual long OnUpdate();
  virtual long OnDraw(SScreenPoint at);
  virtual void OnTouch(int touched);
  virtual void OnClick();
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
  virtual void OnNotify(unsigned long code, std::string text);
  virtual int HitTest_Drag(SScreenPoint point);
  virtual int HitTest_Press(SScreenPoint point);
  virtual int HitTest_Touch(SScreenPoint point);
  virtual long MsgProc(UINT msg, UINT wParam, long lParam);

  // ---- construction and configuration ----
  int Create(const char* config, SScreenPoint position, const char* name);

  // ---- the child list (front = top-most) ----
  void AddSubPanel(CZqUIPanel* panel);
  void DelSubPanel(CZqUIPanel* panel);
  void SetTopMost();
  void SetBackMost();
  CZqUIPanel* GetParent() const { return m_pParent; }
  const std::list<CZqUIPanel*>& GetSubPanels() const { return m_listChildren; }

  // ---- drawing and per-frame work ----
  long Draw(SScreenPoint at);
#ifndef ZQ_OLDER_BUILD
  long DrawNum(SScreenPoint at, unsigned frame);
  void UpdateRender();
#endif
  long SetCaption(const char* caption);
  long SetCaption(int number);
  void SetFont();

  // ---- coordinates ----
  void PickClientToScreen(SScreenPoint& point) const;  // own to root (back-buffer) coordinates
  void PickScreenToClient(SScreenPoint& point) const;

  // ---- state queries ----
  int IsVisible() const;
  int IsEnable() const;
  int IsWorking() const;
  int IsFocus() const { return m_bFocus; }
  int IsChecked() const { return m_bChecked; }
  int IsPressed() const { return m_bPressed; }
  int IsTouched() const { return m_bTouched; }
  int IsDragging() const { return m_bDragging; }
  int IsCanMove() const { return m_bMovable; }
  int IsBackLayer() const { return m_bBackLayer; }
  int IsTextbox() const { return m_bCaption; }
  int IsCanEdit() const { return m_bEditable; }
  int IsStyleChecked() const { return m_bToggleOnClick; }
  int GetVisibleValue() const { return m_bVisible; }
  int GetEnableValue() const { return m_bEnabled; }
  DWORD GetPressCount() const { return m_dwPressCount; }
  DWORD GetID() const { return m_dwID; }
  CZqEngine* GetZqEngine() const { return m_pEngine; }
  const char* GetStyle() const { return m_strStyle.c_str(); }
  const char* GetBaseStyle() const { return m_strBaseStyle.c_str(); }
  const char* GetName() const { return m_strName.c_str(); }
  const char* GetConfig() const { return m_strConfig.c_str(); }
  const char* GetCaption() const { return m_strCaption.c_str(); }
  const char* GetImageNormal() const { return m_aniNormal.GetKey(); }
  const char* GetImageNormalTouch() const { return m_aniNormalTouch.GetKey(); }
  const char* GetImagePress() const { return m_aniPress.GetKey(); }
  const char* GetImagePressTouch() const { return m_aniPressTouch.GetKey(); }
  const char* GetImageSense() const { return m_aniSense.GetKey(); }
  const char* GetImageDisable() const { return m_aniDisable.GetKey(); }
  const char* GetSoundTouch() const;
  const char* GetSoundTClick() const;
  SScreenPoint GetSize() const { return SScreenPoint(m_rect.width(), m_rect.height()); }
  const SScreenRect& GetRect() const { return m_rect; }
  const SScreenRect& GetHeaderRect() const { return m_rcHeader; }
  sFont* GetFont() { return &m_font; }
  DWORD GetColor() const { return m_dwColor; }
  DWORD GetAlign() const { return m_dwAlign; }
  CConfig& GetConfigObject() { return m_config; }
  CZqAnimation* GetCurrentAnimation() const { return m_pCurrent; }
  CZqTexture* GetCaptionTexture() { return &m_texCaption; }

  // ---- setters ----
  // Hiding or disabling a panel also ends a press or drag in it and below it.
  void SetVisible(int visible);
  void SetEnable(int enable);
  void SetFocus();
  void SetChecked(int checked);
#ifndef ZQ_OLDER_BUILD
  // The newer build's direct state setters: flags only, without a refresh (SetTouch refreshes).
  void SetVisibleValue(int visible);
  void SetEnableValue(int enable);
  void SetCheckedValue(int checked);
  void SetPressValue(int pressed);
  void SetTouchValue(int touched);
  void SetTouch(int touched);
  void SetUIValue(int visible, int enabled, int touched, int checked, int pressed);
#endif
  void SetStyleChecked(int flag) { m_bToggleOnClick = flag; }
  void SetTextbox(int flag) { m_bCaption = flag; }
  void SetCanEdit(int flag) { m_bEditable = flag; }
  void SetCanMove(int flag) { m_bMovable = flag; }
  void SetBackLayer(int backLayer);
  void SetHeaderRect(const SScreenRect& rect) { m_rcHeader = rect; }
  void SetSize(const SScreenPoint& size);
  void SetPosition(const SScreenPoint& topLeft);  // keeps the size
  void SetStyle(const char* style) { m_strStyle = style ? style : ""; }
  void SetBaseStyle(const char* style) { m_strBaseStyle = style ? style : ""; }
  void SetName(const char* name) { m_strName = name ? name : ""; }
  void SetColor(unsigned long color) { m_dwColor = static_cast<DWORD>(color); }
  void SetAlign(unsigned align) { m_dwAlign = align; }
  void SetImageNormal(const char* description);
  void SetImageNormalTouch(const char* description);
  void SetImagePress(const char* description);
  void SetImagePressTouch(const char* description);
  void SetImageSense(const char* description);
  void SetImageDisable(const char* description);
  void SetSoundTouch(const char* name);
  void SetSoundClick(const char* name);

 protected:
  // The edit-mode outline of the panel drawn at `at` (from Draw and DrawNum).
  void _DrawEditOutline(SScreenPoint at);
  // Draw's steps after the panel itself: the edit outline, then the children back to front.
  long _DrawChildren(SScreenPoint at);
  // In the parent's coordinates: inside the rectangle grown by 10 on each side.
  int _InGrownRect(SScreenPoint ownPoint) const;
  // The right-button handlers' shared steps: a child that handled the event leaves this panel
  // touched and its answer stands (`childAnswer` instead when non-zero); else the panel's own.
  template <class Call>
  DWORD _RightButton(SScreenPoint point, DWORD childAnswer, Call call);
  // Posts msg with wParam = id to the engine's window; nothing without an engine.
  void _Post(UINT msg) const;

  CZqEngine* m_pEngine;
  CZqUIPanel* m_pParent;
  CConfig m_config;
  SScreenRect m_rect;
  SScreenRect m_rcHeader;
  int32_t m_bVisible;
  int32_t m_bFocus;
  int32_t m_bEnabled;
  int32_t m_bTouched;
  int32_t m_bToggleOnClick;
  int32_t m_bChecked;
  int32_t m_bPressed;
  DWORD m_dwRepeatTime;
  DWORD m_dwPressCount;
  SScreenPoint m_ptDrag;
  int32_t m_bDragging;
  int32_t m_bBackLayer;
  int32_t m_bMovable;
  std::string m_strName;
  std::string m_strConfig;
  std::string m_strStyle;
  std::string m_strBaseStyle;
  int32_t m_bCaption;
  int32_t m_bEditable;
  std::string m_strCaption;
  sFont m_font;
  HFONT m_hFont;
  DWORD m_dwAlign;
  DWORD m_dwColor;
  DWORD m_dwID;
  CZqAnimation m_aniNormal;
  CZqAnimation m_aniNormalTouch;
  CZqAnimation m_aniPress;
  CZqAnimation m_aniPressTouch;
  CZqAnimation m_aniDisable;
  CZqAnimation m_aniSense;
  CZqAnimation* m_pCurrent;
  CZqSound* m_pSoundTouch;
  CZqSound* m_pSoundClick;
  std::list<CZqUIPanel*> m_listChildren;
  CZqTexture m_texCaption;

 private:
  CZqUIPanel(CZqUIPanel* parent, CZqEngine* engine);
  // Ends a press and a drag in this panel and every panel below it; nothing is posted.
  // 1 when something was pressed or dragged.
  int _ReleasePress();
  void _SetIntoList(CZqUIPanel* holder);
  // Log line of Create and of each child Restore builds.
  static void _LogLoad(const char* config, SScreenPoint pos, const char* name);
  // Destroys the detached panels this one created; at destruction also hands over the ones
  // another panel holds.
  void _DropCreated(int destroying);

  CZqUIPanel* m_pHolder;                 // the panel whose child list holds this one, or null
  int32_t m_bCreated;                    // Create joined the parent: the parent answers for this panel
  std::list<CZqUIPanel*> m_listCreated;  // panels constructed with this one as parent
};
