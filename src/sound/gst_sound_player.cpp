#include "sound/gst_sound_player.h"

#include <gst/gst.h>

namespace plumo {

namespace {

constexpr const char* kNeededElements[] = {"filesrc", "decodebin", "audioconvert", "audioresample",
                                           "autoaudiosink"};

GstElement* makeElement(const char* factory) { return gst_element_factory_make(factory, nullptr); }

}  // namespace

bool GstSoundPlayer::playbackAvailable() {
    if (!gst_init_check(nullptr, nullptr, nullptr)) return false;
    for (const char* name : kNeededElements) {
        GstElementFactory* factory = gst_element_factory_find(name);
        if (!factory) return false;
        gst_object_unref(factory);
    }
    return true;
}

GstSoundPlayer::GstSoundPlayer() = default;

GstSoundPlayer::~GstSoundPlayer() {
    listener_ = nullptr;
    tearDown();
}

void GstSoundPlayer::open(const std::string& path) {
    stop(Event::Stopped);
    path_ = path;
}

void GstSoundPlayer::play() {
    if (path_.empty()) return;
    stop(Event::Stopped);
    if (start())
        notify(Event::Started);
    else
        notify(Event::Failed);
}

void GstSoundPlayer::close() {
    stop(Event::Stopped);
    path_.clear();
}

std::int64_t GstSoundPlayer::positionMs() const {
    gint64 position = 0;
    if (!pipeline_ || !gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position)) return -1;
    return position / GST_MSECOND;
}

bool GstSoundPlayer::start() {
    GstElement* source = makeElement("filesrc");
    GstElement* decoder = makeElement("decodebin");
    GstElement* converter = makeElement("audioconvert");
    GstElement* resampler = makeElement("audioresample");
    GstElement* sink = makeElement("autoaudiosink");
    pipeline_ = gst_pipeline_new(nullptr);
    if (!source || !decoder || !converter || !resampler || !sink) {
        for (GstElement* element : {source, decoder, converter, resampler, sink})
            if (element) gst_object_unref(gst_object_ref_sink(element));
        tearDown();
        return false;
    }
    gst_bin_add_many(GST_BIN(pipeline_), source, decoder, converter, resampler, sink, nullptr);
    g_object_set(source, "location", path_.c_str(), nullptr);
    if (!gst_element_link(source, decoder) ||
        !gst_element_link_many(converter, resampler, sink, nullptr)) {
        tearDown();
        return false;
    }
    // The decoder's output appears once it knows the file's type.
    g_signal_connect(decoder, "pad-added", G_CALLBACK(onDecodedPad), converter);

    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline_));
    busWatch_ = gst_bus_add_watch(bus, onBusMessage, this);
    gst_object_unref(bus);
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        tearDown();
        return false;
    }
    return true;
}

void GstSoundPlayer::onDecodedPad(GstElement*, GstPad* pad, void* converter) {
    GstPad* input = gst_element_get_static_pad(static_cast<GstElement*>(converter), "sink");
    // Only the first audio stream plays; anything else a file holds is left unlinked.
    if (!gst_pad_is_linked(input)) {
        GstCaps* caps = gst_pad_get_current_caps(pad);
        if (!caps) caps = gst_pad_query_caps(pad, nullptr);
        const GstStructure* format =
            gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
        if (format && g_str_has_prefix(gst_structure_get_name(format), "audio/"))
            gst_pad_link(pad, input);
        gst_caps_unref(caps);
    }
    gst_object_unref(input);
}

int GstSoundPlayer::onBusMessage(GstBus*, GstMessage* message, void* self) {
    auto* player = static_cast<GstSoundPlayer*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
        case GST_MESSAGE_ERROR:
            // This watch ends with the pipeline; returning false removes it.
            player->busWatch_ = 0;
            player->tearDown();
            player->notify(GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS ? Event::Ended
                                                                        : Event::Failed);
            return G_SOURCE_REMOVE;
        default:
            return G_SOURCE_CONTINUE;
    }
}

void GstSoundPlayer::stop(Event why) {
    if (!pipeline_) return;
    tearDown();
    notify(why);
}

void GstSoundPlayer::tearDown() {
    if (busWatch_ != 0) {
        g_source_remove(busWatch_);
        busWatch_ = 0;
    }
    if (!pipeline_) return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
}

void GstSoundPlayer::notify(Event event) {
    if (listener_) listener_(event);
}

}  // namespace plumo
