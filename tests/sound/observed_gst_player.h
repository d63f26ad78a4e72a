#pragma once

#include <glib.h>

#include <QString>
#include <QTest>
#include <vector>

#include "sound/gst_sound_player.h"
#include "sound/player.h"

namespace plumo::test {

// The GStreamer player behind the program's player seam, recording what happened to which
// sound.
class ObservedGstPlayer final : public Player {
public:
    struct Record {
        QString path;
        GstSoundPlayer::Event event;
    };

    ObservedGstPlayer() {
        player_.setListener([this](GstSoundPlayer::Event event) {
            events.push_back({current_, event});
        });
    }
    void open(const QString& path) override {
        player_.open(path.toStdString());  // what it cuts off belongs to the sound before
        current_ = path;
    }
    void play() override { player_.play(); }
    void close() override {
        player_.close();
        current_.clear();
    }

    GstSoundPlayer& player() { return player_; }
    bool lastIs(GstSoundPlayer::Event event) const {
        return !events.empty() && events.back().event == event;
    }
    // The paths of the sounds that had `event`, in order.
    QStringList pathsWith(GstSoundPlayer::Event event) const {
        QStringList paths;
        for (const Record& record : events)
            if (record.event == event) paths << record.path;
        return paths;
    }

    std::vector<Record> events;

private:
    GstSoundPlayer player_;
    QString current_;
};

// Waits up to `boundMs` for `condition`, running Qt's events and GLib's default main context,
// where the player's bus is watched.
template <typename Condition>
bool waitWithGLib(Condition condition, int boundMs) {
    return QTest::qWaitFor(
        [&] {
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
            return condition();
        },
        boundMs);
}

}  // namespace plumo::test
