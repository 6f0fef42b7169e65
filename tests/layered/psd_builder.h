// Builds small layered images byte by byte, for the cases an editor will not write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace psd_test {

struct Channel {
  int16_t id;
  std::vector<uint8_t> stored;  // compression field and data, as in the file
};

struct Layer {
  int32_t top, left, bottom, right;
  std::string name;
  std::vector<Channel> channels;
  std::string blend = "norm";
  std::vector<uint16_t> luni;  // a "luni" block when not empty
};

inline void Put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
}

inline Channel Raw(int16_t id, std::vector<uint8_t> data) {
  Channel c{id, {0, 0}};
  c.stored.insert(c.stored.end(), data.begin(), data.end());
  return c;
}

// PackBits rows given already packed, with their stored byte counts.
inline Channel Packed(int16_t id, const std::vector<std::vector<uint8_t>>& rows,
                      std::vector<uint16_t> counts = {}) {
  Channel c{id, {0, 1}};
  for (size_t i = 0; i < rows.size(); ++i) Put(c.stored, i < counts.size() ? counts[i] : rows[i].size(), 2);
  for (auto& r : rows) c.stored.insert(c.stored.end(), r.begin(), r.end());
  return c;
}

inline std::vector<uint8_t> Build(int32_t width, int32_t height, const std::vector<Layer>& layers,
                                  int channels = 3) {
  std::vector<uint8_t> b = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
  Put(b, channels, 2);
  Put(b, height, 4);
  Put(b, width, 4);
  Put(b, 8, 2);
  Put(b, 3, 2);  // RGB
  Put(b, 0, 4);  // colour-mode data
  Put(b, 0, 4);  // image resources
  std::vector<uint8_t> info;
  Put(info, layers.size(), 2);
  for (auto& l : layers) {
    Put(info, l.top, 4);
    Put(info, l.left, 4);
    Put(info, l.bottom, 4);
    Put(info, l.right, 4);
    Put(info, l.channels.size(), 2);
    for (auto& c : l.channels) {
      Put(info, (uint16_t)c.id, 2);
      Put(info, c.stored.size(), 4);
    }
    info.insert(info.end(), {'8', 'B', 'I', 'M'});
    info.insert(info.end(), l.blend.begin(), l.blend.end());
    info.insert(info.end(), {255, 0, 8, 0});
    std::vector<uint8_t> extra;
    Put(extra, 0, 4);
    Put(extra, 0, 4);
    extra.push_back((uint8_t)l.name.size());
    extra.insert(extra.end(), l.name.begin(), l.name.end());
    extra.insert(extra.end(), ((l.name.size() + 1 + 3) & ~size_t(3)) - 1 - l.name.size(), 0);
    if (!l.luni.empty()) {
      extra.insert(extra.end(), {'8', 'B', 'I', 'M', 'l', 'u', 'n', 'i'});
      Put(extra, 4 + 2 * l.luni.size(), 4);
      Put(extra, l.luni.size(), 4);
      for (uint16_t u : l.luni) Put(extra, u, 2);
    }
    Put(info, extra.size(), 4);
    info.insert(info.end(), extra.begin(), extra.end());
  }
  for (auto& l : layers)
    for (auto& c : l.channels) info.insert(info.end(), c.stored.begin(), c.stored.end());
  if (info.size() % 2) info.push_back(0);
  Put(b, 4 + info.size() + 4, 4);  // layer and mask section
  Put(b, info.size(), 4);
  b.insert(b.end(), info.begin(), info.end());
  Put(b, 0, 4);  // global layer mask
  Put(b, 0, 2);  // composite, raw
  b.insert(b.end(), (size_t)width * height * channels, 0);
  return b;
}

}  // namespace psd_test
