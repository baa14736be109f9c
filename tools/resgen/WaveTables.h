#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The oscillator's band-limited wave tables, made by additive synthesis from
// our own harmonic recipes: one table file per named wave.
constexpr uint32_t kWaveTableLength = 2048; // samples of level 0

// Levels of n samples (n = length, length / 2, ... 1), one after another;
// level 0 peaks at 1.0.
std::vector<float> BuildWaveTable(int32_t wave, uint32_t length);
// The table file: level count, length, sample count, then the samples.
std::vector<uint8_t> WaveTableFile(const std::vector<float>& samples, uint32_t length);
// Writes "<folder>/<wave name>.tbl" for every wave that plays a table.
bool WriteWaveTables(const std::string& folder);
