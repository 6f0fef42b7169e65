// Display device enumeration and choice, and the device cache: SDxDeviceInfo, Device_*.
#pragma once

#include "ZqDefs.h"

// Size of the record as stored in the device cache (32-bit layout, pointer slots 0).
#define ZQ_DEVICEINFO_STORED_SIZE 1232
// Accepted devices are kept in a table of this many records.
#define ZQ_MAX_DEVICES 20
// Menu command of display mode i is ZQ_MENU_MODE_BASE + i.
#define ZQ_MENU_MODE_BASE 0xFF01

// One accepted display device. In memory the pointers point at the record's own GUID
// copies and at its mode array; in the cache they are meaningless (written as 0).
struct SDxDeviceInfo {
  char szDeviceDesc[40];  // at most 39 characters
  GUID* pDeviceGUID;      // -> guidDevice
  D3DDEVICEDESC7 ddDeviceDesc;
  DWORD dwHardware;         // D3DDEVCAPS_HWRASTERIZATION or 0
  GUID* pDriverGUID;        // -> guidDriver, or null for the primary display driver
  DDCAPS ddDriverCaps;      // hardware
  DDCAPS ddHELCaps;         // emulation
  DDSURFACEDESC2 ddsdMode;  // current display mode
  BOOL bWindowed;
  DWORD dwReserved;
  GUID guidDevice;
  GUID guidDriver;  // zero for the primary display driver
  DDSURFACEDESC2* pddsdModes;
  DWORD dwNumModes;
  DWORD dwCurrentMode;
  BOOL bCanRenderWindowed;  // primary driver with DDCAPS2_CANRENDERWINDOWED
  BOOL bStereo;             // an accepted mode has DDSCAPS2_STEREOSURFACELEFT
};

// Confirms a device (driver hardware caps, device description); a negative result rejects it.
typedef int (*ZQ_DEVICE_CONFIRM)(DDCAPS* driverCaps, D3DDEVICEDESC7* deviceDesc);

// Fills the table: 0, ZQERR_ENUM_NODRIVER (no Direct3D device reported at all) or
// ZQERR_ENUM_NODEVICE (none accepted).
ZQ_API long Device_Enumerate(ZQ_DEVICE_CONFIRM confirm = nullptr);
// Picks a device (bit 0 of flags: no hardware device); E_INVALIDARG or ZQERR_ENUM_NOMODE.
ZQ_API long Device_Choose(SDxDeviceInfo** out, DWORD flags);
ZQ_API void Device_GetList(SDxDeviceInfo** table, DWORD* count);
// E_FAIL for a null record or an index past the mode list.
ZQ_API long Device_SelectMode(SDxDeviceInfo* device, DWORD index);
// Frees every mode array (the table's and the cached record's) and empties the table.
ZQ_API void Device_Cleanup();

// The device from the cache in the INI file at iniPath (section "DEVICES"): without a
// written cache ("Flag" -1 or absent), or with one that does not decode to a whole record
// and mode list, the devices are enumerated, one is chosen with flags 0 and the cache is
// (re)written. Returns 0 or the enumeration's error.
ZQ_API long Device_ChooseCached(const char* iniPath, ZQ_DEVICE_CONFIRM confirm, SDxDeviceInfo** out);

// The stored layout, field by field (ZQ_DEVICEINFO_STORED_SIZE bytes).
ZQ_API void Device_WriteRecord(const SDxDeviceInfo& device, BYTE* out);
// Reads a stored record; the GUID pointers are set to the record's own copies (the driver's
// only when the stored driver GUID is not zero); the mode array pointer is left null.
ZQ_API void Device_ReadRecord(const BYTE* in, SDxDeviceInfo& device);
