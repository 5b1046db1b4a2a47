#include "server/gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace talmor::server {

std::optional<std::string> toGbk(const QString& text) {
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError()) {
        return std::nullopt;
    }
    return bytes.toStdString();
}

QString fromGbk(const std::string& bytes) {
    QStringDecoder decoder("GBK");
    return decoder.decode(QByteArray::fromStdString(bytes));
}

} // namespace talmor::server
