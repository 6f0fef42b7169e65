// The four pre-transformed vertices the game sprites draw as one textured strip.
#pragma once

#include "ZqLib.h"

struct SSpriteQuad {
  D3DTLVERTEX v[4]{};  // top-left, top-right, bottom-left, bottom-right

  void Place(float left, float top, float right, float bottom) {
    v[0].sx = v[2].sx = left;
    v[1].sx = v[3].sx = right;
    v[0].sy = v[1].sy = top;
    v[2].sy = v[3].sy = bottom;
  }
  void Map(float u0, float v0, float u1, float v1) {
    v[0].tu = v[2].tu = u0;
    v[1].tu = v[3].tu = u1;
    v[0].tv = v[1].tv = v0;
    v[2].tv = v[3].tv = v1;
  }
  void Init(DWORD color) {
    for (D3DTLVERTEX& p : v) {
      p.sz = 0.5f;
      p.rhw = 1.0f;
      p.color = color;
      p.specular = 0;
    }
  }
  // Draws with the animation's current frame on stage 0 of the engine's device.
  void Draw(CZqEngine* engine, CZqAnimation& picture) {
    LPDIRECT3DDEVICE7 device = engine ? engine->GetD3dDevice() : nullptr;
    CZqTexture* frame = picture.GetCurrentFrame();
    if (!device || !frame) return;
    device->SetTexture(0, frame->GetTexture());
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1,
                          v, 4, 0);
  }
};
