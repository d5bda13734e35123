// espeak-ng, the Mandarin synthesiser behind every voice in the process.
//
// espeak-ng keeps its state in globals and cannot be shut down and started
// again in one process (its shutdown never returns in the version we ship
// against), so it is loaded once, by the first voice created, and kept. Its
// calls are serialised here; each voice synthesises on its own thread.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace synthesizer {

// The data directory espeak-ng would use by default (its ESPEAK_DATA_PATH
// and built-in locations).
std::string DefaultDataPath();

// Whether data_path is an espeak-ng data directory holding the phoneme
// tables and the Mandarin voice and dictionary.
bool HasMandarinData(const std::string& data_path);

// Loads espeak-ng from data_path with the Mandarin voice, unless it is
// loaded already. Returns its sample rate, or 0 when it cannot be loaded.
int Load(const std::string& data_path);

// Receives each buffer of samples as it is synthesised; returning false
// stops the synthesis.
using SampleConsumer = std::function<bool(std::span<const std::int16_t>)>;

// Synthesises one piece of UTF-8 plain text at the normal rate. Returns
// false when the consumer stopped it.
bool Synthesize(const std::string& text, const SampleConsumer& consumer);

}  // namespace synthesizer
