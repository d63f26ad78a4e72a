#include "memo/memo_startup.h"

#include "memo/memo_errors.h"
#include "platform/message_box.h"

namespace plumo {

std::unique_ptr<MemoDatabase> openMemoDatabaseForStartup(
    const std::filesystem::path& programFolder) {
    try {
        return MemoDatabase::open(memoDatabasePath(programFolder));
    } catch (const DatabaseOpenError&) {
        currentMessageBoxes().information(kDatabaseStartupFailure);
        return nullptr;
    }
}

}  // namespace plumo
