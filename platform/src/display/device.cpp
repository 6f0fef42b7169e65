// The Direct3D 7 device over the software rasterizer.
#include "display/device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "display/raster.h"

namespace zqdisplay {

namespace {

D3DMATRIX identity() {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = m._22 = m._33 = m._44 = 1.f;
  return m;
}

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  const float* pa = &a._11;
  const float* pb = &b._11;
  D3DMATRIX r;
  float* pr = &r._11;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float s = 0;
      for (int k = 0; k < 4; ++k) s += pa[i * 4 + k] * pb[k * 4 + j];
      pr[i * 4 + j] = s;
    }
  return r;
}

class Device final : public IDirect3DDevice7 {
 public:
  Device(IDirect3D7* d3d, Surface* target, const D3DDEVICEDESC7& caps)
      : d3d_(d3d), target_(target), caps_(caps) {
    d3d_->AddRef();
    target_->AddRef();
    std::fill(std::begin(rs_), std::end(rs_), 0u);
    Surface* z = target_->attachedZ();
    rs_[D3DRENDERSTATE_ZENABLE] = z ? D3DZB_TRUE : D3DZB_FALSE;
    rs_[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
    rs_[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
    rs_[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
    rs_[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
    rs_[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    rs_[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    rs_[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    rs_[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs_[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs_[D3DRENDERSTATE_LIGHTING] = TRUE;
    rs_[D3DRENDERSTATE_CLIPPING] = TRUE;
    rs_[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = TRUE;
    std::fill(std::begin(ts_), std::end(ts_), 0u);
    ts_[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    ts_[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts_[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ts_[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    ts_[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts_[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ts_[D3DTSS_ADDRESS] = ts_[D3DTSS_ADDRESSU] = ts_[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    ts_[D3DTSS_MAGFILTER] = D3DTFG_POINT;
    ts_[D3DTSS_MINFILTER] = D3DTFN_POINT;
    ts_[D3DTSS_MIPFILTER] = D3DTFP_NONE;
    world_ = view_ = proj_ = identity();
    viewport_ = D3DVIEWPORT7{0, 0, DWORD(target_->width()), DWORD(target_->height()), 0.f, 1.f};
    std::memset(&material_, 0, sizeof material_);
    vertices_.reserve(64);
  }

  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetCaps(LPD3DDEVICEDESC7 desc) override {
    if (!desc) return DDERR_INVALIDPARAMS;
    *desc = caps_;
    return D3D_OK;
  }
  HRESULT GetDirect3D(LPDIRECT3D7* d3d) override {
    if (!d3d) return DDERR_INVALIDPARAMS;
    d3d_->AddRef();
    *d3d = d3d_;
    return D3D_OK;
  }
  HRESULT BeginScene() override {
    if (inScene_) return DDERR_GENERIC;
    if (target_->lost()) return DDERR_SURFACELOST;
    inScene_ = true;
    return D3D_OK;
  }
  HRESULT EndScene() override {
    if (!inScene_) return DDERR_GENERIC;
    inScene_ = false;
    return D3D_OK;
  }
  HRESULT SetRenderTarget(LPDIRECTDRAWSURFACE7 surface, DWORD) override {
    if (!surface) return DDERR_INVALIDPARAMS;
    Surface* s = asSurface(surface);
    if (!(s->desc().ddsCaps.dwCaps & DDSCAPS_3DDEVICE) || !s->layout().argb8888()) return DDERR_INVALIDCAPS;
    s->AddRef();
    target_->Release();
    target_ = s;
    viewport_ = D3DVIEWPORT7{0, 0, DWORD(s->width()), DWORD(s->height()), 0.f, 1.f};
    return D3D_OK;
  }
  HRESULT GetRenderTarget(LPDIRECTDRAWSURFACE7* surface) override {
    if (!surface) return DDERR_INVALIDPARAMS;
    target_->AddRef();
    *surface = target_;
    return D3D_OK;
  }
  HRESULT Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR color, D3DVALUE z, DWORD) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX m) override {
    if (!m) return DDERR_INVALIDPARAMS;
    switch (type) {
      case D3DTRANSFORMSTATE_WORLD:
        world_ = *m;
        return D3D_OK;
      case D3DTRANSFORMSTATE_VIEW:
        view_ = *m;
        return D3D_OK;
      case D3DTRANSFORMSTATE_PROJECTION:
        proj_ = *m;
        return D3D_OK;
      default:
        return DDERR_INVALIDPARAMS;
    }
  }
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX m) override {
    if (!m) return DDERR_INVALIDPARAMS;
    switch (type) {
      case D3DTRANSFORMSTATE_WORLD:
        *m = world_;
        return D3D_OK;
      case D3DTRANSFORMSTATE_VIEW:
        *m = view_;
        return D3D_OK;
      case D3DTRANSFORMSTATE_PROJECTION:
        *m = proj_;
        return D3D_OK;
      default:
        return DDERR_INVALIDPARAMS;
    }
  }
  HRESULT SetViewport(LPD3DVIEWPORT7 vp) override {
    if (!vp || vp->dwWidth == 0 || vp->dwHeight == 0 || vp->dwX + vp->dwWidth > DWORD(target_->width()) ||
        vp->dwY + vp->dwHeight > DWORD(target_->height()) || vp->dwX > DWORD(target_->width()) ||
        vp->dwY > DWORD(target_->height()))
      return DDERR_INVALIDPARAMS;
    viewport_ = *vp;
    return D3D_OK;
  }
  HRESULT GetViewport(LPD3DVIEWPORT7 vp) override {
    if (!vp) return DDERR_INVALIDPARAMS;
    *vp = viewport_;
    return D3D_OK;
  }
  HRESULT SetMaterial(LPD3DMATERIAL7 m) override {
    if (!m) return DDERR_INVALIDPARAMS;
    material_ = *m;
    return D3D_OK;
  }
  HRESULT GetMaterial(LPD3DMATERIAL7 m) override {
    if (!m) return DDERR_INVALIDPARAMS;
    *m = material_;
    return D3D_OK;
  }
  HRESULT SetLight(DWORD index, LPD3DLIGHT7 light) override {
    if (!light || index >= 8) return DDERR_INVALIDPARAMS;
    lights_[index] = *light;
    return D3D_OK;
  }
  HRESULT GetLight(DWORD index, LPD3DLIGHT7 light) override {
    if (!light || index >= 8) return DDERR_INVALIDPARAMS;
    *light = lights_[index];
    return D3D_OK;
  }
  HRESULT LightEnable(DWORD index, BOOL enable) override {
    if (index >= 8) return DDERR_INVALIDPARAMS;
    lightOn_[index] = enable != 0;
    return D3D_OK;
  }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    if (DWORD(state) >= 256) return DDERR_INVALIDPARAMS;
    rs_[state] = value;
    return D3D_OK;
  }
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) override {
    if (!value || DWORD(state) >= 256) return DDERR_INVALIDPARAMS;
    *value = rs_[state];
    return D3D_OK;
  }
  HRESULT SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 texture) override {
    if (stage >= 8) return DDERR_INVALIDPARAMS;
    Surface* s = texture ? asSurface(texture) : nullptr;
    if (s && (!s->bits() || s->layout().zbuffer)) return DDERR_INVALIDPARAMS;
    if (stage != 0) return D3D_OK;  // one texture stage is sampled
    if (s) s->AddRef();
    if (texture_) texture_->Release();
    texture_ = s;
    return D3D_OK;
  }
  HRESULT GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7* texture) override {
    if (!texture || stage >= 8) return DDERR_INVALIDPARAMS;
    *texture = stage == 0 ? texture_ : nullptr;
    if (*texture) texture_->AddRef();
    return D3D_OK;
  }
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override {
    if (stage >= 8 || DWORD(state) >= 32) return DDERR_INVALIDPARAMS;
    if (stage != 0) return D3D_OK;
    ts_[state] = value;
    if (state == D3DTSS_ADDRESS) ts_[D3DTSS_ADDRESSU] = ts_[D3DTSS_ADDRESSV] = value;
    return D3D_OK;
  }
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, LPDWORD value) override {
    if (!value || stage >= 8 || DWORD(state) >= 32) return DDERR_INVALIDPARAMS;
    *value = stage == 0 ? ts_[state] : 0;
    return D3D_OK;
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD count,
                        DWORD flags) override {
    return draw(type, fvf, vertices, count, nullptr, count);
  }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD vertexCount,
                               LPWORD indices, DWORD indexCount, DWORD flags) override {
    if (!indices) return DDERR_INVALIDPARAMS;
    return draw(type, fvf, vertices, vertexCount, indices, indexCount);
  }

 private:
  ~Device() override {
    if (texture_) texture_->Release();
    target_->Release();
    d3d_->Release();
  }
  HRESULT draw(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD vertexCount, const WORD* indices,
               DWORD indexCount);
  bool decode(DWORD fvf, const BYTE* data, DWORD count);
  bool buildState(RasterState& s);

  std::atomic<ULONG> refs_{1};
  IDirect3D7* d3d_;
  Surface* target_;
  Surface* texture_ = nullptr;
  D3DDEVICEDESC7 caps_;
  DWORD rs_[256];
  DWORD ts_[32];
  D3DMATRIX world_, view_, proj_;
  D3DVIEWPORT7 viewport_;
  D3DMATERIAL7 material_;
  D3DLIGHT7 lights_[8]{};
  bool lightOn_[8]{};
  bool inScene_ = false;
  std::vector<RasterVertex> vertices_;  // reused between draws
  std::vector<uint8_t> valid_;          // vertices in front of the eye
};

HRESULT Device::Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR color, D3DVALUE z, DWORD) {
  if (target_->lost()) return DDERR_SURFACELOST;
  if (target_->busy()) return DDERR_SURFACEBUSY;
  Surface* zs = target_->attachedZ();
  if ((flags & D3DCLEAR_ZBUFFER) && !zs) return DDERR_INVALIDPARAMS;
  const LONG vl = LONG(viewport_.dwX), vt = LONG(viewport_.dwY);
  const LONG vr = vl + LONG(viewport_.dwWidth), vb = vt + LONG(viewport_.dwHeight);
  D3DRECT whole{vl, vt, vr, vb};
  if (count == 0 || !rects) {
    count = 1;
    rects = &whole;
  }
  const float zc = std::clamp(z, 0.f, 1.f);
  for (DWORD i = 0; i < count; ++i) {
    const LONG l = std::max(rects[i].x1, vl), t = std::max(rects[i].y1, vt);
    const LONG r = std::min(rects[i].x2, vr), b = std::min(rects[i].y2, vb);
    if (l >= r || t >= b) continue;
    for (LONG y = t; y < b; ++y) {
      if (flags & D3DCLEAR_TARGET)
        std::fill_n(reinterpret_cast<uint32_t*>(target_->bits() + size_t(y) * target_->pitch()) + l, r - l,
                    color);
      if ((flags & D3DCLEAR_ZBUFFER) && y < zs->height() && r <= zs->width()) {
        BYTE* row = zs->bits() + size_t(y) * zs->pitch();
        if (zs->layout().bpp == 16)
          std::fill_n(reinterpret_cast<uint16_t*>(row) + l, r - l, uint16_t(zc * 65535.f + 0.5f));
        else
          std::fill_n(reinterpret_cast<float*>(row) + l, r - l, zc);
      }
    }
  }
  target_->touch();
  if (zs) zs->touch();
  return D3D_OK;
}

bool Device::decode(DWORD fvf, const BYTE* data, DWORD count) {
  const DWORD pos = fvf & D3DFVF_POSITION_MASK;
  if (pos != D3DFVF_XYZRHW && pos != D3DFVF_XYZ) return false;
  const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  DWORD stride = pos == D3DFVF_XYZRHW ? 16 : 12;
  const DWORD normalAt = stride;
  if (fvf & D3DFVF_NORMAL) stride += 12;
  const DWORD diffuseAt = stride;
  if (fvf & D3DFVF_DIFFUSE) stride += 4;
  const DWORD specularAt = stride;
  if (fvf & D3DFVF_SPECULAR) stride += 4;
  const DWORD texAt = stride;
  stride += 8 * texCount;
  (void)normalAt;

  vertices_.resize(count);
  valid_.assign(count, 1);
  D3DMATRIX wvp;
  if (pos == D3DFVF_XYZ) wvp = multiply(multiply(world_, view_), proj_);
  for (DWORD i = 0; i < count; ++i) {
    const BYTE* p = data + size_t(i) * stride;
    RasterVertex& v = vertices_[i];
    float f[4];
    std::memcpy(f, p, pos == D3DFVF_XYZRHW ? 16 : 12);
    if (pos == D3DFVF_XYZRHW) {
      v.x = f[0];
      v.y = f[1];
      v.z = f[2];
      v.rhw = f[3];
    } else {
      const float x = f[0], y = f[1], z = f[2];
      const float cx = x * wvp._11 + y * wvp._21 + z * wvp._31 + wvp._41;
      const float cy = x * wvp._12 + y * wvp._22 + z * wvp._32 + wvp._42;
      const float cz = x * wvp._13 + y * wvp._23 + z * wvp._33 + wvp._43;
      const float cw = x * wvp._14 + y * wvp._24 + z * wvp._34 + wvp._44;
      if (!(cw > 1e-6f)) {
        valid_[i] = 0;
        v = RasterVertex{};
        continue;
      }
      const float iw = 1.f / cw;
      v.x = float(viewport_.dwX) + (1.f + cx * iw) * 0.5f * float(viewport_.dwWidth);
      v.y = float(viewport_.dwY) + (1.f - cy * iw) * 0.5f * float(viewport_.dwHeight);
      v.z = viewport_.dvMinZ + cz * iw * (viewport_.dvMaxZ - viewport_.dvMinZ);
      v.rhw = iw;
    }
    if (fvf & D3DFVF_DIFFUSE)
      std::memcpy(&v.diffuse, p + diffuseAt, 4);
    else
      v.diffuse = 0xFFFFFFFF;
    if (fvf & D3DFVF_SPECULAR)
      std::memcpy(&v.specular, p + specularAt, 4);
    else
      v.specular = 0;
    if (texCount) {
      std::memcpy(&v.u, p + texAt, 4);
      std::memcpy(&v.v, p + texAt + 4, 4);
    } else {
      v.u = v.v = 0;
    }
  }
  return true;
}

bool Device::buildState(RasterState& s) {
  s.color = reinterpret_cast<uint32_t*>(target_->bits());
  s.colorStride = int(target_->pitch() / 4);
  s.clipLeft = int(viewport_.dwX);
  s.clipTop = int(viewport_.dwY);
  s.clipRight = std::min(int(viewport_.dwX + viewport_.dwWidth), target_->width());
  s.clipBottom = std::min(int(viewport_.dwY + viewport_.dwHeight), target_->height());
  s.targetAlpha = target_->layout().a.mask != 0;
  Surface* z = target_->attachedZ();
  if (z && rs_[D3DRENDERSTATE_ZENABLE] != D3DZB_FALSE && z->width() >= target_->width() &&
      z->height() >= target_->height() && !z->lost()) {
    s.zbuf = z->bits();
    s.zBits = int(z->layout().bpp);
    s.zStride = int(z->pitch() / (s.zBits / 8));
    s.zTest = true;
    s.zWrite = rs_[D3DRENDERSTATE_ZWRITEENABLE] != 0;
    s.zFunc = rs_[D3DRENDERSTATE_ZFUNC];
    z->touch();
  }
  if (texture_) {
    int stride;
    uint32_t aor;
    s.tex = texture_->argbView(&stride, &aor);
    s.texStride = stride;
    s.texAlphaOr = aor;
    s.texWidth = texture_->width();
    s.texHeight = texture_->height();
  }
  s.magFilter = ts_[D3DTSS_MAGFILTER] == D3DTFG_POINT ? TexFilter::Point : TexFilter::Linear;
  s.minFilter = ts_[D3DTSS_MINFILTER] == D3DTFN_POINT ? TexFilter::Point : TexFilter::Linear;
  s.addressU = ts_[D3DTSS_ADDRESSU] == D3DTADDRESS_CLAMP ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
  s.addressV = ts_[D3DTSS_ADDRESSV] == D3DTADDRESS_CLAMP ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
  s.colorOp = ts_[D3DTSS_COLOROP];
  s.colorArg1 = ts_[D3DTSS_COLORARG1];
  s.colorArg2 = ts_[D3DTSS_COLORARG2];
  s.alphaOp = ts_[D3DTSS_ALPHAOP];
  s.alphaArg1 = ts_[D3DTSS_ALPHAARG1];
  s.alphaArg2 = ts_[D3DTSS_ALPHAARG2];
  s.textureFactor = rs_[D3DRENDERSTATE_TEXTUREFACTOR];
  s.specularEnable = rs_[D3DRENDERSTATE_SPECULARENABLE] != 0;
  s.gouraud = rs_[D3DRENDERSTATE_SHADEMODE] != D3DSHADE_FLAT;
  s.alphaTest = rs_[D3DRENDERSTATE_ALPHATESTENABLE] != 0;
  s.alphaFunc = rs_[D3DRENDERSTATE_ALPHAFUNC];
  s.alphaRef = rs_[D3DRENDERSTATE_ALPHAREF];
  s.blend = rs_[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
  s.srcBlend = rs_[D3DRENDERSTATE_SRCBLEND];
  s.destBlend = rs_[D3DRENDERSTATE_DESTBLEND];
  s.cull = rs_[D3DRENDERSTATE_CULLMODE];
  return s.clipLeft < s.clipRight && s.clipTop < s.clipBottom;
}

HRESULT Device::draw(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID data, DWORD vertexCount, const WORD* indices,
                     DWORD indexCount) {
  if (!data && vertexCount) return DDERR_INVALIDPARAMS;
  if (target_->lost()) return DDERR_SURFACELOST;
  if (target_->busy()) return DDERR_SURFACEBUSY;
  if (vertexCount > 65536 || indexCount > 3 * 65536) return DDERR_INVALIDPARAMS;
  if (indices)
    for (DWORD i = 0; i < indexCount; ++i)
      if (indices[i] >= vertexCount) return DDERR_INVALIDPARAMS;
  if (!decode(fvf, static_cast<const BYTE*>(data), vertexCount)) return DDERR_INVALIDPARAMS;
  RasterState s;
  if (!buildState(s)) return D3D_OK;
  auto at = [&](DWORD i) -> DWORD { return indices ? indices[i] : i; };
  auto tri = [&](DWORD i0, DWORD i1, DWORD i2) {
    if (valid_[i0] && valid_[i1] && valid_[i2]) drawTriangle(s, vertices_[i0], vertices_[i1], vertices_[i2]);
  };
  auto line = [&](DWORD i0, DWORD i1) {
    if (valid_[i0] && valid_[i1]) drawLine(s, vertices_[i0], vertices_[i1]);
  };
  const bool wire = rs_[D3DRENDERSTATE_FILLMODE] == D3DFILL_WIREFRAME;
  auto face = [&](DWORD i0, DWORD i1, DWORD i2) {
    if (!wire) return tri(i0, i1, i2);
    line(i0, i1);
    line(i1, i2);
    line(i2, i0);
  };
  const DWORD n = indexCount;
  switch (type) {
    case D3DPT_TRIANGLELIST:
      for (DWORD i = 0; i + 2 < n; i += 3) face(at(i), at(i + 1), at(i + 2));
      break;
    case D3DPT_TRIANGLESTRIP:
      // The painter's quad: one span a row when its two triangles make a parallelogram.
      if (n == 4 && !wire && valid_[at(0)] && valid_[at(1)] && valid_[at(2)] && valid_[at(3)] &&
          drawParallelogram(s, vertices_[at(0)], vertices_[at(1)], vertices_[at(2)], vertices_[at(3)]))
        break;
      // Every other triangle is reversed so all keep the winding of the first.
      for (DWORD i = 0; i + 2 < n; ++i)
        if (i & 1)
          face(at(i + 1), at(i), at(i + 2));
        else
          face(at(i), at(i + 1), at(i + 2));
      break;
    case D3DPT_TRIANGLEFAN:
      for (DWORD i = 1; i + 1 < n; ++i) face(at(0), at(i), at(i + 1));
      break;
    case D3DPT_LINELIST:
      for (DWORD i = 0; i + 1 < n; i += 2) line(at(i), at(i + 1));
      break;
    case D3DPT_LINESTRIP:
      for (DWORD i = 0; i + 1 < n; ++i) line(at(i), at(i + 1));
      break;
    case D3DPT_POINTLIST:
      for (DWORD i = 0; i < n; ++i) {
        RasterVertex a = vertices_[at(i)], b = a;
        b.x += 1.f;
        if (valid_[at(i)]) drawLine(s, a, b);
      }
      break;
    default:
      return DDERR_INVALIDPARAMS;
  }
  target_->touch();
  return D3D_OK;
}

}  // namespace

HRESULT createSoftwareDevice(IDirect3D7* d3d, Surface* target, const D3DDEVICEDESC7& caps,
                             LPDIRECT3DDEVICE7* out) {
  *out = nullptr;
  if (target->lost()) return DDERR_SURFACELOST;
  if (!(target->desc().ddsCaps.dwCaps & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
  if (!target->bits() || !target->layout().argb8888()) return DDERR_INVALIDPIXELFORMAT;
  *out = new Device(d3d, target, caps);
  return D3D_OK;
}

}  // namespace zqdisplay
