#include "tray/notify_icon_record.h"

namespace plumo {

QString cutToUtf16Units(const QString& text, int limit) {
    if (limit <= 0) return {};
    if (text.size() <= limit) return text;
    qsizetype length = limit;
    if (text.at(length - 1).isHighSurrogate()) --length;
    return text.left(length);
}

NotifyIconRecord NotifyIconRecord::initial(const QString& applicationTitle) {
    NotifyIconRecord record;
    record.flags = nifMessage | nifIcon;
    record.callbackMessage = kTrayCallbackMessage;
    record.balloonTimeout = kDefaultBalloonTimeout;
    record.setTooltip(applicationTitle);
    return record;
}

void NotifyIconRecord::set(NotifyIconFlag flag, bool on) {
    if (on)
        flags |= flag;
    else
        flags &= ~static_cast<unsigned>(flag);
}

void NotifyIconRecord::setTooltip(const QString& text) {
    tip = cutToUtf16Units(text, kTooltipLimit);
    set(nifTip, !text.isEmpty());
}

void NotifyIconRecord::setBalloonText(const QString& text) {
    balloonText = cutToUtf16Units(text, kBalloonTextLimit);
}

void NotifyIconRecord::setBalloonTitle(const QString& text) {
    balloonTitle = cutToUtf16Units(text, kBalloonTitleLimit);
}

void NotifyIconRecord::requestBalloon(TBalloonFlags kind) {
    set(nifInfo, true);
    balloonKind = kind;
}

void NotifyIconRecord::clearBalloon() { set(nifInfo, false); }

}  // namespace plumo
