#include "kit/backofficeurl.h"

#include <QByteArray>

#include <cstring>

#include "kit/gbktext.h"

namespace talmor {

namespace {

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AppendEncoded(QByteArray& out, const std::string& value, const char* kept = "") {
    static const char kHex[] = "0123456789ABCDEF";
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if (Unreserved(c) || (c != 0 && std::strchr(kept, c) != nullptr)) {
            out.append(ch);
        } else {
            out.append('%');
            out.append(kHex[c >> 4]);
            out.append(kHex[c & 0x0F]);
        }
    }
}

} // namespace

QUrl PageUrl(const QString& base, const std::string& path, const std::vector<QueryItem>& query) {
    QByteArray encoded = base.toUtf8();
    encoded.append(path.data(), static_cast<qsizetype>(path.size()));
    char separator = '?';
    for (const auto& [key, value] : query) {
        encoded.append(separator);
        encoded.append(key.data(), static_cast<qsizetype>(key.size()));
        encoded.append('=');
        AppendEncoded(encoded, value);
        separator = '&';
    }
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

QUrl MailToUrl(const std::string& email) {
    // Mail programs read the address as UTF-8.
    const QByteArray utf8 = FromGbk(email).toUtf8();
    QByteArray encoded = "mailto:";
    AppendEncoded(encoded, std::string(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                  "@");
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

std::string Decimal(uint32_t value) {
    return std::to_string(value);
}

} // namespace talmor
