#include "app/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace plumo {
namespace {

// The installed families among `wanted`, best first, followed by the CJK fallbacks.
QStringList installedOf(const QStringList& wanted) {
    const QStringList families = QFontDatabase::families();
    QStringList found;
    for (const QString& family : wanted)
        if (families.contains(family, Qt::CaseInsensitive)) found << family;
    for (const QString& fallback :
         {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
          QStringLiteral("Noto Sans CJK SC")})
        if (!found.contains(fallback) && families.contains(fallback, Qt::CaseInsensitive))
            found << fallback;
    return found;
}

}  // namespace

void installFontSubstitutions() {
    const QStringList song =
        installedOf({QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                     QStringLiteral("Noto Serif CJK SC")});
    const QStringList hei =
        installedOf({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("WenQuanYi Micro Hei")});
    // Liberation Sans has Arial's widths, so that text fits where it was laid out for Arial;
    // DejaVu Sans, wider, only where it is missing.
    const QStringList sans =
        installedOf({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    for (const QString& name : {QStringLiteral("宋体"), QStringLiteral("SimSun")})
        QFont::insertSubstitutions(name, song);
    QFont::insertSubstitutions(QStringLiteral("黑体"), hei);
    for (const QString& name : {QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"),
                                QStringLiteral("Arial"), QStringLiteral("Arial Black")})
        QFont::insertSubstitutions(name, sans);
}

}  // namespace plumo
