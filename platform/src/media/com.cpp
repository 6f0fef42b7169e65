// COM start-up, the one creatable class (the filter graph), the graph interface ids and the
// code-page conversion the engine uses for media paths.
#include <string>

#include "media/filter_graph.h"
#include "zqplatform/base.h"

const GUID CLSID_FilterGraph = {0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID IID_IGraphBuilder = {0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID IID_IMediaControl = {0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID IID_IMediaEvent = {0x56A868B6, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID IID_IMediaEventEx = {0x56A868C0, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID IID_IMediaSeeking = {0x36B73880, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
const GUID IID_IVideoWindow = {0x56A868B4, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID IID_IBasicVideo = {0x56A868B5, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID IID_IBasicAudio = {0x56A868B3, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID TIME_FORMAT_NONE = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const GUID TIME_FORMAT_MEDIA_TIME = {
    0x7B785574, 0x8C82, 0x11CF, {0xBC, 0x0C, 0x00, 0xAA, 0x00, 0xAC, 0x74, 0xF6}};

namespace {
thread_local int t_comInits = 0;
}

HRESULT CoInitialize(LPVOID) { return t_comInits++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (t_comInits > 0) --t_comInits;
}

HRESULT CoCreateInstance(REFCLSID clsid, void* outer, DWORD context, REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (t_comInits == 0) return CO_E_NOTINITIALIZED;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!zqmedia::SameGuid(clsid, CLSID_FilterGraph) || !(context & CLSCTX_INPROC)) return REGDB_E_CLASSNOTREG;
  if (!zqmedia::FilterGraph::StartGStreamer()) return REGDB_E_CLASSNOTREG;
  auto* graph = new zqmedia::FilterGraph();
  HRESULT hr = graph->QueryInterface(iid, out);
  graph->Release();  // the query holds the only reference
  return hr;
}

namespace {

void AppendUtf16(std::u16string& out, const std::string& utf8) {
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    uint32_t cp;
    int n;
    if (c < 0x80) {
      cp = c;
      n = 1;
    } else if ((c >> 5) == 6) {
      cp = c & 0x1F;
      n = 2;
    } else if ((c >> 4) == 14) {
      cp = c & 0x0F;
      n = 3;
    } else if ((c >> 3) == 30) {
      cp = c & 0x07;
      n = 4;
    } else {
      out.push_back(u'?');
      ++i;
      continue;
    }
    if (i + n > utf8.size()) {
      out.push_back(u'?');
      break;
    }
    bool ok = true;
    for (int k = 1; k < n; ++k) {
      unsigned char d = static_cast<unsigned char>(utf8[i + k]);
      if ((d >> 6) != 2) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) {
      out.push_back(u'?');
      ++i;
      continue;
    }
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int count, LPWSTR out, int outCount) {
  if (!text || count == 0 || outCount < 0 || (outCount > 0 && !out)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string bytes = count < 0 ? std::string(text) : std::string(text, static_cast<size_t>(count));
  std::string utf8 = codePage == CP_UTF8 ? bytes : zqGbkToUtf8(bytes);
  std::u16string wide;
  AppendUtf16(wide, utf8);
  if (count < 0) wide.push_back(u'\0');
  if (outCount == 0) return static_cast<int>(wide.size());
  if (wide.size() > static_cast<size_t>(outCount)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(wide.begin(), wide.end(), out);
  return static_cast<int>(wide.size());
}
