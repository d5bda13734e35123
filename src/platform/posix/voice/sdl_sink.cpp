// The sound card, through SDL's audio callback.
#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <mutex>

#include "audio_sink.h"

namespace {

// SDL's subsystem start and stop are not safe to call from several threads
// at once, and a process may hold more than one voice.
std::mutex sdl_mutex;

// A period of 512 samples (23 ms at espeak-ng's 22050 Hz) keeps pause,
// resume and volume changes well inside one 50 ms buffer.
constexpr Uint16 kPeriodSamples = 512;

void DiscardLogMessage(void*, int, SDL_LogPriority, const char*) {}

void DiscardAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// SDL falls back to ALSA when there is no sound server, and ALSA reports a
// missing sound card on standard error. SDL loads ALSA at run time, so we
// reach the same library the same way and give it a handler that keeps
// quiet. The library stays loaded for the life of the process.
void SilenceAlsa() {
  static const bool silenced = [] {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) {
      return false;
    }
    using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetErrorHandler = int (*)(ErrorHandler);
    auto* set_handler = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    return set_handler != nullptr && set_handler(DiscardAlsaMessage) == 0;
  }();
  static_cast<void>(silenced);
}

class SdlSink final : public AudioSink {
 public:
  SdlSink() = default;
  ~SdlSink() override { Stop(); }
  SdlSink(const SdlSink&) = delete;
  SdlSink& operator=(const SdlSink&) = delete;

  bool Start(AudioSource& source, int sample_rate) override {
    std::lock_guard lock(sdl_mutex);
    if (device_ != 0) {
      return false;
    }
    // The user sees a window, not a console: SDL has nothing to tell them.
    SDL_LogSetOutputFunction(DiscardLogMessage, nullptr);
    SilenceAlsa();
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "青栎工坊文字转语音工具");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "朗读");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      return false;
    }
    source_ = &source;
    SDL_AudioSpec wanted{};
    wanted.freq = sample_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = kPeriodSamples;
    wanted.callback = &SdlSink::Callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts our format to whatever the device
    // takes. The default device is a shared stream on every back end.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) {
      source_ = nullptr;
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void Stop() override {
    std::lock_guard lock(sdl_mutex);
    if (device_ == 0) {
      return;
    }
    // Closing waits for a callback in progress to return.
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    source_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

 private:
  static void Callback(void* user, Uint8* stream, int length) {
    auto* self = static_cast<SdlSink*>(user);
    self->source_->Fill(
        std::span(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(length) / 2));
  }

  SDL_AudioDeviceID device_ = 0;
  AudioSource* source_ = nullptr;
};

}  // namespace

std::shared_ptr<AudioSink> MakeDeviceSink() {
  return std::make_shared<SdlSink>();
}
