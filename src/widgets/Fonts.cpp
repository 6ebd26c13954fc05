#include "widgets/Fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace tervan {

QString GothicFamily()
{
    return QString::fromUtf8("ＭＳ ゴシック");
}

void InstallJapaneseFonts()
{
    const QStringList families = QFontDatabase::families();
    auto pick = [&](const QStringList& wanted) {
        QStringList found;
        for (const QString& name : wanted)
            if (families.contains(name, Qt::CaseInsensitive))
                found << name;
        return found;
    };
    const QStringList fixed = pick({QStringLiteral("IPAGothic"), QString::fromUtf8("IPAゴシック"),
                                    QStringLiteral("TakaoGothic"), QStringLiteral("VL Gothic"),
                                    QStringLiteral("Noto Sans Mono CJK JP"),
                                    QStringLiteral("Noto Sans CJK JP")});
    const QStringList proportional = pick({QStringLiteral("IPAPGothic"), QString::fromUtf8("IPA Pゴシック"),
                                           QStringLiteral("TakaoPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                           QStringLiteral("IPAGothic")});
    if (!fixed.isEmpty()) {
        for (const char* name : {"ＭＳ ゴシック", "MS Gothic", "ＭＳ 明朝", "MS Mincho"})
            QFont::insertSubstitutions(QString::fromUtf8(name), fixed);
    }
    if (!proportional.isEmpty()) {
        for (const char* name : {"ＭＳ Ｐゴシック", "MS PGothic", "MS UI Gothic", "ＭＳ Ｐ明朝"})
            QFont::insertSubstitutions(QString::fromUtf8(name), proportional);
        // Every widget without a font of its own draws Japanese too.
        QFont base = QApplication::font();
        QStringList list{base.family()};
        list << proportional;
        base.setFamilies(list);
        QApplication::setFont(base);
    }
}

QFont GothicFont(int pixelSize, bool bold)
{
    QFont font(GothicFamily());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace tervan
