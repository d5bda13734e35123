// Figures for the window on a real (virtual) X display with a recording
// sound server; run by run_window_bench.sh, which provides both. Prints
// figures against their goals; it passes or fails nothing.
//
//   window_bench <qingli-tts> <bare_window> <sink name>
//
// 1. Start-up: process start to the window mapped, the program beside a
//    bare Qt window with the same seven widgets, alternating.
// 2. A click on "朗读" to the first audible sample at the sink's monitor,
//    and a click on "暂停" to silence there.
// 3. With the window open and idle: CPU time and wake-ups (context
//    switches) per thread, then the peak resident memory after speaking.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kSampleRate = 22050;
// Samples above this are sound; below it for a while is silence.
constexpr int kAudibleLevel = 300;

pid_t Spawn(const std::vector<std::string>& command, bool quiet = true) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (quiet) {
      std::freopen("/dev/null", "w", stdout);
      std::freopen("/dev/null", "w", stderr);
    }
    std::vector<char*> argv;
    for (const std::string& part : command) {
      argv.push_back(const_cast<char*>(part.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int Run(const std::vector<std::string>& command) {
  int status = 0;
  waitpid(Spawn(command), &status, 0);
  return status;
}

void Stop(pid_t pid) {
  if (pid <= 0) {
    return;  // never signal a whole process group
  }
  // SDL's audio start-up catches SIGTERM to turn it into a quit request,
  // which the program does not read.
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

// Waits for a new top-level window to be mapped; the display has no window
// manager, so it is a child of the root.
std::optional<Window> WaitForMap(Display* display, Clock::time_point deadline) {
  while (Clock::now() < deadline) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect) {
        return event.xmap.window;
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return std::nullopt;
}

struct Figures {
  std::vector<double> values;
  void Add(double value) { values.push_back(value); }
  double Median() const {
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    return sorted.empty() ? NAN : sorted[sorted.size() / 2];
  }
  double Min() const { return *std::min_element(values.begin(), values.end()); }
  double Max() const { return *std::max_element(values.begin(), values.end()); }
};

void Print(const char* what, const Figures& figures, const char* unit) {
  std::printf("  %-44s median %8.1f %s  (min %.1f, max %.1f, n=%zu)\n", what, figures.Median(),
              unit, figures.Min(), figures.Max(), figures.values.size());
}

// ---- start-up

struct Launch {
  pid_t pid;
  Window window;
  double milliseconds;
};

std::optional<Launch> LaunchAndWait(Display* display, const std::vector<std::string>& command) {
  XSync(display, True);  // drop earlier events
  const Clock::time_point start = Clock::now();
  const pid_t pid = Spawn(command);
  const std::optional<Window> window = WaitForMap(display, start + std::chrono::seconds(20));
  if (!window) {
    Stop(pid);
    return std::nullopt;
  }
  return Launch{pid, *window, Milliseconds(Clock::now() - start).count()};
}

void BenchStartup(Display* display, const std::string& program, const std::string& bare) {
  constexpr int kRounds = 15;
  Figures ours;
  Figures plain;
  for (int round = 0; round < kRounds; ++round) {
    for (const bool is_ours : {true, false}) {
      const std::optional<Launch> launch = LaunchAndWait(display, {is_ours ? program : bare});
      if (!launch) {
        std::printf("  the window did not appear\n");
        return;
      }
      (is_ours ? ours : plain).Add(launch->milliseconds);
      Stop(launch->pid);
    }
  }
  std::printf("Start-up to the window shown (goal: within 1.3x the bare window)\n");
  Print("qingli-tts", ours, "ms");
  Print("bare Qt window, same seven widgets", plain, "ms");
  std::printf("  %-44s %8.2fx\n", "ratio of the medians", ours.Median() / plain.Median());
}

// ---- sound

// Reads the sink's monitor through parec in 5 ms pieces and notes when each
// piece arrives and how loud it is.
class Listener {
 public:
  explicit Listener(const std::string& monitor) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipe_ends[1], STDOUT_FILENO);
      close(pipe_ends[0]);
      std::freopen("/dev/null", "w", stderr);
      execlp("parec", "parec", "--latency-msec=5", "-d", monitor.c_str(), "--format=s16le",
             "--rate=22050", "--channels=1", "--raw", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(pipe_ends[1]);
    fd_ = pipe_ends[0];
    reader_ = std::thread([this] { Read(); });
  }
  ~Listener() {
    Stop(pid_);
    if (reader_.joinable()) {
      reader_.join();
    }
    if (fd_ >= 0) {
      close(fd_);
    }
  }

  // How much sound (in milliseconds of samples) arrived before `before`:
  // the monitor sends nothing while the sink is idle, so this tells whether
  // the pieces' arrival times follow the sink's clock.
  double ArrivedBefore(Clock::time_point before) {
    std::lock_guard lock(mutex_);
    double samples = 0;
    for (const Piece& piece : pieces_) {
      if (piece.arrived < before) {
        samples += piece.samples;
      }
    }
    return samples * 1000.0 / kSampleRate;
  }

  // The arrival of the first piece after `after` with a sample above the
  // audible level.
  std::optional<Clock::time_point> FirstSound(Clock::time_point after) {
    std::lock_guard lock(mutex_);
    for (const Piece& piece : pieces_) {
      if (piece.arrived > after && piece.peak > kAudibleLevel) {
        return piece.arrived;
      }
    }
    return std::nullopt;
  }
  // The arrival of the first piece after `after` from which on nothing was
  // audible for `quiet` — or, when the monitor stopped sending, the arrival
  // of the last audible piece.
  std::optional<Clock::time_point> Silence(Clock::time_point after, Clock::duration quiet) {
    std::lock_guard lock(mutex_);
    std::optional<Clock::time_point> silent_since;
    std::optional<Clock::time_point> last_loud;
    for (const Piece& piece : pieces_) {
      if (piece.arrived <= after) {
        continue;
      }
      if (piece.peak > kAudibleLevel) {
        silent_since.reset();
        last_loud = piece.arrived;
      } else if (!silent_since) {
        silent_since = piece.arrived;
      }
    }
    if (silent_since && Clock::now() - *silent_since >= quiet) {
      return silent_since;
    }
    if (!silent_since && last_loud && Clock::now() - *last_loud >= quiet) {
      return last_loud;
    }
    if (!silent_since && !last_loud && Clock::now() - after >= quiet) {
      return after;  // nothing arrived at all: silent from the click on
    }
    return std::nullopt;
  }

 private:
  struct Piece {
    Clock::time_point arrived;
    int peak;
    int samples;
  };

  void Read() {
    std::int16_t samples[kSampleRate / 200];
    for (;;) {
      const ssize_t got = read(fd_, samples, sizeof samples);
      if (got <= 0) {
        return;
      }
      const Clock::time_point now = Clock::now();
      int peak = 0;
      for (ssize_t i = 0; i < got / 2; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
      }
      std::lock_guard lock(mutex_);
      pieces_.push_back({now, peak, static_cast<int>(got / 2)});
    }
  }

  pid_t pid_ = -1;
  int fd_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::vector<Piece> pieces_;
};

// Clicks through the XTEST extension, loaded at run time so that building
// the benchmark needs no more than Xlib's headers.
class FakeInput {
 public:
  FakeInput() {
    library_ = dlopen("libXtst.so.6", RTLD_NOW);
    if (library_ != nullptr) {
      motion_ = reinterpret_cast<Motion>(dlsym(library_, "XTestFakeMotionEvent"));
      button_ = reinterpret_cast<Button>(dlsym(library_, "XTestFakeButtonEvent"));
    }
  }
  bool usable() const { return motion_ != nullptr && button_ != nullptr; }

  // Clicks at a point of the window's client area; returns once the X
  // server has taken the release, which is what makes a button click.
  Clock::time_point Click(Display* display, Window window, int x, int y) {
    int root_x = 0;
    int root_y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &root_x, &root_y,
                          &child);
    motion_(display, -1, root_x, root_y, 0);
    button_(display, 1, True, 0);
    button_(display, 1, False, 0);
    XSync(display, False);
    return Clock::now();
  }

 private:
  using Motion = int (*)(Display*, int, int, int, unsigned long);
  using Button = int (*)(Display*, unsigned int, int, unsigned long);
  void* library_ = nullptr;
  Motion motion_ = nullptr;
  Button button_ = nullptr;
};

FakeInput fake_input;

Clock::time_point Click(Display* display, Window window, int x, int y) {
  return fake_input.Click(display, window, x, y);
}

template <class Check>
std::optional<Clock::time_point> WaitFor(Check check, Clock::duration limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    if (auto found = check()) {
      return found;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return std::nullopt;
}

void BenchSound(Display* display, const std::string& program, const std::string& sink) {
  constexpr int kRounds = 6;
  Figures to_sound;
  Figures to_silence;
  Figures before_click;
  for (int round = 0; round < kRounds; ++round) {
    const std::optional<Launch> launch = LaunchAndWait(display, {program});
    if (!launch) {
      std::printf("  the window did not appear\n");
      return;
    }
    Listener listener(sink + ".monitor");
    std::this_thread::sleep_for(std::chrono::milliseconds(700));

    const Clock::time_point listening = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const Clock::time_point read_clicked = Click(display, launch->window, 310, 230);
    before_click.Add(listener.ArrivedBefore(read_clicked) - listener.ArrivedBefore(listening));
    const auto sound =
        WaitFor([&] { return listener.FirstSound(read_clicked); }, std::chrono::seconds(5));
    if (!sound) {
      std::printf("  nothing was heard after 朗读 (is the voice engine built in?)\n");
      Stop(launch->pid);
      return;
    }
    to_sound.Add(Milliseconds(*sound - read_clicked).count());

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const Clock::time_point pause_clicked = Click(display, launch->window, 310, 265);
    const auto silence =
        WaitFor([&] { return listener.Silence(pause_clicked, std::chrono::milliseconds(300)); },
                std::chrono::seconds(5));
    if (silence) {
      to_silence.Add(Milliseconds(*silence - pause_clicked).count());
    }
    Stop(launch->pid);
  }
  std::printf("Sound at the null sink's monitor (5 ms pieces; goals: under 60 ms)\n");
  Print("click on 朗读 to the first audible sample", to_sound, "ms");
  if (!to_silence.values.empty()) {
    Print("click on 暂停 to silence", to_silence, "ms");
  } else {
    std::printf("  the sound never stopped after 暂停\n");
  }
  // With the output stream running, the monitor delivers (silent) sound
  // before the click, about 500 ms of it in the 500 ms; with none, the
  // first audible piece also waits for the monitor's stream to start.
  Print("sound delivered in the 500 ms before the click", before_click, "ms");
}

// ---- idle

struct ThreadUse {
  std::string name;
  double cpu_ms = 0;
  long switches = 0;
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

long StatusField(const std::string& status, const std::string& field) {
  const std::size_t at = status.find(field + ":");
  return at == std::string::npos ? 0
                                 : std::strtol(status.c_str() + at + field.size() + 1, nullptr, 10);
}

std::map<int, ThreadUse> SampleThreads(pid_t pid) {
  std::map<int, ThreadUse> threads;
  const double tick_ms = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task/";
  FILE* list = popen(("ls " + tasks).c_str(), "r");
  char line[64];
  while (list != nullptr && std::fgets(line, sizeof line, list) != nullptr) {
    const int tid = std::atoi(line);
    const std::string base = tasks + std::to_string(tid);
    ThreadUse use;
    use.name = ReadFile(base + "/comm");
    use.name.erase(use.name.find_last_not_of('\n') + 1);
    const std::string stat = ReadFile(base + "/stat");
    // Fields after the command name, which is in parentheses.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int index = 3; fields >> field; ++index) {
      if (index == 14) {
        utime = std::atol(field.c_str());
      } else if (index == 15) {
        stime = std::atol(field.c_str());
        break;
      }
    }
    use.cpu_ms = static_cast<double>(utime + stime) * tick_ms;
    const std::string status = ReadFile(base + "/status");
    use.switches = StatusField(status, "voluntary_ctxt_switches") +
                   StatusField(status, "nonvoluntary_ctxt_switches");
    threads[tid] = use;
  }
  if (list != nullptr) {
    pclose(list);
  }
  return threads;
}

void PrintIdle(pid_t pid, const char* focus, double seconds) {
  const auto before = SampleThreads(pid);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const auto after = SampleThreads(pid);
  std::printf("  focus in %s, %.0f s idle:\n", focus, seconds);
  double total_cpu = 0;
  double total_wakeups = 0;
  for (const auto& [tid, use] : after) {
    const auto earlier = before.find(tid);
    const double cpu = use.cpu_ms - (earlier == before.end() ? 0 : earlier->second.cpu_ms);
    const long switches = use.switches - (earlier == before.end() ? 0 : earlier->second.switches);
    total_cpu += cpu;
    total_wakeups += static_cast<double>(switches);
    std::printf("    thread %-16s %6.1f wake-ups/s  %6.1f ms CPU\n", use.name.c_str(),
                static_cast<double>(switches) / seconds, cpu);
  }
  std::printf("    all threads      %6.1f wake-ups/s  %6.1f ms CPU (%.2f%% of one core)\n",
              total_wakeups / seconds, total_cpu, total_cpu / (seconds * 10.0));
}

long PeakResidentKilobytes(pid_t pid) {
  return StatusField(ReadFile("/proc/" + std::to_string(pid) + "/status"), "VmHWM");
}

void BenchIdle(Display* display, const std::string& program) {
  const std::optional<Launch> launch = LaunchAndWait(display, {program});
  if (!launch) {
    std::printf("  the window did not appear\n");
    return;
  }
  std::printf(
      "Idle with the window open (goal: no wake-ups from the program's own timers;\n"
      "context switches per thread, the caret's blinking included)\n");
  std::this_thread::sleep_for(std::chrono::seconds(1));
  PrintIdle(launch->pid, "the edit box (caret blinking)", 10);
  // Tab moves the focus from the edit box to the volume slider.
  Run({"xdotool", "windowfocus", "--sync", std::to_string(launch->window), "key", "Tab"});
  std::this_thread::sleep_for(std::chrono::seconds(1));
  PrintIdle(launch->pid, "the volume slider (no caret)", 10);

  std::printf("Peak memory (goal: under 60 MB)\n");
  std::printf("  %-44s %8.1f MB\n", "opened and idle", PeakResidentKilobytes(launch->pid) / 1024.0);
  Click(display, launch->window, 310, 230);
  std::this_thread::sleep_for(std::chrono::seconds(4));
  Click(display, launch->window, 310, 265);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::printf("  %-44s %8.1f MB\n", "after speaking for 4 s and pausing",
              PeakResidentKilobytes(launch->pid) / 1024.0);
  Stop(launch->pid);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <qingli-tts> <bare_window> <sink name>\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  if (!fake_input.usable()) {
    std::fprintf(stderr, "the XTEST library libXtst.so.6 is missing (package libxtst6)\n");
    return 1;
  }
  BenchStartup(display, argv[1], argv[2]);
  std::printf("\n");
  BenchSound(display, argv[1], argv[3]);
  std::printf("\n");
  BenchIdle(display, argv[1]);
  XCloseDisplay(display);
  return 0;
}
