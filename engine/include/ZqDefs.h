// Definitions shared by every engine header: export macro, platform types, engine status codes.
#pragma once

#include "zqplatform/platform.h"

// Exported classes and functions of the engine library.
#define ZQ_API __attribute__((visibility("default")))

// Engine status codes (besides platform results passed on unchanged).
#define ZQERR_DRIVER ((HRESULT)0x82000003)
#define ZQERR_DEVICE ((HRESULT)0x82000004)
#define ZQERR_ZBUFFER ((HRESULT)0x82000005)
#define ZQERR_VIEWPORT ((HRESULT)0x82000007)
#define ZQERR_PRIMARYSURFACE ((HRESULT)0x82000008)
#define ZQERR_CLIPPER ((HRESULT)0x82000009)
#define ZQERR_FULLSCREENMODE ((HRESULT)0x8200000A)
#define ZQERR_BACKBUFFER ((HRESULT)0x8200000B)
#define ZQERR_DEVICEREFERENCED ((HRESULT)0x8200000C)
#define ZQERR_FULLSCREENRESIZE ((HRESULT)0x8200000E)
#define ZQERR_NODEVICE ((HRESULT)0x8200000F)
#define ZQERR_CANNOTRESTORE ((HRESULT)0x82000010)
#define ZQERR_ENUM_NODRIVER ((HRESULT)0x81000002)
#define ZQERR_ENUM_NODEVICE ((HRESULT)0x81000003)
#define ZQERR_ENUM_NOMODE ((HRESULT)0x81000004)
