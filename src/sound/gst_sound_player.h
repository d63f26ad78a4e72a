#pragma once

// The real player, on GStreamer alone (no Qt): one sound at a time through
// filesrc ! decodebin ! audioconvert ! audioresample ! autoaudiosink. Without a sound server
// or device the sink plays silently at the sound's pace. The bus is watched on the thread's
// default GLib main context: whoever owns the player runs that context (a GLib main loop, or
// Qt's event loop, which iterates it).

#include <cstdint>
#include <functional>
#include <string>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
typedef struct _GstPad GstPad;

namespace plumo {

class GstSoundPlayer {
public:
    // What happened to the sound that played.
    enum class Event {
        Started,  // play() started it
        Stopped,  // open(), play() or close() cut it off
        Ended,    // it played to its end
        Failed,   // it could not be read, decoded or played
    };

    // Initialises GStreamer once; whether it and the elements a sound needs are installed.
    static bool playbackAvailable();

    // Call playbackAvailable() first.
    GstSoundPlayer();
    ~GstSoundPlayer();
    GstSoundPlayer(const GstSoundPlayer&) = delete;
    GstSoundPlayer& operator=(const GstSoundPlayer&) = delete;

    // Stops the sound that plays, at once, and takes `path` as the next sound.
    void open(const std::string& path);
    // Plays the opened sound from its beginning without waiting for it to end.
    void play();
    // Stops the sound that plays and lets go of it.
    void close();

    bool playing() const { return pipeline_ != nullptr; }
    // How far the sound that plays has come, in milliseconds; -1 when unknown.
    std::int64_t positionMs() const;
    // Told of every event, on the thread that runs the main context.
    void setListener(std::function<void(Event)> listener) { listener_ = std::move(listener); }

private:
    bool start();
    void stop(Event why);
    void tearDown();
    void notify(Event event);
    static int onBusMessage(GstBus* bus, GstMessage* message, void* self);
    static void onDecodedPad(GstElement* decoder, GstPad* pad, void* converter);

    std::string path_;
    GstElement* pipeline_ = nullptr;
    unsigned busWatch_ = 0;
    std::function<void(Event)> listener_;
};

}  // namespace plumo
