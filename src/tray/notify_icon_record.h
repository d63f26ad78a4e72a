#pragma once

// The record the tray component hands to the notification-area service, and the rules that
// fill it: which flags are on, and how long each text may be.

#include <QString>
#include <QtGlobal>

namespace plumo {

// Flags of the record: which of its fields the service is to look at.
enum NotifyIconFlag : unsigned {
    nifMessage = 1,  // callback message
    nifIcon = 2,
    nifTip = 4,
    nifInfo = 16,  // a balloon is requested
};

// The callback message the service answers with (the first user message number plus one).
inline constexpr unsigned kTrayCallbackMessage = 1025;

// Texts longer than these many UTF-16 units are cut before they reach the service.
inline constexpr int kTooltipLimit = 127;
inline constexpr int kBalloonTextLimit = 255;
inline constexpr int kBalloonTitleLimit = 63;

inline constexpr int kDefaultBalloonTimeout = 3000;

// The icon shown inside a balloon; the ordinal values are the service's balloon icon kinds.
enum class TBalloonFlags { bfNone = 0, bfInfo = 1, bfWarning = 2, bfError = 3 };

enum class NotifyOperation { Add = 0, Modify = 1, Delete = 2 };

// `text` cut to at most `limit` UTF-16 units. A surrogate pair that would be split by the cut
// is dropped whole, so the result is always valid text.
QString cutToUtf16Units(const QString& text, int limit);

struct NotifyIconRecord {
    unsigned flags = 0;
    unsigned callbackMessage = 0;
    qint64 iconKey = 0;  // identity of the icon handed over with the record; 0 = none
    QString tip;
    QString balloonText;
    QString balloonTitle;
    int balloonTimeout = 0;
    TBalloonFlags balloonKind = TBalloonFlags::bfNone;

    // The record a new tray icon starts with: callback message and icon flags, the balloon
    // time-out, and the application title as tooltip.
    static NotifyIconRecord initial(const QString& applicationTitle);

    bool has(NotifyIconFlag flag) const { return (flags & flag) != 0; }
    void set(NotifyIconFlag flag, bool on);

    // Copies the tooltip (cut) and turns the tooltip flag on for a non-empty text, off otherwise.
    void setTooltip(const QString& text);
    void setBalloonText(const QString& text);
    void setBalloonTitle(const QString& text);
    // Asks for a balloon with the given icon; the request stays on until clearBalloon().
    void requestBalloon(TBalloonFlags kind);
    void clearBalloon();

    bool operator==(const NotifyIconRecord&) const = default;
};

}  // namespace plumo
