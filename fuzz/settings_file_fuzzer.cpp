// The settings file as the program reads it at start-up and saves it from the settings
// window: any content gives three values, and saving them gives a file that reads back the
// same values.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "settings/settings_io.h"

namespace {

// Remembers what the settings asked of the autostart entry.
class RecordingAutostart final : public plumo::AutostartStore {
public:
    void writeEntry() override { state = State::Written; }
    void removeEntry() override { state = State::Removed; }

    enum class State { Untouched, Written, Removed };
    State state = State::Untouched;
};

std::string shown(const plumo::SettingsValues& values) {
    return ("time=" + values.timeset + " sound=" + values.soundset + " auto=" + values.autoset)
        .toStdString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder = [] {
        const auto path = plumo::fuzz::scratchFolder() / "program";
        std::filesystem::create_directories(path / "config");
        return path;
    }();
    static const QString programFolder = QString::fromStdString(folder.string() + "/");
    plumo::fuzz::writeFile(folder / "config" / "config.ini",
                           std::string_view(reinterpret_cast<const char*>(data), size));

    auto noError = [](const QString& text) { FUZZ_CHECK(false, "reported " + text.toStdString()); };
    RecordingAutostart autostart;
    const plumo::SettingsValues read = plumo::readSettings(programFolder, autostart, noError);
    const bool on = read.autoset == QStringLiteral("on");
    FUZZ_CHECK(autostart.state ==
                   (on ? RecordingAutostart::State::Written : RecordingAutostart::State::Removed),
               "the autostart entry does not follow auto=" + read.autoset.toStdString());

    plumo::writeSettings(programFolder, read, autostart, noError);
    const plumo::SettingsValues reread = plumo::readSettings(programFolder, autostart, noError);
    FUZZ_CHECK(reread == read, "saved " + shown(read) + " but read back " + shown(reread));
    return 0;
}
