#pragma once

// The change of outfit: the two outfit files on disk trade places through the temporary
// name "skin/g", so that "skin/g1" always holds the outfit on show and the next start shows
// the one chosen last. The pictures in memory never change; `skinno` says which is on show.
// A rename that fails (a file missing, or "skin/g" already taken) is passed over, and
// nothing is ever replaced. The outfits' pictures at twice the size, "skin/g1@2x" and
// "skin/g2@2x", trade places with them the same way through "skin/g@2x".

#include <QString>

namespace plumo {

class OutfitChange {
public:
    // `skinFolder` ends with '/'; `skinno` is the companion's, 1 or 2.
    OutfitChange(QString skinFolder, int& skinno)
        : skinFolder_(std::move(skinFolder)), skinno_(skinno) {}

    // Trades the files and flips `skinno`; returns the outfit now on show, 1 or 2.
    int change();

private:
    void rename(const char* from, const char* to) const;
    // Trades the files `first` and `second` through `spare`: three renames.
    void trade(const char* first, const char* second, const char* spare) const;

    QString skinFolder_;
    int& skinno_;
};

}  // namespace plumo
