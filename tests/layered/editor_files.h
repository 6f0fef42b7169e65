// Layered files written by ImageMagick from small generated pictures.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "assets_support.h"

namespace assets_test {

inline Picture Pattern(int w, int h, int seed, bool alpha) {
  Picture p{w, h, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.rgba.insert(p.rgba.end(), {uint8_t(x * 40 + seed), uint8_t(y * 60 + seed),
                                   uint8_t((x + y) * 20 + seed), uint8_t(alpha ? (x + y) % 3 * 120 : 255)});
  return p;
}

// dir/name: a w x h merged picture (c.pam), then layers "Alpha" (a.pam: 3 x 2, with transparency)
// at (alphaX, alphaY) and "Beta" (b.pam: 2 x 2) at (0, 2).
inline std::string WriteLayeredFile(const ScratchDir& dir, const std::string& name, int w, int h, int alphaX,
                                    int alphaY, const std::string& compress) {
  WritePam(dir / "c.pam", Pattern(w, h, 0, false));
  WritePam(dir / "a.pam", Pattern(3, 2, 5, true));
  WritePam(dir / "b.pam", Pattern(2, 2, 9, false));
  std::string psd = dir / name;
  EXPECT_TRUE(RunTool("cd '" + dir.Path() + "' && convert -depth 8 c.pam \\( -label Alpha a.pam -repage +" +
                      std::to_string(alphaX) + "+" + std::to_string(alphaY) + " \\) " +
                      "\\( -label Beta b.pam -repage +0+2 \\) -compress " + compress + " '" + psd + "'"));
  return psd;
}

}  // namespace assets_test
