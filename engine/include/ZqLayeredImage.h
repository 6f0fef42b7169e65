// Layered image (PSD, 8 bits per channel) reader: the document of one file, its layers and channels.
#pragma once

#include "ZqDefs.h"
#include "ZqGeometry.h"
#include "ZqPixelMap.h"

#include <cstdint>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

// One channel image of a layer: width x height bytes, rows top to bottom.
struct ZQ_API SPsdChannel {
  int32_t width = 0;
  int32_t height = 0;
  int16_t id = 0;  // 0 red or grey, 1 green, 2 blue, -1 transparency, others unused
  std::vector<uint8_t> data;

  uint8_t At(int32_t x, int32_t y) const;  // 0 outside the buffer
};

class ZQ_API CPsdLayer {
 public:
  int32_t m_top = 0, m_left = 0, m_bottom = 0, m_right = 0;
  SPsdChannel* m_pRed = nullptr;  // red, or grey without a green channel
  SPsdChannel* m_pGreen = nullptr;
  SPsdChannel* m_pBlue = nullptr;
  SPsdChannel* m_pAlpha = nullptr;
  uint8_t m_opacity = 255;
  uint8_t m_flags = 8;
  std::vector<int32_t> m_lengths;
  std::string m_name;
  std::vector<std::unique_ptr<SPsdChannel>> m_channels;

  const std::string& GetName() const { return m_name; }
  SScreenRect GetRect() const { return SScreenRect(m_left, m_top, m_right, m_bottom); }
  // Empty for an inverted rectangle; capped at INT32_MAX for one too wide to measure in 32 bits.
  int32_t GetWidth() const { return Extent(m_left, m_right); }
  int32_t GetHeight() const { return Extent(m_top, m_bottom); }
  // The pixel at document coordinates; alpha 0 outside the layer.
  SPixel32 GetPixel(int32_t x, int32_t y) const;
  SPsdChannel* AddChannel(int16_t id);

 private:
  static int32_t Extent(int32_t from, int32_t to) {
    int64_t n = (int64_t)to - from;
    return n <= 0 ? 0 : n > INT32_MAX ? INT32_MAX : (int32_t)n;
  }
};

class ZQ_API CPsdDocument {
 public:
  int32_t m_height = 0;
  int32_t m_width = 0;
  SPixel24 m_palette[256];
  int16_t m_mode = 0;
  std::vector<std::unique_ptr<CPsdLayer>> m_layers;
  std::vector<std::vector<uint8_t>> m_buffers;  // kept empty
  CPsdLayer m_composite;

  CPsdDocument();

  // Reads a whole file. False on a format violation; a short read throws t_streambuf_read_failure.
  bool Parse(std::streambuf& in);
  void Destroy();

  int GetLayerCount() const { return (int)m_layers.size(); }
  const CPsdLayer* GetLayer(int index) const;          // null when out of range
  const CPsdLayer* FindLayer(const char* name) const;  // the last layer of that name, or null
};
