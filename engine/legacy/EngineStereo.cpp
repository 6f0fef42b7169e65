// The older build's stereo view: a left and a right eye beside the centre one.
#include <cmath>

#include "ZqEngine.h"
#include "ZqFunc.h"

void CZqEngine::SetViewParams(D3DVECTOR* eye, D3DVECTOR* at, D3DVECTOR* up, float separation) {
  if (!eye || !at || !up) return;
  const D3DVECTOR d{at->x - eye->x, at->y - eye->y, at->z - eye->z};
  // Across the view direction: the normalised d x up.
  D3DVECTOR n{d.y * up->z - d.z * up->y, d.z * up->x - d.x * up->z, d.x * up->y - d.y * up->x};
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (length > 0.0f) {
    n.x /= length;
    n.y /= length;
    n.z /= length;
  }
  const D3DVECTOR left{eye->x + separation * n.x, eye->y + separation * n.y, eye->z + separation * n.z};
  const D3DVECTOR right{eye->x - separation * n.x, eye->y - separation * n.y, eye->z - separation * n.z};
  CZqFunc::D3DSetViewMatrix(m_matLeft, left, *at, *up);
  CZqFunc::D3DSetViewMatrix(m_matRight, right, *at, *up);
  CZqFunc::D3DSetViewMatrix(m_matView, *eye, *at, *up);
}
