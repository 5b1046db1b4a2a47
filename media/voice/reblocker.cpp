#include "media/voice/reblocker.h"

namespace talmor::voice {

void Reblocker::push(const char* bytes, qsizetype size) {
    const auto block = static_cast<qsizetype>(kBlockBytes);
    qsizetype offset = 0;
    if (!pending_.isEmpty()) {
        const qsizetype take = std::min(size, block - pending_.size());
        pending_.append(bytes, take);
        offset = take;
        if (pending_.size() < block) {
            return;
        }
        const QByteArray full = pending_;
        pending_.clear();
        sink_(full);
    }
    while (size - offset >= block) {
        sink_(QByteArray(bytes + offset, block));
        offset += block;
    }
    pending_.append(bytes + offset, size - offset);
}

} // namespace talmor::voice
