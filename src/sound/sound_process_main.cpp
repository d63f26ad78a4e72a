// plumo-sound: the companion's sound process. Plays the sounds the companion sends on
// standard input (see sound_process_protocol.h) and ends by itself once idle, or at once when
// its input closes, so it never outlives the companion. GStreamer and GLib only, to stay small.

#include <fcntl.h>
#include <glib-unix.h>
#include <gst/gst.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "sound/gst_sound_player.h"
#include "sound/sound_process_protocol.h"

namespace {

// The optional trace of what the process does, for tests.
class Trace {
public:
    Trace() {
        const char* path = std::getenv(plumo::kSoundTraceVariable);
        if (path && *path) fd_ = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    }
    ~Trace() {
        if (fd_ >= 0) ::close(fd_);
    }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    void operator()(std::string_view line) const {
        if (fd_ < 0) return;
        // One write a line, so that lines of several processes never interleave.
        const std::string text = std::to_string(::getpid()) + ' ' + std::string(line) + '\n';
        [[maybe_unused]] const ssize_t written = ::write(fd_, text.data(), text.size());
    }

private:
    int fd_ = -1;
};

// Ends the main loop once it has run this long without being stopped or started again.
class IdleTimer {
public:
    IdleTimer(GMainLoop* loop, const Trace& trace, int ms) : loop_(loop), trace_(trace), ms_(ms) {}
    ~IdleTimer() { stop(); }
    IdleTimer(const IdleTimer&) = delete;
    IdleTimer& operator=(const IdleTimer&) = delete;

    void start() {
        stop();
        source_ = g_timeout_add(guint(ms_), &IdleTimer::expired, this);
    }
    void stop() {
        if (source_ != 0) g_source_remove(source_);
        source_ = 0;
    }

private:
    static gboolean expired(gpointer self) {
        auto* timer = static_cast<IdleTimer*>(self);
        timer->source_ = 0;
        timer->trace_("exit idle");
        g_main_loop_quit(timer->loop_);
        return G_SOURCE_REMOVE;
    }

    GMainLoop* loop_;
    const Trace& trace_;
    int ms_;
    guint source_ = 0;
};

// Reads the companion's commands from standard input and hands each to the player.
class CommandReader {
public:
    CommandReader(GMainLoop* loop, const Trace& trace, plumo::GstSoundPlayer& player,
                  IdleTimer& idle)
        : loop_(loop), trace_(trace), player_(player), idle_(idle) {
        source_ = g_unix_fd_add(STDIN_FILENO, GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                &CommandReader::readable, this);
    }
    ~CommandReader() {
        if (source_ != 0) g_source_remove(source_);
    }
    CommandReader(const CommandReader&) = delete;
    CommandReader& operator=(const CommandReader&) = delete;

private:
    static gboolean readable(gint, GIOCondition, gpointer self) {
        return static_cast<CommandReader*>(self)->read();
    }

    gboolean read() {
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) return G_SOURCE_CONTINUE;
        if (count <= 0) {
            // The companion ended or let go of us: so do we, sound or not.
            source_ = 0;
            trace_("exit input closed");
            g_main_loop_quit(loop_);
            return G_SOURCE_REMOVE;
        }
        pending_.append(buffer, std::size_t(count));
        for (std::size_t end = pending_.find('\n'); end != std::string::npos;
             end = pending_.find('\n')) {
            const std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            run(line);
        }
        if (!player_.playing()) idle_.start();
        return G_SOURCE_CONTINUE;
    }

    void run(const std::string& line) {
        trace_("command " + line);
        const std::string_view open = plumo::kOpenCommand;
        if (line.compare(0, open.size(), open) == 0)
            player_.open(line.substr(open.size()));
        else if (line == plumo::kPlayCommand)
            player_.play();
        else if (line == plumo::kCloseCommand)
            player_.close();
    }

    GMainLoop* loop_;
    const Trace& trace_;
    plumo::GstSoundPlayer& player_;
    IdleTimer& idle_;
    std::string pending_;
    guint source_ = 0;
};

int idleMsFrom(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], plumo::kIdleOption) != 0) continue;
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(argv[i + 1], &end, 10);
        if (errno == 0 && end != argv[i + 1] && *end == '\0' && value > 0 && value <= G_MAXINT)
            return int(value);
    }
    return plumo::kSoundProcessIdleMs;
}

// Plays what standard input asks for until idle or until the input closes.
int serve(const Trace& trace, int idleMs) {
    if (!plumo::GstSoundPlayer::playbackAvailable()) {
        trace("exit no playback");
        return plumo::kNoPlaybackExitCode;
    }
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    {
        IdleTimer idle(loop, trace, idleMs);
        plumo::GstSoundPlayer player;
        player.setListener([&](plumo::GstSoundPlayer::Event event) {
            const bool playing = event == plumo::GstSoundPlayer::Event::Started;
            trace(playing ? "playing" : "stopped");
            if (playing)
                idle.stop();
            else
                idle.start();
        });
        CommandReader reader(loop, trace, player, idle);
        idle.start();
        g_main_loop_run(loop);
    }
    g_main_loop_unref(loop);
    gst_deinit();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Trace trace;
    trace("started");
    const int exitCode = serve(trace, idleMsFrom(argc, argv));
    trace("ended");
    return exitCode;
}
