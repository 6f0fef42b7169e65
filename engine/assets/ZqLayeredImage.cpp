// Layered image (PSD) reader. All numbers in the file are big-endian.
#include "ZqLayeredImage.h"

#include <algorithm>
#include <cstring>

namespace {

// Sequential big-endian reader; a short read throws.
class PsdReader {
 public:
  explicit PsdReader(std::streambuf& in) : m_in(in) {}

  void Read(void* dst, size_t n) {
    if ((size_t)m_in.sgetn(static_cast<char*>(dst), (std::streamsize)n) != n)
      throw t_streambuf_read_failure();
    m_pos += n;
  }
  uint8_t U8() {
    uint8_t b;
    Read(&b, 1);
    return b;
  }
  int16_t I16() {
    uint8_t b[2];
    Read(b, 2);
    return (int16_t)((b[0] << 8) | b[1]);
  }
  int32_t I32() {
    uint8_t b[4];
    Read(b, 4);
    return (int32_t)(((uint32_t)b[0] << 24) | ((uint32_t)b[1] << 16) | ((uint32_t)b[2] << 8) | b[3]);
  }
  bool Tag(const char* four) {
    char t[4];
    Read(t, 4);
    return memcmp(t, four, 4) == 0;
  }
  // Skipping reads through, so a length past the end of the file is a short read.
  void Skip(uint64_t n) {
    char buf[4096];
    while (n > 0) {
      size_t k = (size_t)std::min<uint64_t>(n, sizeof buf);
      Read(buf, k);
      n -= k;
    }
  }
  uint64_t Pos() const { return m_pos; }

 private:
  std::streambuf& m_in;
  uint64_t m_pos = 0;
};

const char* const kBlendModes[] = {"norm", "dark", "lite", "hue ", "sat ", "colr", "lum ", "mul ", "scrn",
                                   "diss", "over", "hLit", "sLit", "diff", "smud", "div ", "idiv"};

bool IsUsed(int16_t id) { return id >= -1 && id <= 2; }

// One PackBits row: exactly `count` input bytes must produce the row; output beyond `width` is dropped.
bool ReadPackedRow(PsdReader& rd, std::vector<uint8_t>& out, int32_t width, int count) {
  size_t start = out.size();
  size_t end = start + (size_t)width;
  int consumed = 0;
  while (out.size() < end) {
    uint8_t h = rd.U8();
    ++consumed;
    if (h == 128) continue;  // no-op header
    if (h > 128) {
      uint8_t v = rd.U8();
      ++consumed;
      size_t n = std::min<size_t>(257 - h, end - out.size());
      out.insert(out.end(), n, v);
    } else {
      size_t n = (size_t)h + 1;
      uint8_t lit[128];
      rd.Read(lit, n);
      consumed += (int)n;
      out.insert(out.end(), lit, lit + std::min(n, end - out.size()));
    }
    if (consumed > count) return false;
  }
  // Some writers close each row with no-op headers inside its count.
  while (consumed < count) {
    ++consumed;
    if (rd.U8() != 128) return false;
  }
  return true;
}

// Raw rows grow the buffer only as the bytes arrive, so a huge claimed size cannot exhaust memory.
void ReadRaw(PsdReader& rd, std::vector<uint8_t>& out, uint64_t n) {
  uint8_t buf[4096];
  while (n > 0) {
    size_t k = (size_t)std::min<uint64_t>(n, sizeof buf);
    rd.Read(buf, k);
    out.insert(out.end(), buf, buf + k);
    n -= k;
  }
}

bool ReadChannelBody(PsdReader& rd, SPsdChannel& ch, int16_t compression, const uint16_t* counts) {
  ch.data.clear();
  uint64_t w = (uint64_t)std::max(ch.width, 0), h = (uint64_t)std::max(ch.height, 0);
  if (compression == 0) {
    ReadRaw(rd, ch.data, w * h);
    return true;
  }
  for (uint64_t y = 0; y < h; ++y)
    if (!ReadPackedRow(rd, ch.data, (int32_t)w, counts[y])) return false;
  return true;
}

std::vector<uint16_t> ReadCounts(PsdReader& rd, uint64_t n) {
  std::vector<uint16_t> counts;
  for (uint64_t i = 0; i < n; ++i) counts.push_back((uint16_t)rd.I16());
  return counts;
}

// A layer channel as stored: compression, then the rows; its bytes must match the record's length.
bool ReadLayerChannel(PsdReader& rd, SPsdChannel& ch, int32_t length) {
  if (length < 0) return false;
  uint64_t start = rd.Pos();
  if (!IsUsed(ch.id)) {  // masks and other extra channels: kept empty, their bytes passed over
    rd.Skip((uint64_t)length);
    return true;
  }
  int16_t compression = rd.I16();
  std::vector<uint16_t> counts;
  if (compression != 0) counts = ReadCounts(rd, (uint64_t)std::max(ch.height, 0));
  if (!ReadChannelBody(rd, ch, compression, counts.data())) return false;
  return rd.Pos() - start == (uint64_t)length;
}

bool ReadLayerRecord(PsdReader& rd, CPsdLayer& layer) {
  layer.m_top = rd.I32();
  layer.m_left = rd.I32();
  layer.m_bottom = rd.I32();
  layer.m_right = rd.I32();
  // A side that does not fit in 32 bits is no picture; its offsets inside the layer would overflow.
  if ((int64_t)layer.m_right - layer.m_left > INT32_MAX || (int64_t)layer.m_bottom - layer.m_top > INT32_MAX)
    return false;
  int16_t n = rd.I16();
  if (n < 0) return false;
  for (int i = 0; i < n; ++i) {
    int16_t id = rd.I16();
    layer.m_lengths.push_back(rd.I32());
    layer.AddChannel(id);
  }
  if (!rd.Tag("8BIM")) return false;
  char mode[4];
  rd.Read(mode, 4);
  if (std::none_of(std::begin(kBlendModes), std::end(kBlendModes),
                   [&](const char* m) { return memcmp(m, mode, 4) == 0; }))
    return false;
  layer.m_opacity = rd.U8();
  rd.U8();  // clipping
  layer.m_flags = rd.U8();
  rd.U8();  // filler
  int32_t extra = rd.I32();
  int32_t maskLen = rd.I32();
  if (maskLen < 0) return false;
  rd.Skip((uint64_t)maskLen);
  int32_t blendLen = rd.I32();
  if (blendLen < 0) return false;
  rd.Skip((uint64_t)blendLen);
  uint8_t nameLen = rd.U8();
  char name[256];
  rd.Read(name, nameLen);
  layer.m_name.assign(name, nameLen);
  size_t padded = ((size_t)nameLen + 1 + 3) & ~(size_t)3;
  rd.Skip(padded - 1 - nameLen);
  int64_t rest = (int64_t)extra - 8 - maskLen - blendLen - (int64_t)padded;
  while (rest > 7) {
    if (!rd.Tag("8BIM")) return false;
    char key[4];
    rd.Read(key, 4);
    int32_t len = rd.I32();
    rest -= 12;
    if (len < 0) return false;
    int64_t left = len;
    if (memcmp(key, "luni", 4) == 0 && left >= 4) {
      int32_t units = rd.I32();
      left -= 4;
      std::string uname;
      for (int32_t i = 0; i < units && left >= 2; ++i, left -= 2) {
        uint8_t u[2];
        rd.Read(u, 2);
        uname.push_back((char)u[1]);  // the low byte of the big-endian code unit
      }
      layer.m_name = uname;
    }
    rd.Skip((uint64_t)left);
    rest -= len;
  }
  if (rest > 0) rd.Skip((uint64_t)rest);
  return true;
}

void BindChannels(CPsdLayer& layer) {
  layer.m_pRed = layer.m_pGreen = layer.m_pBlue = layer.m_pAlpha = nullptr;
  for (auto& ch : layer.m_channels) {
    switch (ch->id) {
      case 0:
        layer.m_pRed = ch.get();
        break;
      case 1:
        layer.m_pGreen = ch.get();
        break;
      case 2:
        layer.m_pBlue = ch.get();
        break;
      case -1:
        layer.m_pAlpha = ch.get();
        break;
      default:
        break;
    }
  }
}

bool ReadComposite(PsdReader& rd, CPsdDocument& doc, int channels) {
  CPsdLayer& c = doc.m_composite;
  c = CPsdLayer();
  c.m_name = "background";
  c.m_bottom = doc.m_height;
  c.m_right = doc.m_width;
  c.m_opacity = 255;
  uint64_t h = (uint64_t)std::max(doc.m_height, 0);
  int16_t compression = rd.I16();
  std::vector<uint16_t> counts;
  if (compression != 0) counts = ReadCounts(rd, h * (uint64_t)channels);
  for (int i = 0; i < channels; ++i) {
    SPsdChannel* ch = c.AddChannel((int16_t)i);
    const uint16_t* rows = compression != 0 ? counts.data() + h * (uint64_t)i : nullptr;
    if (!ReadChannelBody(rd, *ch, compression, rows)) return false;
  }
  c.m_pRed = c.m_pGreen = c.m_pBlue = c.m_pAlpha = nullptr;
  if (channels > 0) c.m_pRed = c.m_channels[0].get();
  if (doc.m_mode == 3) {
    if (channels > 1) c.m_pGreen = c.m_channels[1].get();
    if (channels > 2) c.m_pBlue = c.m_channels[2].get();
    if (channels > 3) c.m_pAlpha = c.m_channels[3].get();
  } else if (doc.m_mode == 2 && channels > 1) {
    c.m_pAlpha = c.m_channels[1].get();
  }
  return true;
}

}  // namespace

uint8_t SPsdChannel::At(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  size_t i = (size_t)y * (size_t)width + (size_t)x;
  return i < data.size() ? data[i] : 0;
}

SPsdChannel* CPsdLayer::AddChannel(int16_t id) {
  auto ch = std::make_unique<SPsdChannel>();
  ch->id = id;
  ch->width = GetWidth();
  ch->height = GetHeight();
  m_channels.push_back(std::move(ch));
  return m_channels.back().get();
}

SPixel32 CPsdLayer::GetPixel(int32_t x, int32_t y) const {
  if (x < m_left || x >= m_right || y < m_top || y >= m_bottom) return SPixel32(0, 0, 0, 0);
  // In 64 bits: a hand-set rectangle may span more than 32 bits, and no channel holds data that far.
  auto offset = [](int32_t v, int32_t from) {
    return (int32_t)std::min<int64_t>((int64_t)v - from, INT32_MAX);
  };
  int32_t cx = offset(x, m_left), cy = offset(y, m_top);
  auto at = [&](const SPsdChannel* ch) -> uint8_t { return ch ? ch->At(cx, cy) : 0; };
  uint8_t a = m_pAlpha ? m_pAlpha->At(cx, cy) : 255;
  if (m_pGreen) return SPixel32(at(m_pRed), at(m_pGreen), at(m_pBlue), a);
  uint8_t g = at(m_pRed);
  return SPixel32(g, g, g, a);
}

CPsdDocument::CPsdDocument() { memset(m_palette, 0, sizeof m_palette); }

void CPsdDocument::Destroy() {
  m_layers.clear();
  m_buffers.clear();
  m_composite = CPsdLayer();
  memset(m_palette, 0, sizeof m_palette);
}

const CPsdLayer* CPsdDocument::GetLayer(int index) const {
  return index >= 0 && index < GetLayerCount() ? m_layers[(size_t)index].get() : nullptr;
}

const CPsdLayer* CPsdDocument::FindLayer(const char* name) const {
  if (!name) return nullptr;
  for (auto it = m_layers.rbegin(); it != m_layers.rend(); ++it)
    if ((*it)->m_name == name) return it->get();
  return nullptr;
}

bool CPsdDocument::Parse(std::streambuf& in) {
  Destroy();
  PsdReader rd(in);
  if (!rd.Tag("8BPS")) return false;
  if (rd.I16() != 1) return false;
  uint8_t reserved[6];
  rd.Read(reserved, 6);
  if (std::any_of(reserved, reserved + 6, [](uint8_t b) { return b != 0; })) return false;
  int16_t channels = rd.I16();
  if (channels < 1 || channels > 24) return false;
  m_height = rd.I32();
  m_width = rd.I32();
  rd.I16();  // depth: 8 bits assumed
  m_mode = rd.I16();
  int32_t modeLen = rd.I32();
  if (modeLen == 768) {
    uint8_t table[768];
    rd.Read(table, sizeof table);
    for (int i = 0; i < 256; ++i) m_palette[i] = SPixel24(table[i], table[256 + i], table[512 + i]);
  } else if (modeLen != 0) {
    return false;
  }
  int32_t resources = rd.I32();
  if (resources < 0) return false;
  rd.Skip((uint64_t)resources);

  if (rd.I32() != 0) {
    if (rd.I32() != 0) {
      int count = std::abs((int)rd.I16());
      for (int i = 0; i < count; ++i) {
        m_layers.push_back(std::make_unique<CPsdLayer>());
        CPsdLayer& layer = *m_layers.back();
        if (!ReadLayerRecord(rd, layer)) {
          m_layers.pop_back();
          return false;
        }
        BindChannels(layer);
      }
      // A failing or short channel keeps only the layers read completely before it.
      for (size_t i = 0; i < m_layers.size(); ++i) {
        CPsdLayer& layer = *m_layers[i];
        bool ok = true;
        try {
          for (size_t c = 0; c < layer.m_channels.size() && ok; ++c)
            ok = ReadLayerChannel(rd, *layer.m_channels[c], layer.m_lengths[c]);
        } catch (const t_streambuf_read_failure&) {
          m_layers.resize(i);
          throw;
        }
        if (!ok) {
          m_layers.resize(i);
          return false;
        }
      }
      if (rd.Pos() & 1) rd.U8();
    }
    int32_t globalMask = rd.I32();
    if (globalMask < 0) return false;
    rd.Skip((uint64_t)globalMask);
  }
  return ReadComposite(rd, *this, channels);
}
