#include "memo/memo_startup.h"

#include "memo/memo_errors.h"
#include "platform/message_box.h"

namespace plumo {

std::unique_ptr<MemoDatabase> openMemoDatabaseForStartup(
    const std::filesystem::path& programFolder) {
    try {
        // Without quick_check: it reads the whole file (about 50 ms for 100,000 items, see
        // memo_query_bench), and the memo program checks the file each time it opens it.
        return MemoDatabase::open(memoDatabasePath(programFolder));
    } catch (const DatabaseOpenError& e) {
        currentMessageBoxes().information(kDatabaseStartupFailure +
                                          QStringLiteral("\n数据库文件 %1：%2")
                                              .arg(QString::fromStdString(e.file().string()),
                                                   QString::fromStdString(describeInChinese(e))));
        return nullptr;
    }
}

}  // namespace plumo
