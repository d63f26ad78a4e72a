#pragma once

// Opening the memo database while the companion window is created.

#include <QString>
#include <filesystem>
#include <memory>

#include "memo/memo_database.h"

namespace plumo {

inline const QString kDatabaseStartupFailure = QStringLiteral("程序启动失败，读取数据库发生异常！");

// Opens <programFolder>/config/d.ini for the run. On any failure shows the start-up
// failure message, with a second line naming the file and the reason, through the
// message-box seam and
// returns null: the caller then ends the program without showing its window.
std::unique_ptr<MemoDatabase> openMemoDatabaseForStartup(
    const std::filesystem::path& programFolder);

}  // namespace plumo
