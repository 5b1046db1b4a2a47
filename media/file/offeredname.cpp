#include "media/file/offeredname.h"

namespace talmor {

QString SafeOfferedName(const QString& offered) {
    // Both separators count: the sender may be on any platform.
    const qsizetype cut =
        std::max(offered.lastIndexOf(QLatin1Char('/')), offered.lastIndexOf(QLatin1Char('\\')));
    QString name;
    for (const QChar c : offered.mid(cut + 1)) {
        if (c.category() != QChar::Other_Control && c != QChar(0x7F)) {
            name += c;
        }
    }
    qsizetype lead = 0;
    while (lead < name.size() && (name[lead] == QLatin1Char('.') || name[lead].isSpace())) {
        ++lead;
    }
    name = name.mid(lead).trimmed();
    return name.isEmpty() ? QStringLiteral("file") : name;
}

} // namespace talmor
