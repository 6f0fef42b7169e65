// Test helpers of the audio and media areas: sound files made by sox and lame at test time.
#pragma once

#include <string>

// Runs a shell command quietly; true when it exits with 0.
bool RunQuiet(const std::string& command);
// A tone of the given length made by sox: "sox -n -r RATE -b BITS -c CHANNELS -e ENC PATH synth
// SECONDS sine 440". The encoding follows the bits (8: unsigned, 16: signed).
bool MakeToneWave(const std::string& path, int rate, int bits, int channels, double seconds);
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
