// The sound card, through SDL's audio callback.
#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

#include "audio_sink.h"

namespace {

// SDL's subsystem start and stop, and opening and closing devices, are kept
// to one thread at a time: a process may hold more than one voice.
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

// What SDL's callback reaches. It outlives the sink until the device is
// closed, and is cut from the voice the moment the sink stops.
struct DeviceLink {
  std::mutex mutex;
  AudioSource* source = nullptr;
};

void Callback(void* user, Uint8* stream, int length) {
  auto* link = static_cast<DeviceLink*>(user);
  const std::span out(reinterpret_cast<std::int16_t*>(stream),
                      static_cast<std::size_t>(length) / 2);
  std::lock_guard lock(link->mutex);
  if (link->source != nullptr) {
    link->source->Fill(out);
  } else {
    std::fill(out.begin(), out.end(), std::int16_t{0});
  }
}

// Closes devices in the background. SDL's close waits until the sound
// server next asks for audio, which with a long server-side buffer (a
// PulseAudio null sink keeps two seconds) takes over a second, and
// releasing a voice must not wait for that. Closes still under way are
// finished before the next device opens and at exit.
class DeviceCloser {
 public:
  ~DeviceCloser() { Finish(); }

  void Close(SDL_AudioDeviceID device, std::unique_ptr<DeviceLink> link) {
    std::lock_guard lock(mutex_);
    closing_.emplace_back([device, link = std::move(link)] {
      std::lock_guard sdl(sdl_mutex);
      SDL_CloseAudioDevice(device);
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    });
  }

  void Finish() {
    std::vector<std::thread> closing;
    {
      std::lock_guard lock(mutex_);
      closing.swap(closing_);
    }
    for (std::thread& thread : closing) {
      thread.join();
    }
  }

 private:
  std::mutex mutex_;
  std::vector<std::thread> closing_;
};

DeviceCloser& Closer() {
  static DeviceCloser closer;
  return closer;
}

class SdlSink final : public AudioSink {
 public:
  SdlSink() = default;
  ~SdlSink() override { Stop(); }
  SdlSink(const SdlSink&) = delete;
  SdlSink& operator=(const SdlSink&) = delete;

  bool Start(AudioSource& source, int sample_rate) override {
    if (device_ != 0) {
      return false;
    }
    Closer().Finish();
    std::lock_guard lock(sdl_mutex);
    // The user sees a window, not a console: SDL has nothing to tell them.
    SDL_LogSetOutputFunction(DiscardLogMessage, nullptr);
    SilenceAlsa();
    // Left to itself SDL takes SIGINT and SIGTERM and turns them into quit
    // events that nobody here reads, so the program would ignore being told
    // to end, at logout for one.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "青栎工坊文字转语音工具");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "朗读");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      return false;
    }
    auto link = std::make_unique<DeviceLink>();
    link->source = &source;
    SDL_AudioSpec wanted{};
    wanted.freq = sample_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = kPeriodSamples;
    wanted.callback = &Callback;
    wanted.userdata = link.get();
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts our format to whatever the device
    // takes. The default device is a shared stream on every back end.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    link_ = std::move(link);
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void Stop() override {
    if (device_ == 0) {
      return;
    }
    {
      // Waits for a callback in progress; later ones play silence.
      std::lock_guard lock(link_->mutex);
      link_->source = nullptr;
    }
    Closer().Close(device_, std::move(link_));
    device_ = 0;
  }

 private:
  SDL_AudioDeviceID device_ = 0;
  std::unique_ptr<DeviceLink> link_;
};

}  // namespace

std::shared_ptr<AudioSink> MakeDeviceSink() {
  return std::make_shared<SdlSink>();
}
