#include "synthesizer.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <filesystem>
#include <mutex>

namespace synthesizer {
namespace {

std::mutex espeak_mutex;
bool initialised = false;  // espeak_ng_Initialize succeeded
int sample_rate = 0;       // set once the Mandarin voice is loaded
const SampleConsumer* current_consumer = nullptr;
bool stopped = false;

// espeak-ng calls back with about this much audio at a time, which bounds
// how late a stop request is noticed.
constexpr int kBufferMilliseconds = 20;

int OnSamples(short* samples, int count, espeak_EVENT*) {
  if (samples == nullptr || count <= 0 || current_consumer == nullptr) {
    return 0;
  }
  if (!(*current_consumer)(
          std::span<const std::int16_t>(samples, static_cast<std::size_t>(count)))) {
    stopped = true;
    return 1;
  }
  return 0;
}

}  // namespace

std::string DefaultDataPath() {
  std::lock_guard lock(espeak_mutex);
  espeak_ng_InitializePath(nullptr);
  const char* path = nullptr;
  espeak_Info(&path);
  return path != nullptr ? path : "";
}

bool HasMandarinData(const std::string& data_path) {
  if (data_path.empty()) {
    return false;
  }
  const std::filesystem::path root(data_path);
  std::error_code error;
  for (const char* file :
       {"phontab", "phonindex", "phondata", "intonations", "cmn_dict", "lang/sit/cmn"}) {
    if (!std::filesystem::is_regular_file(root / file, error)) {
      return false;
    }
  }
  return true;
}

int Load(const std::string& data_path) {
  std::lock_guard lock(espeak_mutex);
  if (sample_rate > 0) {
    return sample_rate;
  }
  if (!initialised) {
    espeak_ng_InitializePath(data_path.c_str());
    espeak_ng_ERROR_CONTEXT context = nullptr;
    const espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status != ENS_OK) {
      return 0;
    }
    initialised = true;
    if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kBufferMilliseconds, nullptr) !=
        ENS_OK) {
      return 0;
    }
    espeak_SetSynthCallback(OnSamples);
  }
  if (espeak_ng_SetVoiceByName("cmn") != ENS_OK) {
    return 0;
  }
  sample_rate = espeak_ng_GetSampleRate();
  return sample_rate;
}

bool Synthesize(const std::string& text, const SampleConsumer& consumer) {
  std::lock_guard lock(espeak_mutex);
  if (sample_rate <= 0) {
    return true;
  }
  current_consumer = &consumer;
  stopped = false;
  // Plain UTF-8 text: no markup and no phoneme input is interpreted. The
  // end pause keeps the natural break between consecutive pieces.
  espeak_ng_Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                       espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, nullptr);
  current_consumer = nullptr;
  return !stopped;
}

}  // namespace synthesizer
