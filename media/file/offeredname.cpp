#include "media/file/offeredname.h"

#include "messaging/chat/chatnotices.h"

namespace talmor {

QString SafeOfferedName(const QString& offered) {
    // Both separators count: the sender may be on any platform.
    const qsizetype cut =
        std::max(offered.lastIndexOf(QLatin1Char('/')), offered.lastIndexOf(QLatin1Char('\\')));
    QString name = OneLine(offered.mid(cut + 1));
    qsizetype lead = 0;
    while (lead < name.size() && (name[lead] == QLatin1Char('.') || name[lead].isSpace())) {
        ++lead;
    }
    name = name.mid(lead).trimmed();
    return name.isEmpty() ? QStringLiteral("file") : name;
}

} // namespace talmor
