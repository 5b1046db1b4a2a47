#include "kit/gbktext.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "kit/texts.h"

namespace talmor {

QString FromGbk(const std::string& bytes) {
    QStringDecoder decoder("GBK");
    return decoder.decode(QByteArray::fromStdString(bytes));
}

std::optional<std::string> ToGbk(const QString& text) {
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError()) {
        return std::nullopt;
    }
    return bytes.toStdString();
}

QString FirstNonGbk(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!ToGbk(character)) {
            return character;
        }
        i += length - 1;
    }
    return {};
}

QString NotGbkMessage(const QString& character) {
    return QString::fromUtf8(text::kNotGbk).arg(character);
}

} // namespace talmor
