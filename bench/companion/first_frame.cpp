// first_frame: starts a program and measures how long it takes until its first frame
// shows on the X screen, then its peak resident memory once it has settled.
//
//   first_frame [--root-colour RRGGBB] [--settle-ms N] [--timeout-ms N] -- program [args...]
//
// The root window is painted a solid colour first. The program is expected to show a
// window over the centre of the screen; a small patch of root pixels around the centre is
// read back with GetImage every millisecond. On an X server without a compositor (Xvfb),
// reading the root window returns what is on the screen. The first frame is the first
// look of that patch other than the root colour that then stays unchanged for 40 ms; the
// first change of any kind is reported as well.
//
// Prints one line:  first_frame_ms=<ms> first_change_ms=<ms> vmhwm_kb=<kB>
// (times from just before the program is started; peak RSS from /proc about a settle time
// after the first frame, while the program still runs).
// Exit status: 0 measured; 1 no frame within the time-out; 2 the program ended or could
// not be started; 3 bad arguments or an unusable display.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kExitNoFrame = 1;
constexpr int kExitProgramEnded = 2;
constexpr int kExitSetup = 3;

// The patch of screen read back around the centre. Both measured windows are 168 x 93 and
// centred on the work area, which a bottom panel moves up a little; this patch lies inside.
constexpr int kPatchWidth = 64;
constexpr int kPatchHeight = 32;
constexpr auto kPollInterval = 1ms;
// How long a new look must stay unchanged to count as the program's frame.
constexpr auto kSteadyFor = 40ms;

struct Options {
    std::uint32_t rootRgb = 0x2f5d8a;
    std::chrono::milliseconds settle{1000};
    std::chrono::milliseconds timeout{10000};
    std::vector<char*> command;  // null-terminated
};

[[noreturn]] void usage(const char* problem) {
    std::fprintf(stderr,
                 "first_frame: %s\n"
                 "usage: first_frame [--root-colour RRGGBB] [--settle-ms N] [--timeout-ms N]"
                 " -- program [args...]\n",
                 problem);
    std::exit(kExitSetup);
}

long parseNumber(const char* text, int base, const char* what) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, base);
    if (errno != 0 || end == text || *end != '\0' || value < 0) {
        const std::string problem = std::string("bad ") + what + " \"" + text + "\"";
        usage(problem.c_str());
    }
    return value;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc) usage(("missing value after " + arg).c_str());
        const char* value = argv[++i];
        if (arg == "--root-colour") {
            if (value[0] == '#') ++value;
            if (std::strlen(value) != 6) usage("the root colour is six hex digits, RRGGBB");
            options.rootRgb = static_cast<std::uint32_t>(parseNumber(value, 16, "root colour"));
        } else if (arg == "--settle-ms") {
            options.settle = std::chrono::milliseconds(parseNumber(value, 10, "settle time"));
        } else if (arg == "--timeout-ms") {
            options.timeout = std::chrono::milliseconds(parseNumber(value, 10, "time-out"));
        } else {
            usage(("unknown option " + arg).c_str());
        }
    }
    if (i >= argc) usage("no program given");
    options.command.assign(argv + i, argv + argc);
    options.command.push_back(nullptr);
    return options;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// ------------------------------------------------------------------------ the screen

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Places a colour into a pixel value for a TrueColor visual by its channel masks.
std::uint32_t pixelForRgb(const xcb_visualtype_t& visual, std::uint32_t rgb) {
    auto place = [](std::uint32_t channel, std::uint32_t mask) -> std::uint32_t {
        if (mask == 0) return 0;
        int shift = 0;
        while (((mask >> shift) & 1u) == 0) ++shift;
        int bits = 0;
        while (((mask >> (shift + bits)) & 1u) != 0) ++bits;
        return ((channel >> (8 - bits)) << shift) & mask;  // channels have at most 8 bits
    };
    return place((rgb >> 16) & 0xff, visual.red_mask) |
           place((rgb >> 8) & 0xff, visual.green_mask) | place(rgb & 0xff, visual.blue_mask);
}

using Patch = std::vector<std::uint32_t>;

// The display cannot be used for measuring.
struct DisplayError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Screen {
public:
    Screen() {
        connectionOwner_.reset(xcb_connect(nullptr, nullptr));
        connection_ = connectionOwner_.get();
        if (xcb_connection_has_error(connection_))
            fail("cannot open the X display (is DISPLAY set?)");
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        screen_ = xcb_setup_roots_iterator(setup).data;
        if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
            fail("only servers with LSB-first images are supported");
        for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
             xcb_format_next(&formats)) {
            if (formats.data->depth == screen_->root_depth)
                bitsPerPixel_ = formats.data->bits_per_pixel;
        }
        if (bitsPerPixel_ != 32) fail("the root window needs 32 bits per pixel (24-bit depth)");
        for (auto depths = xcb_screen_allowed_depths_iterator(screen_); depths.rem;
             xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
                 xcb_visualtype_next(&visuals)) {
                if (visuals.data->visual_id == screen_->root_visual) visual_ = *visuals.data;
            }
        }
        if (visual_._class != XCB_VISUAL_CLASS_TRUE_COLOR) fail("the root visual is not TrueColor");
        colourMask_ = visual_.red_mask | visual_.green_mask | visual_.blue_mask;
        patchX_ = static_cast<std::int16_t>(screen_->width_in_pixels / 2 - kPatchWidth / 2);
        patchY_ = static_cast<std::int16_t>(screen_->height_in_pixels / 2 - kPatchHeight / 2);
    }

    // Paints the root window the colour and checks that the centre now shows it.
    void paintRoot(std::uint32_t rgb) {
        rootPixel_ = pixelForRgb(visual_, rgb);
        xcb_change_window_attributes(connection_, screen_->root, XCB_CW_BACK_PIXEL, &rootPixel_);
        xcb_clear_area(connection_, 0, screen_->root, 0, 0, 0, 0);
        for (const std::uint32_t pixel : readCentre()) {
            if (pixel != rootPixel_) {
                char problem[160];
                std::snprintf(problem, sizeof problem,
                              "the screen centre is covered (pixel %06x, root %06x);"
                              " is another window open there?",
                              pixel, rootPixel_);
                fail(problem);
            }
        }
    }

    // The pixel values of the patch around the screen centre.
    Patch readCentre() {
        const auto cookie = xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, screen_->root,
                                          patchX_, patchY_, kPatchWidth, kPatchHeight, ~0u);
        XcbReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(connection_, cookie, nullptr));
        if (!reply) fail("GetImage on the root window failed");
        const std::uint8_t* data = xcb_get_image_data(reply.get());
        const int length = xcb_get_image_data_length(reply.get());
        Patch patch(static_cast<std::size_t>(length) / 4);
        for (std::size_t i = 0; i < patch.size(); ++i) {
            std::memcpy(&patch[i], data + 4 * i, sizeof patch[i]);
            patch[i] &= colourMask_;
        }
        return patch;
    }

    bool showsRootOnly(const Patch& patch) const {
        return std::all_of(patch.begin(), patch.end(),
                           [this](std::uint32_t pixel) { return pixel == rootPixel_; });
    }

private:
    [[noreturn]] static void fail(const std::string& problem) { throw DisplayError(problem); }

    struct Disconnect {
        void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
    };
    std::unique_ptr<xcb_connection_t, Disconnect> connectionOwner_;
    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    xcb_visualtype_t visual_{};
    int bitsPerPixel_ = 0;
    std::uint32_t colourMask_ = 0;
    std::uint32_t rootPixel_ = 0;
    std::int16_t patchX_ = 0;
    std::int16_t patchY_ = 0;
};

// ------------------------------------------------------------------------ the program

class Program {
public:
    explicit Program(const std::vector<char*>& command) {
        // A pipe that closes on a successful exec and carries errno when exec fails.
        int execStatus[2];
        if (pipe2(execStatus, O_CLOEXEC) != 0) {
            std::perror("first_frame: pipe");
            std::exit(kExitSetup);
        }
        pid_ = fork();
        if (pid_ < 0) {
            std::perror("first_frame: fork");
            std::exit(kExitSetup);
        }
        if (pid_ == 0) {
            setpgid(0, 0);  // its own group, so that everything it starts ends with it
            close(execStatus[0]);
            execvp(command[0], command.data());
            const int error = errno;
            [[maybe_unused]] ssize_t written = write(execStatus[1], &error, sizeof error);
            _exit(127);
        }
        setpgid(pid_, pid_);  // also here: whichever of the two runs first
        close(execStatus[1]);
        int error = 0;
        if (read(execStatus[0], &error, sizeof error) == sizeof error) {
            std::fprintf(stderr, "first_frame: cannot start %s: %s\n", command[0],
                         std::strerror(error));
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
            std::exit(kExitProgramEnded);
        }
        close(execStatus[0]);
    }
    ~Program() { stop(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // True while the program runs; reports how it ended otherwise.
    bool running() {
        if (pid_ < 0) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
        pid_ = -1;
        if (WIFEXITED(status))
            std::fprintf(stderr, "first_frame: the program ended with status %d\n",
                         WEXITSTATUS(status));
        else
            std::fprintf(stderr, "first_frame: the program was killed by signal %d\n",
                         WTERMSIG(status));
        return false;
    }

    // Peak resident set size in kB, from /proc while the program runs; -1 when unknown.
    long peakResidentKb() const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
        }
        return -1;
    }

    // Ends the program and everything in its process group, and reaps it.
    void stop() {
        if (pid_ < 0) return;
        kill(-pid_, SIGTERM);
        const auto deadline = Clock::now() + 3s;
        while (waitpid(pid_, nullptr, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(-pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(5ms);
        }
        kill(-pid_, SIGKILL);  // anything of the group that outlived its leader
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace

int measure(const Options& options) {
    Screen screen;
    screen.paintRoot(options.rootRgb);

    const Clock::time_point start = Clock::now();
    Program program(options.command);

    // The first frame is the first new look of the screen centre that stays for a moment.
    // Looks that pass at once do not count: while a shaped window is mapped, the window
    // manager's frame can show through for a few milliseconds before the program draws.
    double firstChangeMs = -1;
    double firstFrameMs = -1;
    std::optional<Patch> candidate;
    Clock::time_point candidateSince;
    while (true) {
        Patch patch = screen.readCentre();
        const Clock::time_point now = Clock::now();
        if (screen.showsRootOnly(patch)) {
            candidate.reset();
        } else if (!candidate || *candidate != patch) {
            if (firstChangeMs < 0) firstChangeMs = millisecondsSince(start);
            candidate = std::move(patch);
            candidateSince = now;
        } else if (now - candidateSince >= kSteadyFor) {
            firstFrameMs =
                std::chrono::duration<double, std::milli>(candidateSince - start).count();
            break;
        }
        if (!program.running()) {
            std::fprintf(stderr, "first_frame: %s ended before it painted anything\n",
                         options.command[0]);
            return kExitProgramEnded;
        }
        if (now - start > options.timeout) {
            std::fprintf(stderr,
                         "first_frame: %s showed no steady frame at the screen centre in %lld ms\n",
                         options.command[0], static_cast<long long>(options.timeout.count()));
            return kExitNoFrame;
        }
        std::this_thread::sleep_for(kPollInterval);
    }

    std::this_thread::sleep_for(options.settle);
    if (!program.running()) {
        std::fprintf(stderr, "first_frame: %s ended while settling\n", options.command[0]);
        return kExitProgramEnded;
    }
    const long peakKb = program.peakResidentKb();
    program.stop();

    std::printf("first_frame_ms=%.1f first_change_ms=%.1f vmhwm_kb=%ld\n", firstFrameMs,
                firstChangeMs, peakKb);
    return 0;
}

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    try {
        return measure(options);  // the program is ended on every way out
    } catch (const DisplayError& error) {
        std::fprintf(stderr, "first_frame: %s\n", error.what());
        return kExitSetup;
    }
}
