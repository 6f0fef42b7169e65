// Display device enumeration and choice.
#include <algorithm>
#include <cstring>
#include <vector>

#include "ZqDevice.h"
#include "display/DeviceTable.h"

namespace {

struct DriverScan {
  ZQ_DEVICE_CONFIRM confirm;
  SDxDeviceInfo scratch;
  std::vector<DDSURFACEDESC2> modes;
  bool primary;
  DWORD reported;
  DWORD accepted;
};

struct EnumState {
  ZQ_DEVICE_CONFIRM confirm;
  DWORD reported;
  DWORD accepted;
};

void CopyName(char* dst, const char* src) {
  strncpy(dst, src ? src : "", 39);
  dst[39] = 0;
}

bool IsNullGuid(const GUID& g) {
  static const GUID zero = {};
  return zqSameGuid(g, zero);
}

HRESULT CollectMode(LPDDSURFACEDESC2 desc, LPVOID ctx) {
  static_cast<DriverScan*>(ctx)->modes.push_back(*desc);
  return DDENUMRET_OK;
}

bool ModeLess(const DDSURFACEDESC2& a, const DDSURFACEDESC2& b) {
  if (a.dwWidth != b.dwWidth) return a.dwWidth < b.dwWidth;
  if (a.dwHeight != b.dwHeight) return a.dwHeight < b.dwHeight;
  return a.ddpfPixelFormat.dwRGBBitCount < b.ddpfPixelFormat.dwRGBBitCount;
}

bool DepthAccepted(DWORD bpp, DWORD depths) {
  switch (bpp) {
    case 32:
      return (depths & DDBD_32) != 0;
    case 24:
      return (depths & DDBD_24) != 0;
    case 16:
      return (depths & DDBD_16) != 0;
    default:
      return false;
  }
}

HRESULT OnDevice(LPSTR description, LPSTR, LPD3DDEVICEDESC7 desc, LPVOID ctx) {
  DriverScan* scan = static_cast<DriverScan*>(ctx);
  scan->reported++;
  zq::DeviceTable& table = zq::Devices();
  if (table.count >= ZQ_MAX_DEVICES) return D3DENUMRET_OK;
  SDxDeviceInfo& rec = table.records[table.count];
  memset(&rec, 0, sizeof rec);

  rec.dwHardware = desc->dwDevCaps & D3DDEVCAPS_HWRASTERIZATION;
  rec.ddDeviceDesc = *desc;
  rec.guidDevice = desc->deviceGUID;
  rec.pDeviceGUID = &rec.guidDevice;
  rec.ddDriverCaps = scan->scratch.ddDriverCaps;
  rec.ddHELCaps = scan->scratch.ddHELCaps;
  rec.guidDriver = scan->scratch.guidDriver;
  rec.pDriverGUID = scan->primary ? nullptr : &rec.guidDriver;
  rec.bCanRenderWindowed = scan->scratch.bCanRenderWindowed;
  CopyName(rec.szDeviceDesc, scan->primary ? description : scan->scratch.szDeviceDesc);

  if (!scan->primary && !rec.dwHardware) return D3DENUMRET_OK;
  if (scan->confirm && scan->confirm(&rec.ddDriverCaps, &rec.ddDeviceDesc) < 0) return D3DENUMRET_OK;

  std::vector<DDSURFACEDESC2> accepted;
  for (const DDSURFACEDESC2& m : scan->modes)
    if (DepthAccepted(m.ddpfPixelFormat.dwRGBBitCount, desc->dwDeviceRenderBitDepth)) {
      accepted.push_back(m);
      if (m.ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT) rec.bStereo = TRUE;
    }
  if (accepted.empty()) return D3DENUMRET_OK;

  rec.pddsdModes = new DDSURFACEDESC2[accepted.size()];
  std::copy(accepted.begin(), accepted.end(), rec.pddsdModes);
  rec.dwNumModes = (DWORD)accepted.size();
  for (DWORD i = 0; i < rec.dwNumModes; ++i) {
    const DDSURFACEDESC2& m = rec.pddsdModes[i];
    if (m.dwWidth == 800 && m.dwHeight == 600 && m.ddpfPixelFormat.dwRGBBitCount == 16) {
      rec.ddsdMode = m;
      rec.dwCurrentMode = i;
      break;
    }
  }
  rec.bWindowed = rec.bCanRenderWindowed;
  table.count++;
  scan->accepted++;
  return D3DENUMRET_OK;
}

BOOL OnDriver(GUID* guid, LPSTR description, LPSTR, LPVOID ctx, HMONITOR) {
  EnumState* state = static_cast<EnumState*>(ctx);
  LPDIRECTDRAW7 dd = nullptr;
  if (FAILED(DirectDrawCreateEx(guid, reinterpret_cast<LPVOID*>(&dd), IID_IDirectDraw7, nullptr)) || !dd)
    return DDENUMRET_OK;
  LPDIRECT3D7 d3d = nullptr;
  if (FAILED(dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<LPVOID*>(&d3d))) || !d3d) {
    dd->Release();
    return DDENUMRET_OK;
  }

  DriverScan scan;
  memset(&scan.scratch, 0, sizeof scan.scratch);
  scan.confirm = state->confirm;
  scan.primary = guid == nullptr;
  scan.reported = 0;
  scan.accepted = 0;
  CopyName(scan.scratch.szDeviceDesc, description);
  scan.scratch.ddDriverCaps.dwSize = ZQ_DDCAPS_STORED_SIZE;
  scan.scratch.ddHELCaps.dwSize = ZQ_DDCAPS_STORED_SIZE;
  dd->GetCaps(&scan.scratch.ddDriverCaps, &scan.scratch.ddHELCaps);
  if (guid) scan.scratch.guidDriver = *guid;
  scan.scratch.bCanRenderWindowed =
      (scan.primary && (scan.scratch.ddDriverCaps.dwCaps2 & DDCAPS2_CANRENDERWINDOWED)) ? TRUE : FALSE;

  dd->EnumDisplayModes(0, nullptr, &scan, CollectMode);
  std::stable_sort(scan.modes.begin(), scan.modes.end(), ModeLess);
  d3d->EnumDevices(OnDevice, &scan);

  state->reported += scan.reported;
  state->accepted += scan.accepted;
  d3d->Release();
  dd->Release();
  return DDENUMRET_OK;
}

// Preference classes, best first.
enum { kTnLHal, kHardware, kSoftware, kReference, kClasses };

int ClassOf(const SDxDeviceInfo& rec) {
  if (zqSameGuid(rec.guidDevice, IID_IDirect3DTnLHalDevice)) return kTnLHal;
  if (zqSameGuid(rec.guidDevice, IID_IDirect3DRefDevice)) return kReference;
  return rec.dwHardware ? kHardware : kSoftware;
}

}  // namespace

namespace zq {

DeviceTable& Devices() {
  static DeviceTable table;
  return table;
}

bool IsZeroGuid(const GUID& g) { return IsNullGuid(g); }

}  // namespace zq

ZQ_API long Device_Enumerate(ZQ_DEVICE_CONFIRM confirm) {
  EnumState state = {confirm, 0, 0};
  DirectDrawEnumerateExA(
      OnDriver, &state,
      DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES);
  if (state.reported == 0) return ZQERR_ENUM_NODRIVER;
  if (state.accepted == 0) return ZQERR_ENUM_NODEVICE;
  return 0;
}

ZQ_API long Device_Choose(SDxDeviceInfo** out, DWORD flags) {
  if (!out) return E_INVALIDARG;
  zq::DeviceTable& table = zq::Devices();
  SDxDeviceInfo* best[kClasses] = {};
  for (DWORD i = 0; i < table.count; ++i) {
    SDxDeviceInfo& rec = table.records[i];
    if (rec.bCanRenderWindowed) best[ClassOf(rec)] = &rec;  // the last one of a class counts
  }
  for (int c = 0; c < kClasses; ++c) {
    if ((flags & 1) && (c == kTnLHal || c == kHardware)) continue;
    SDxDeviceInfo* rec = best[c];
    if (!rec || rec->ddDeviceDesc.dwMaxTextureWidth < 1024 || rec->ddDeviceDesc.dwMaxTextureHeight < 1024)
      continue;
    rec->bWindowed = TRUE;
    *out = rec;
    return 0;
  }
  return ZQERR_ENUM_NOMODE;
}

ZQ_API void Device_GetList(SDxDeviceInfo** table, DWORD* count) {
  zq::DeviceTable& t = zq::Devices();
  if (table) *table = t.records;
  if (count) *count = t.count;
}

ZQ_API long Device_SelectMode(SDxDeviceInfo* device, DWORD index) {
  if (!device || !device->pddsdModes || index >= device->dwNumModes) return E_FAIL;
  device->ddsdMode = device->pddsdModes[index];
  device->dwCurrentMode = index;
  return 0;
}

ZQ_API void Device_Cleanup() {
  zq::DeviceTable& t = zq::Devices();
  for (DWORD i = 0; i < t.count; ++i) {
    delete[] t.records[i].pddsdModes;
    t.records[i].pddsdModes = nullptr;
    t.records[i].dwNumModes = 0;
  }
  t.count = 0;
  delete[] t.cached.pddsdModes;
  t.cached.pddsdModes = nullptr;
  t.cached.dwNumModes = 0;
}
