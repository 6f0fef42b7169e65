// The software device's draw calls over arbitrary state and vertex bytes: render and texture
// stage states, textures of any small size, vertex formats, primitive types, index lists and
// vertex values (NaN, infinities and huge coordinates among them), at every kernel width. The
// device must neither crash nor step outside its surfaces.
#include <cstdint>
#include <cstring>
#include <vector>

#include "software_device.h"
#include "zqplatform/display.h"
#include "zqplatform/display_hooks.h"

namespace {

constexpr int kWidth = 64, kHeight = 48;

struct Device : SoftwareDevice {
  Device() : SoftwareDevice(kWidth, kHeight, 16) {}
};

// Reads the input front to back; past its end every read is zero.
struct Reader {
  const uint8_t* p;
  size_t left;
  uint8_t byte() {
    if (!left) return 0;
    --left;
    return *p++;
  }
  DWORD word() {
    DWORD v = 0;
    for (int i = 0; i < 4; ++i) v |= DWORD(byte()) << (8 * i);
    return v;
  }
  float value() {
    // Mostly small coordinates, sometimes any bit pattern.
    const uint8_t kind = byte();
    if (kind < 200) return float(int(byte()) - 40) + float(byte()) / 256.f;
    const DWORD bits = word();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
};

const D3DRENDERSTATETYPE kRenderStates[] = {D3DRENDERSTATE_ALPHABLENDENABLE, D3DRENDERSTATE_SRCBLEND,
                                            D3DRENDERSTATE_DESTBLEND,        D3DRENDERSTATE_ALPHATESTENABLE,
                                            D3DRENDERSTATE_ALPHAFUNC,        D3DRENDERSTATE_ALPHAREF,
                                            D3DRENDERSTATE_CULLMODE,         D3DRENDERSTATE_ZENABLE,
                                            D3DRENDERSTATE_ZWRITEENABLE,     D3DRENDERSTATE_ZFUNC,
                                            D3DRENDERSTATE_SHADEMODE,        D3DRENDERSTATE_SPECULARENABLE,
                                            D3DRENDERSTATE_TEXTUREFACTOR,    D3DRENDERSTATE_FILLMODE,
                                            D3DRENDERSTATE_COLORKEYENABLE};
const D3DTEXTURESTAGESTATETYPE kStageStates[] = {
    D3DTSS_COLOROP, D3DTSS_COLORARG1, D3DTSS_COLORARG2, D3DTSS_ALPHAOP,   D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2,
    D3DTSS_ADDRESS, D3DTSS_ADDRESSU,  D3DTSS_ADDRESSV,  D3DTSS_MAGFILTER, D3DTSS_MINFILTER};
const D3DPRIMITIVETYPE kPrimitives[] = {D3DPT_POINTLIST,    D3DPT_LINELIST,      D3DPT_LINESTRIP,
                                        D3DPT_TRIANGLELIST, D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN};
const DWORD kFormats[] = {D3DFVF_TLVERTEX, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, D3DFVF_XYZRHW | D3DFVF_TEX1,
                          D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, D3DFVF_XYZRHW};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Device device;
  if (!device.dev) return 0;
  LPDIRECT3DDEVICE7 dev = device.dev;
  Reader in{data, size};
  const int widths[] = {512, 256, 128};
  zqDisplaySetKernelWidth(widths[in.byte() % 3]);

  // A texture of 1..40 x 1..40 texels, with or without alpha, filled from the input.
  DWORD tw = 1 + in.byte() % 40, th = 1 + in.byte() % 40;
  D3DX_SURFACEFORMAT format = (in.byte() & 1) ? D3DX_SF_A8R8G8B8 : D3DX_SF_X8R8G8B8;
  LPDIRECTDRAWSURFACE7 tex = nullptr;
  if (D3DXCreateTexture(dev, nullptr, &tw, &th, &format, nullptr, &tex, nullptr) != S_OK) return 0;
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  if (tex->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) == DD_OK) {
    const DWORD seed = in.word();
    for (DWORD y = 0; y < d.dwHeight; ++y)
      for (DWORD x = 0; x < d.dwWidth; ++x) {
        const DWORD px = (x * 2654435761u) ^ (y * 40503u) ^ seed;
        std::memcpy(static_cast<BYTE*>(d.lpSurface) + size_t(y) * d.lPitch + x * 4, &px, 4);
      }
    tex->Unlock(nullptr);
  }

  dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00406080, 1.f, 0);
  dev->BeginScene();
  std::vector<BYTE> vertices;
  std::vector<WORD> indices;
  for (int command = 0; command < 24 && in.left; ++command) {
    switch (in.byte() % 5) {
      case 0:
        dev->SetRenderState(kRenderStates[in.byte() % std::size(kRenderStates)], in.byte() % 16);
        break;
      case 1:
        dev->SetTextureStageState(0, kStageStates[in.byte() % std::size(kStageStates)], in.byte() % 16);
        break;
      case 2:
        dev->SetTexture(0, (in.byte() & 1) ? tex : nullptr);
        break;
      case 3:
        dev->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, in.word());
        break;
      default: {
        const DWORD fvf = kFormats[in.byte() % std::size(kFormats)];
        const bool diffuse = fvf & D3DFVF_DIFFUSE, specular = fvf & D3DFVF_SPECULAR, uv = fvf & D3DFVF_TEX1;
        const D3DPRIMITIVETYPE type = kPrimitives[in.byte() % std::size(kPrimitives)];
        const DWORD count = in.byte() % 13;
        vertices.clear();
        for (DWORD i = 0; i < count; ++i) {
          auto put = [&](const void* v) {
            vertices.insert(vertices.end(), static_cast<const BYTE*>(v), static_cast<const BYTE*>(v) + 4);
          };
          const float xyzw[4] = {in.value() + 32.f, in.value() + 24.f, in.value() / 64.f, 0.5f};
          for (const float& f : xyzw) put(&f);
          DWORD c = 0;
          if (diffuse) c = in.word(), put(&c);
          if (specular) c = in.word(), put(&c);
          if (uv) {
            const float t[2] = {in.value() / 16.f, in.value() / 16.f};
            put(&t[0]);
            put(&t[1]);
          }
        }
        if (in.byte() & 1) {
          // Indices, some past the vertices.
          indices.clear();
          const DWORD n = in.byte() % 16;
          for (DWORD i = 0; i < n; ++i) indices.push_back(WORD(in.byte() % (count + 3)));
          dev->DrawIndexedPrimitive(type, fvf, vertices.data(), count, indices.data(), DWORD(indices.size()),
                                    0);
        } else {
          dev->DrawPrimitive(type, fvf, vertices.data(), count, 0);
        }
      }
    }
  }
  dev->EndScene();
  dev->SetTexture(0, nullptr);
  tex->Release();
  return 0;
}
