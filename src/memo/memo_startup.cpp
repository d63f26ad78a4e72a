#include "memo/memo_startup.h"

#include "memo/memo_errors.h"
#include "platform/message_box.h"

namespace plumo {

std::unique_ptr<MemoDatabase> openMemoDatabaseForStartup(
    const std::filesystem::path& programFolder) {
    try {
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
