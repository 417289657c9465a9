#include "ui/fonts.h"

#include <QStringList>

namespace tallyx::ui {

void InstallFontSubstitutes() {
  static const bool installed = [] {
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QString::fromUtf8("IPAゴシック"),
                                QStringLiteral("Noto Sans Mono CJK JP"),
                                QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")});
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QString::fromUtf8("IPA Pゴシック"),
                                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                                QStringLiteral("TakaoPGothic")});
    return true;
  }();
  (void)installed;
}

QFont FontAt96Dpi(const QString& family, int points) {
  QFont font(family);
  font.setPixelSize(points * 96 / 72);
  return font;
}

}  // namespace tallyx::ui
