#include "companion/outfit_change.h"

#include "platform/file_rename.h"

namespace plumo {

void OutfitChange::rename(const char* from, const char* to) const {
    renameNoReplace((skinFolder_ + QString::fromLatin1(from)).toStdString(),
                    (skinFolder_ + QString::fromLatin1(to)).toStdString());
}

int OutfitChange::change() {
    // Three renames through "skin/g"; afterwards "skin/g1" holds the outfit on show.
    if (skinno_ == 1) {
        rename("g1", "g");
        rename("g2", "g1");
        rename("g", "g2");
        skinno_ = 2;
    } else {
        rename("g2", "g");
        rename("g1", "g2");
        rename("g", "g1");
        skinno_ = 1;
    }
    return skinno_;
}

}  // namespace plumo
