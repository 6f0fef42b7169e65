// Test helpers of the sound areas: little-endian fields and RIFF chunks for hand-made WAVE files.
#pragma once

#include <cstdint>
#include <string>

std::string Le16(uint16_t v);
std::string Le32(uint32_t v);
// A chunk: id, size, body and the pad byte of an odd body.
std::string Chunk(const std::string& id, const std::string& body);
// "RIFF", the size, "WAVE" and the chunks.
std::string Riff(const std::string& chunks);
// The 16 bytes of a "fmt " body.
std::string PcmFormat(int channels, int rate, int bits, int tag = 1);
// The body of the first top-level chunk of a WAVE file with that id ("" when none).
std::string WaveChunk(const std::string& file, const std::string& id);
