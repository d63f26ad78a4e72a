#include "memo/hand_off.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

namespace plumo {
namespace {

namespace fs = std::filesystem;

// A hand-off file holds a number and a line break at most; anything longer is not one.
constexpr std::size_t kLongestContent = 64;

// The content without blanks and line breaks at either end; nothing when unreadable.
std::optional<std::string> readTrimmed(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string content(kLongestContent + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > kLongestContent) return std::nullopt;
    const auto first = content.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    const auto last = content.find_last_not_of(" \t\r\n");
    return content.substr(first, last - first + 1);
}

HandOff parse(const fs::path& file, bool reminderFile) {
    const auto content = readTrimmed(file);
    if (!content) return {};
    if (content->empty())
        return {reminderFile ? HandOff::Kind::OverdueReminders : HandOff::Kind::OpenPlans, 0};
    if (!reminderFile) return {};
    std::int64_t id = 0;
    const char* begin = content->data();
    const char* end = begin + content->size();
    const auto [stop, ec] = std::from_chars(begin, end, id);
    if (ec != std::errc() || stop != end || id <= 0) return {};
    return {HandOff::Kind::Item, id};
}

}  // namespace

std::string_view handOffFileName(const HandOff& handOff) {
    switch (handOff.kind) {
        case HandOff::Kind::Item:
        case HandOff::Kind::OverdueReminders:
            return kReminderHandOffFileName;
        case HandOff::Kind::OpenPlans:
            return kPlanHandOffFileName;
        case HandOff::Kind::None:
            break;
    }
    return {};
}

std::string handOffBytes(const HandOff& handOff) {
    return handOff.kind == HandOff::Kind::Item ? itemHandOffBytes(handOff.id) : std::string();
}

std::string itemHandOffBytes(std::int64_t id) { return std::to_string(id) + "\r\n"; }

HandOff takeHandOff(const fs::path& folder) {
    const fs::path reminders = folder / kReminderHandOffFileName;
    const fs::path plans = folder / kPlanHandOffFileName;
    std::error_code ec;
    const bool haveReminders = fs::is_regular_file(reminders, ec);
    const bool havePlans = fs::is_regular_file(plans, ec);
    HandOff result;
    if (haveReminders && havePlans) {
        const auto reminderTime = fs::last_write_time(reminders, ec);
        const auto planTime = fs::last_write_time(plans, ec);
        result = planTime > reminderTime ? parse(plans, false) : parse(reminders, true);
    } else if (haveReminders) {
        result = parse(reminders, true);
    } else if (havePlans) {
        result = parse(plans, false);
    }
    if (haveReminders) fs::remove(reminders, ec);
    if (havePlans) fs::remove(plans, ec);
    return result;
}

}  // namespace plumo
