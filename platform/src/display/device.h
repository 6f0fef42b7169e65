#pragma once

#include "display/surface.h"

namespace zqdisplay {

HRESULT createSoftwareDevice(IDirect3D7* d3d, Surface* target, const D3DDEVICEDESC7& caps,
                             LPDIRECT3DDEVICE7* out);

}  // namespace zqdisplay
