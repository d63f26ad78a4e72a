// What playing a sound costs the calling thread with the real player; the decoding and
// output run in GStreamer's threads and are not measured.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>

#include "sound/gst_sound_player.h"
#include "sound/playsound.h"
#include "sound/sound_process_player.h"

namespace {

const QString kShippedFolder = QStringLiteral(PLUMO_ASSETS_FOLDER);

// The GStreamer player as the sound process runs it, behind the program's player seam.
class GstPlayer final : public plumo::Player {
public:
    void open(const QString& path) override { player_.open(path.toStdString()); }
    void play() override { player_.play(); }
    void close() override { player_.close(); }

private:
    plumo::GstSoundPlayer player_;
};

// Times playsound calls alone, alternating two clips; each call stops the sound that
// plays and starts the next one.
void timePlaysoundCalls(benchmark::State& state, plumo::Player& player) {
    const QString files[] = {"msg.mp3", "reminder.mp3"};
    int next = 0;
    for (auto _ : state) {
        plumo::playsound(player, kShippedFolder, files[next], "");
        next = 1 - next;
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// One call of playsound on the GStreamer player in this process.
void BM_PlaysoundCall(benchmark::State& state) {
    GstPlayer player;
    timePlaysoundCalls(state, player);
}
BENCHMARK(BM_PlaysoundCall)->Unit(benchmark::kMillisecond)->Iterations(50);

// The same call in the companion: commands written to the running sound process.
void BM_PlaysoundCallToSoundProcess(benchmark::State& state) {
    plumo::SoundProcessPlayer player(QStringLiteral(PLUMO_SOUND_PROCESS));
    plumo::playsound(player, kShippedFolder, "msg.mp3", "");
    timePlaysoundCalls(state, player);
}
BENCHMARK(BM_PlaysoundCallToSoundProcess)->Unit(benchmark::kMillisecond)->Iterations(50);

// The first sound in the companion, which also starts the sound process.
void BM_FirstSoundStartsSoundProcess(benchmark::State& state) {
    for (auto _ : state) {
        auto player =
            std::make_unique<plumo::SoundProcessPlayer>(QStringLiteral(PLUMO_SOUND_PROCESS));
        plumo::playsound(*player, kShippedFolder, "msg.mp3", "");
        state.PauseTiming();
        player.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstSoundStartsSoundProcess)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!plumo::GstSoundPlayer::playbackAvailable()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
