#pragma once

#include <cstdint>
#include <string>

// The oscillator's band-limited wave tables, made by additive synthesis from
// our own harmonic recipes: one table file per named wave.
class cWavetable;

constexpr uint32_t kWaveTableLength = 2048; // samples of level 0

// Fills a table with every level of a wave's recipe; level 0 peaks at 1.0.
void BuildWaveTable(int32_t wave, cWavetable& table);
// Writes "Modules/Kest/Wavetables/<wave name>.tbl" below the resources
// folder for every wave that plays a table.
bool WriteWaveTables(const std::string& resources);
