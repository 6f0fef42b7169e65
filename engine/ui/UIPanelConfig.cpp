// CZqUIPanel: creation from a configuration file, Restore, and writing the configuration back.
#include <cstdio>
#include <string>

#include "ZqDebug.h"
#include "ZqEngine.h"
#include "ZqFunc.h"
#include "ZqSound.h"
#include "ZqUIPanel.h"

namespace {
// Reading trims blanks and drops one pair of enclosing quotes; a value that would lose either
// is written inside quotes so that it reads back unchanged.
std::string Quoted(const char* value) {
  std::string v = value ? value : "";
  if (v.empty()) return v;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const bool quotes = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
  if (blank(v.front()) || blank(v.back()) || quotes) return "\"" + v + "\"";
  return v;
}

BOOL WriteText(CConfig& c, const char* value, const char* section, const char* key) {
  return c.WriteString(Quoted(value).c_str(), section, key);
}

// A load is the outermost Restore with every panel it builds below, however deep. Files that list
// other files many times could build without bound; past this many panels (as many as an engine
// has ids) the load stops building and says so once.
constexpr long kMaxPanelsPerLoad = 9899;
int g_loadDepth = 0;
long g_loadPanels = 0;
bool g_loadRefused = false;

class LoadScope {
 public:
  LoadScope() {
    if (g_loadDepth++ == 0) {
      g_loadPanels = 0;
      g_loadRefused = false;
    }
  }
  ~LoadScope() { --g_loadDepth; }
  LoadScope(const LoadScope&) = delete;
  LoadScope& operator=(const LoadScope&) = delete;
};

// False once the load has built its share of panels; the first refusal is logged.
bool TakePanel(const std::string& config) {
  if (g_loadPanels < kMaxPanelsPerLoad) {
    ++g_loadPanels;
    return true;
  }
  if (!g_loadRefused) {
    g_loadRefused = true;
    if (CZqDebug* log = CZqFunc::GetDebuger())
      log->ADD_LOG("panel load refused: more than %ld panels in one load (at %s)", kMaxPanelsPerLoad,
                   config.c_str());
  }
  return false;
}

std::string ItemSection(int n) {
  char section[32];
  std::snprintf(section, sizeof section, "ITEM_%d", n);
  return section;
}
}  // namespace

void CZqUIPanel::_LogLoad(const char* config, SScreenPoint pos, const char* name) {
  if (CZqDebug* log = CZqFunc::GetDebuger())
    log->ADD_LOG(ZQ_GBK("加载界面-%s--位置-(%d,%d)--名子-%s "), config ? config : "", (int)pos.x, (int)pos.y,
                 name ? name : "");
}

int CZqUIPanel::Create(const char* config, SScreenPoint position, const char* name) {
  Cleanup();
  _LogLoad(config, position, name);
  if (m_pParent) {
    m_pEngine = m_pParent->m_pEngine;
    m_pParent->AddSubPanel(this);
    m_bCreated = 1;
  }
  if (!m_pEngine) return 0;
  // Created again: the panel keeps the id it is registered under.
  if (!m_dwID || m_pEngine->FindUIFromID(m_dwID) != this) m_dwID = m_pEngine->_RegisterUI(this);
  SetPosition(position);
  if (!config) {
    m_strConfig.clear();
    m_config.SetINIFile("");
    return 1;
  }
  m_pEngine->LoadConfig(m_config, config);
  m_strConfig = config;
  if (m_strConfig.empty()) return 1;
  m_strName = (name && *name) ? name : m_strConfig;
  m_rect = SScreenRect(position, SScreenPoint(0, 0));
  return Restore();
}

int CZqUIPanel::Restore() {
  LoadScope load;
  CConfig& c = m_config;
  m_rect = SScreenRect(m_rect.top_left(), c.GetPoint("SETING", "size", "0,0"));
  m_bVisible = c.GetBOOL("SETING", "visible", "false");
  SetEnable(c.GetBOOL("SETING", "enable", "false"));
  m_bFocus = m_bTouched = m_bPressed = m_bDragging = 0;
  m_ptDrag = SScreenPoint(0, 0);
  m_bMovable = c.GetBOOL("SETING", "can_move", "false");
  m_rcHeader = c.GetRect("SETING", "header_rect", "0,0,0,0");
  SetBackLayer(c.GetBOOL("SETING", "back_layer", "false"));
  m_bToggleOnClick = c.GetBOOL("SETING", "checked", "false");
  const std::pair<CZqAnimation*, const char*> images[] = {
      {&m_aniNormal, "normal"},          {&m_aniNormalTouch, "normal_touch"}, {&m_aniPress, "press"},
      {&m_aniPressTouch, "press_touch"}, {&m_aniDisable, "disable"},          {&m_aniSense, "sense"}};
  for (const auto& [animation, key] : images) {
    const std::string description = c.GetString("IMAGE", key, "");
    animation->SetZqEngine(m_pEngine);
    animation->Create(description.c_str());
  }
  SetSoundTouch(std::string(c.GetString("SOUND", "touch", "")).c_str());
  SetSoundClick(std::string(c.GetString("SOUND", "click", "")).c_str());
  m_strBaseStyle = c.GetString("GLOBALS", "style", "");
  m_bCaption = c.GetBOOL("SETING", "is_caption", "false");
  m_bEditable = c.GetBOOL("SETING", "can_edit", "false");
  m_strCaption = c.GetString("SETING", "caption", "");
  m_dwAlign = static_cast<DWORD>(c.GetLong("SETING", "align", "0"));
  m_font = sFont{};
  c.GetFont(&m_font, "SETING", "font", ",0,0,0,0");
  SetFont();
  m_dwColor = c.GetColor("SETING", "color", "0,0,0,0");

  if (m_bCaption && m_rcHeader.width() > 0 && m_rcHeader.height() > 0) {
    m_texCaption.CreateEx(DWORD(m_rcHeader.width()), DWORD(m_rcHeader.height()), D3DX_SF_A8R8G8B8, 0);
    UpdateCaption();
  }

  for (int n = 1; m_pEngine; ++n) {
    const std::string section = ItemSection(n);
    const std::string style = c.GetString(section.c_str(), "style", "");
    if (style.empty()) break;
    const std::string name = c.GetString(section.c_str(), "name", "");
    const SScreenPoint pos = c.GetPoint(section.c_str(), "pos", "0,0");
    const std::string config = c.GetString(section.c_str(), "config", "");
    _LogLoad(config.c_str(), pos, name.c_str());
    // A configuration that names itself or an ancestor would build without end.
    bool cycle = false;
    for (const CZqUIPanel* p = this; p && !cycle; p = p->m_pParent)
      cycle = !config.empty() && p->m_strConfig == config;
    if (cycle) continue;
    if (!TakePanel(config)) break;
    std::string made = style;
    if (CZqFunc::UI_GetEditMode()) {
      CConfig own;
      m_pEngine->LoadConfig(own, config.c_str());
      made = own.GetString("GLOBALS", "style", "");
    }
    CZqUIPanel* child = m_pEngine->UI_New_Register(this, made);
    if (!child) break;
    // Saved back under the item's style, so it loads as the same class again.
    child->SetStyle(style.c_str());
    child->Create(config.c_str(), pos, name.c_str());
  }
  SetTopMost();
  OnTouch(m_bTouched);
  return 1;
}

int CZqUIPanel::SaveConfig(const char* path) {
  if (!path) return OnSaveConfig(m_config);
  SStreamBuf file = CZqFunc::ZQFBUF_Create(path, "w");
  if (!file.m_pFile) return 0;
  CZqFunc::ZQFBUF_Close(file);
  CConfig config(path);
  return OnSaveConfig(config);
}

int CZqUIPanel::OnSaveConfig(CConfig& c) {
  const char* image[] = {GetImageNormal(),     GetImageNormalTouch(), GetImagePress(),
                         GetImagePressTouch(), GetImageDisable(),     GetImageSense()};
  if (!c.WriteString("UI", "GLOBALS", "config") ||
      !WriteText(c, m_strBaseStyle.c_str(), "GLOBALS", "style") ||
      !c.WritePoint(GetSize(), "SETING", "size") || !c.WriteBOOL(m_bVisible, "SETING", "visible") ||
      !c.WriteBOOL(m_bEnabled, "SETING", "enable") || !c.WriteBOOL(m_bMovable, "SETING", "can_move") ||
      !c.WriteRect(m_rcHeader, "SETING", "header_rect") ||
      !c.WriteBOOL(m_bBackLayer, "SETING", "back_layer") || !WriteText(c, image[0], "IMAGE", "normal") ||
      !WriteText(c, image[1], "IMAGE", "normal_touch") ||
      !c.WriteBOOL(m_bToggleOnClick, "SETING", "checked") || !WriteText(c, image[2], "IMAGE", "press") ||
      !WriteText(c, image[3], "IMAGE", "press_touch") || !WriteText(c, image[4], "IMAGE", "disable") ||
      !WriteText(c, image[5], "IMAGE", "sense") || !WriteText(c, GetSoundTouch(), "SOUND", "touch") ||
      !WriteText(c, GetSoundTClick(), "SOUND", "click"))
    return 0;
  // A caption the file cannot hold (a line break) would load as the old one: report it.
  int ok = 1;
  ok &= c.WriteBOOL(m_bCaption, "SETING", "is_caption") ? 1 : 0;
  ok &= c.WriteBOOL(m_bEditable, "SETING", "can_edit") ? 1 : 0;
  ok &= WriteText(c, m_strCaption.c_str(), "SETING", "caption") ? 1 : 0;
  ok &= c.WriteLong(LONG(m_dwAlign), "SETING", "align") ? 1 : 0;
  ok &= c.WriteFont(&m_font, "SETING", "font") ? 1 : 0;
  ok &= c.WriteColor(m_dwColor, "SETING", "color") ? 1 : 0;

  // Loading puts each new child in front of the earlier ones, so the list is written from the
  // back: item 1 is the back-most child and the order survives a reload.
  int n = 1;
  for (auto it = m_listChildren.rbegin(); it != m_listChildren.rend(); ++it) {
    CZqUIPanel* child = *it;
    const std::string section = ItemSection(n++);
    if (!WriteText(c, child->GetStyle(), section.c_str(), "style") ||
        !WriteText(c, child->GetConfig(), section.c_str(), "config") ||
        !c.WritePoint(child->m_rect.top_left(), section.c_str(), "pos") ||
        !WriteText(c, child->GetName(), section.c_str(), "name"))
      return 0;
    if (!child->SaveConfig(nullptr)) ok = 0;
  }
  // An empty style ends the list, so items left from a longer list are not read again.
  const std::string end = ItemSection(n);
  if (!c.WriteString("", end.c_str(), "style") || !c.WriteString("", end.c_str(), "config") ||
      !c.WritePoint(SScreenPoint(0, 0), end.c_str(), "pos") || !c.WriteString("", end.c_str(), "name"))
    return 0;
  return ok;
}
