// The hand-off files the companion leaves for the memo window. The first byte chooses the
// files ("mr.tmp", "mp.tmp" or both, the newer one second); the rest is their content, cut
// at the first NUL when there are two. Whatever they hold, both are gone afterwards and the
// result is one the window can act on.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "memo/hand_off.h"

namespace {

namespace fs = std::filesystem;
using plumo::HandOff;

void setWriteTime(const fs::path& file, int secondsAgo) {
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const fs::path folder = [] {
        const auto path = plumo::fuzz::scratchFolder() / "program";
        fs::create_directories(path);
        return path;
    }();
    const fs::path reminders = folder / plumo::kReminderHandOffFileName;
    const fs::path plans = folder / plumo::kPlanHandOffFileName;

    const int choice = data[0] % 4;
    std::string_view content(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string_view second;
    if (choice >= 2) {
        const std::size_t cut = content.find('\0');
        second = cut == content.npos ? std::string_view() : content.substr(cut + 1);
        content = content.substr(0, cut);
    }
    switch (choice) {
        case 0:
            plumo::fuzz::writeFile(reminders, content);
            break;
        case 1:
            plumo::fuzz::writeFile(plans, content);
            break;
        case 2:  // the plans are newer
            plumo::fuzz::writeFile(reminders, content);
            plumo::fuzz::writeFile(plans, second);
            setWriteTime(reminders, 60);
            break;
        default:  // the reminders are newer
            plumo::fuzz::writeFile(plans, content);
            plumo::fuzz::writeFile(reminders, second);
            setWriteTime(plans, 60);
            break;
    }

    const HandOff handOff = plumo::takeHandOff(folder);
    FUZZ_CHECK(!fs::exists(reminders) && !fs::exists(plans), "a hand-off file was left behind");
    const bool fromPlans = choice == 1 || choice == 2;
    switch (handOff.kind) {
        case HandOff::Kind::None:
            break;
        case HandOff::Kind::Item:
            FUZZ_CHECK(!fromPlans && handOff.id > 0, "an item from the wrong file or with no id");
            break;
        case HandOff::Kind::OverdueReminders:
            FUZZ_CHECK(!fromPlans, "overdue reminders from the plans file");
            break;
        case HandOff::Kind::OpenPlans:
            FUZZ_CHECK(fromPlans, "open plans from the reminders file");
            break;
    }
    return 0;
}
