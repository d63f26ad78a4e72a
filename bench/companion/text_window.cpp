// text_window: the fairer baseline for the start-up benchmark. The bare window of the
// companion's kind and size, plus the one thing every start of hers draws: a greeting in
// the bubble's face ("宋体" at 12 pixels, mapped onto the installed CJK face by the same
// substitutions she makes) in a word-wrapped label at the bubble text's place.

#include <QApplication>
#include <QLabel>

#include "app/fonts.h"
#include "baseline_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    plumo::installFontSubstitutions();
    QWidget window;
    plumo::bench::makeBaselineWindow(window);

    QLabel label(QStringLiteral("下午好,有什么可以为您效劳吗"), &window);
    label.setGeometry(12, 17, 74, 66);
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    label.setFont(font);
    label.setAutoFillBackground(true);
    QPalette text = label.palette();
    text.setColor(QPalette::Window, Qt::white);
    text.setColor(QPalette::WindowText, QColor(255, 153, 51));
    label.setPalette(text);

    plumo::bench::showCentred(window);
    return QApplication::exec();
}
