#include "companion/outfit_change.h"

#include "platform/file_rename.h"

namespace plumo {

void OutfitChange::rename(const char* from, const char* to) const {
    renameNoReplace((skinFolder_ + QString::fromLatin1(from)).toStdString(),
                    (skinFolder_ + QString::fromLatin1(to)).toStdString());
}

void OutfitChange::trade(const char* first, const char* second, const char* spare) const {
    rename(first, spare);
    rename(second, first);
    rename(spare, second);
}

int OutfitChange::change() {
    // Three renames through "skin/g"; afterwards "skin/g1" holds the outfit on show.
    if (skinno_ == 1) {
        trade("g1", "g2", "g");
        trade("g1@2x", "g2@2x", "g@2x");
        skinno_ = 2;
    } else {
        trade("g2", "g1", "g");
        trade("g2@2x", "g1@2x", "g@2x");
        skinno_ = 1;
    }
    return skinno_;
}

}  // namespace plumo
