#include "platform/program_launcher.h"

#include <QFileInfo>
#include <QProcess>

namespace plumo {

bool DetachedProgramLauncher::open(const QString& program, const QString& parameter) {
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable()) return false;
    return QProcess::startDetached(program, {parameter});
}

}  // namespace plumo
