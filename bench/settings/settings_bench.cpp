// Cost of reading and saving the settings: both run on the user-interface thread (start-up
// and the settings window).

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/linux/xdg_autostart_store.h"
#include "settings/autostart.h"
#include "settings/settings_file.h"

namespace {

void BM_ReadSettingsFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("config.ini");
    plumo::writeSettingsFile(path, {"on", "1", "off"});
    for (auto _ : state) benchmark::DoNotOptimize(plumo::readSettingsFile(path));
}
BENCHMARK(BM_ReadSettingsFile);

// Includes the flush to disk before the new file replaces the old one.
void BM_WriteSettingsFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("config.ini");
    for (auto _ : state) plumo::writeSettingsFile(path, {"on", "1", "off"});
}
BENCHMARK(BM_WriteSettingsFile)->Unit(benchmark::kMicrosecond);

void BM_WriteAutostartEntry(benchmark::State& state) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    plumo::XdgAutostartStore store("/opt/plumo/plumo");
    for (auto _ : state) plumo::setautostart(store, true);
}
BENCHMARK(BM_WriteAutostartEntry)->Unit(benchmark::kMicrosecond);

}  // namespace
