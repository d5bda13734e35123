// Where the voice's audio goes. A sink pulls mono 16-bit samples from the
// voice on a thread of its own, the way a sound card's callback does, so
// pausing, resuming and volume all act at the moment samples leave the voice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class AudioSource {
 public:
  // Writes the next out.size() samples: speech first, then silence when
  // there is not enough of it or the voice is paused. Returns how many of
  // them are speech. Called from the sink's thread, never concurrently.
  virtual std::size_t Fill(std::span<std::int16_t> out) = 0;

 protected:
  ~AudioSource() = default;
};

class AudioSink {
 public:
  virtual ~AudioSink() = default;
  // Starts pulling from source at sample_rate samples a second; false when
  // this sink cannot play (nothing is pulled then).
  virtual bool Start(AudioSource& source, int sample_rate) = 0;
  // Stops pulling. Once it returns, no call to Fill is running or follows.
  virtual void Stop() = 0;
};

// The sound card through the system's sound server, opened as a normal
// shared stream. Start fails when there is no usable device.
std::shared_ptr<AudioSink> MakeDeviceSink();

// Takes the audio at real-time pace and drops it: a voice without a sound
// card still pauses, resumes and finishes its streams as it would with one.
std::shared_ptr<AudioSink> MakeNullSink();
