// Qt backend: fonts by name, falling back to a Japanese font the system has.
#include <QFontDatabase>
#include <QStringList>

#include "QtInternal.h"

namespace platform {

namespace {

QString JapaneseFallback() {
    const QStringList installed = QFontDatabase::families(QFontDatabase::Japanese);
    // IPA P Gothic first: it keeps the metrics of the Windows Japanese fonts, so texts fill the
    // fields the way they were designed.
    for (const char* preferred : {"IPAPGothic", "IPAexGothic", "TakaoPGothic", "VL PGothic",
                                  "Noto Sans CJK JP", "Source Han Sans JP"}) {
        if (installed.contains(QString::fromLatin1(preferred)))
            return QString::fromLatin1(preferred);
    }
    return installed.isEmpty() ? QString() : installed.first();
}

}  // namespace

QFont MakeFont(const FontSpec& design, const QFont& base) {
    QFont font = base;
    const QString family = QString::fromWCharArray(design.family);
    if (QFontDatabase::families().contains(family)) {
        font.setFamily(family);
    } else if (const QString fallback = JapaneseFallback(); !fallback.isEmpty()) {
        font.setFamily(fallback);
    }
    font.setPointSizeF(design.points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

}  // namespace platform
