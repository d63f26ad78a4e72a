#pragma once

// The hand-off files the companion writes into the program folder just before it
// starts the memo program, telling it what to show:
//   "mr.tmp" with an item id and CR LF  the item announced as due
//   "mr.tmp" empty                      the overdue reminders
//   "mp.tmp" empty                      the open plans
// Both programs take the names and the content from here.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace plumo {

inline constexpr std::string_view kReminderHandOffFileName = "mr.tmp";
inline constexpr std::string_view kPlanHandOffFileName = "mp.tmp";

struct HandOff {
    enum class Kind { None, Item, OverdueReminders, OpenPlans };
    Kind kind = Kind::None;
    std::int64_t id = 0;  // for Item
};

// The file a hand-off goes to: kReminderHandOffFileName for an item or the overdue
// reminders, kPlanHandOffFileName for the open plans, nothing for None.
std::string_view handOffFileName(const HandOff& handOff);
// The whole content of that file: the id in decimal and CR LF for an item, else nothing.
std::string handOffBytes(const HandOff& handOff);
// handOffBytes of the item `id`: "57\r\n".
std::string itemHandOffBytes(std::int64_t id);

// Reads the hand-off file in `folder` and deletes it. Should both lie there, the newer
// one counts and both are deleted (the older one is left from an earlier start). A file
// that cannot be understood is deleted and gives None.
HandOff takeHandOff(const std::filesystem::path& folder);

}  // namespace plumo
