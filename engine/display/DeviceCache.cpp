// The device record's stored layout and the device cache (INI section "DEVICES").
#include <cstring>
#include <vector>

#include "ZqConfig.h"
#include "ZqDevice.h"
#include "display/DeviceTable.h"
#include "common/LittleEndian.h"

namespace {

using zqle::GetU16;
using zqle::GetU32;
using zqle::PutU16;
using zqle::PutU32;

// Offsets of the stored record.
enum : size_t {
  kName = 0,
  kDeviceGuidPtr = 40,
  kDeviceDesc = 44,
  kHardware = 280,
  kDriverGuidPtr = 284,
  kDriverCaps = 288,
  kHELCaps = 668,
  kMode = 1048,
  kWindowed = 1172,
  kReserved = 1176,
  kDeviceGuid = 1180,
  kDriverGuid = 1196,
  kModesPtr = 1212,
  kNumModes = 1216,
  kCurrentMode = 1220,
  kCanRenderWindowed = 1224,
  kStereo = 1228,
  kEnd = 1232,
};
static_assert(kDeviceDesc + ZQ_D3DDEVICEDESC7_STORED_SIZE == kHardware);
static_assert(kDriverCaps + ZQ_DDCAPS_STORED_SIZE == kHELCaps);
static_assert(kHELCaps + ZQ_DDCAPS_STORED_SIZE == kMode);
static_assert(kMode + ZQ_DDSURFACEDESC2_STORED_SIZE == kWindowed);
static_assert(kEnd == ZQ_DEVICEINFO_STORED_SIZE);

// Stored mode lists longer than this are not from a real machine.
constexpr DWORD kMaxCachedModes = 4096;
const char kSection[] = "DEVICES";

void PutGuid(BYTE* p, const GUID& g) {
  PutU32(p, g.Data1);
  PutU16(p + 4, g.Data2);
  PutU16(p + 6, g.Data3);
  memcpy(p + 8, g.Data4, 8);
}

GUID GetGuid(const BYTE* p) {
  GUID g;
  g.Data1 = GetU32(p);
  g.Data2 = GetU16(p + 4);
  g.Data3 = GetU16(p + 6);
  memcpy(g.Data4, p + 8, 8);
  return g;
}

long EnumerateAndChoose(ZQ_DEVICE_CONFIRM confirm, SDxDeviceInfo** out) {
  long hr = Device_Enumerate(confirm);
  if (hr) return hr;
  return Device_Choose(out, 0);
}

void WriteCache(CConfig& cfg, const SDxDeviceInfo& dev) {
  BYTE rec[ZQ_DEVICEINFO_STORED_SIZE];
  Device_WriteRecord(dev, rec);
  std::vector<BYTE> modes((size_t)dev.dwNumModes * ZQ_DDSURFACEDESC2_STORED_SIZE);
  for (DWORD i = 0; i < dev.dwNumModes; ++i)
    zqWriteSurfaceDesc(dev.pddsdModes[i], modes.data() + (size_t)i * ZQ_DDSURFACEDESC2_STORED_SIZE);
  cfg.WriteLong(0, kSection, "Flag");
  cfg.WriteBinary(kSection, "DeviceInfo", rec, sizeof rec);
  cfg.WriteBinary(kSection, "ModeList", modes.data(), (DWORD)modes.size());
}

// The cached record, or null when the cache does not hold a whole, consistent one.
SDxDeviceInfo* ReadCache(CConfig& cfg) {
  BYTE rec[ZQ_DEVICEINFO_STORED_SIZE + 1];
  if (cfg.GetBinary(kSection, "DeviceInfo", rec, sizeof rec) != ZQ_DEVICEINFO_STORED_SIZE) return nullptr;
  SDxDeviceInfo dev;
  Device_ReadRecord(rec, dev);
  if (dev.dwNumModes == 0 || dev.dwNumModes > kMaxCachedModes || dev.dwCurrentMode >= dev.dwNumModes)
    return nullptr;
  size_t bytes = (size_t)dev.dwNumModes * ZQ_DDSURFACEDESC2_STORED_SIZE;
  std::vector<BYTE> list(bytes + 1);
  if (cfg.GetBinary(kSection, "ModeList", list.data(), (DWORD)list.size()) != bytes) return nullptr;

  zq::DeviceTable& t = zq::Devices();
  delete[] t.cached.pddsdModes;
  t.cached = dev;
  t.cached.pDeviceGUID = &t.cached.guidDevice;
  t.cached.pDriverGUID = zq::IsZeroGuid(t.cached.guidDriver) ? nullptr : &t.cached.guidDriver;
  t.cached.pddsdModes = new DDSURFACEDESC2[dev.dwNumModes];
  for (DWORD i = 0; i < dev.dwNumModes; ++i)
    zqReadSurfaceDesc(list.data() + (size_t)i * ZQ_DDSURFACEDESC2_STORED_SIZE, t.cached.pddsdModes[i]);
  return &t.cached;
}

}  // namespace

ZQ_API void Device_WriteRecord(const SDxDeviceInfo& d, BYTE* out) {
  memset(out, 0, ZQ_DEVICEINFO_STORED_SIZE);
  memcpy(out + kName, d.szDeviceDesc, sizeof d.szDeviceDesc);
  out[kName + 39] = 0;
  zqWriteDeviceDesc(d.ddDeviceDesc, out + kDeviceDesc);
  PutU32(out + kHardware, d.dwHardware);
  zqWriteDDCaps(d.ddDriverCaps, out + kDriverCaps);
  zqWriteDDCaps(d.ddHELCaps, out + kHELCaps);
  zqWriteSurfaceDesc(d.ddsdMode, out + kMode);
  PutU32(out + kWindowed, (DWORD)d.bWindowed);
  PutU32(out + kReserved, d.dwReserved);
  PutGuid(out + kDeviceGuid, d.guidDevice);
  PutGuid(out + kDriverGuid, d.pDriverGUID ? d.guidDriver : GUID{});
  PutU32(out + kNumModes, d.dwNumModes);
  PutU32(out + kCurrentMode, d.dwCurrentMode);
  PutU32(out + kCanRenderWindowed, (DWORD)d.bCanRenderWindowed);
  PutU32(out + kStereo, (DWORD)d.bStereo);
}

ZQ_API void Device_ReadRecord(const BYTE* in, SDxDeviceInfo& d) {
  memset(&d, 0, sizeof d);
  memcpy(d.szDeviceDesc, in + kName, sizeof d.szDeviceDesc);
  d.szDeviceDesc[39] = 0;
  zqReadDeviceDesc(in + kDeviceDesc, d.ddDeviceDesc);
  d.dwHardware = GetU32(in + kHardware);
  zqReadDDCaps(in + kDriverCaps, d.ddDriverCaps);
  zqReadDDCaps(in + kHELCaps, d.ddHELCaps);
  zqReadSurfaceDesc(in + kMode, d.ddsdMode);
  d.bWindowed = (BOOL)GetU32(in + kWindowed);
  d.dwReserved = GetU32(in + kReserved);
  d.guidDevice = GetGuid(in + kDeviceGuid);
  d.guidDriver = GetGuid(in + kDriverGuid);
  d.dwNumModes = GetU32(in + kNumModes);
  d.dwCurrentMode = GetU32(in + kCurrentMode);
  d.bCanRenderWindowed = (BOOL)GetU32(in + kCanRenderWindowed);
  d.bStereo = (BOOL)GetU32(in + kStereo);
  d.pDeviceGUID = &d.guidDevice;
  d.pDriverGUID = zq::IsZeroGuid(d.guidDriver) ? nullptr : &d.guidDriver;
}

ZQ_API long Device_ChooseCached(const char* iniPath, ZQ_DEVICE_CONFIRM confirm, SDxDeviceInfo** out) {
  if (!out) return E_INVALIDARG;
  CConfig cfg(iniPath);
  if (cfg.GetLong(kSection, "Flag", "-1") != -1) {
    if (SDxDeviceInfo* cached = ReadCache(cfg)) {
      *out = cached;
      return 0;
    }
  }
  // No cache yet, or one that cannot be trusted: enumerate and (re)write it.
  long hr = EnumerateAndChoose(confirm, out);
  if (hr) return hr;
  WriteCache(cfg, **out);
  return 0;
}
