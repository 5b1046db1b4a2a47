#include "storage/historystore.h"

#include "storage/datafiles.h"
#include "storage/storefields.h"
#include "storage/userdb.h"

namespace talmor::storage {

namespace {

// The kind is read first, so reading knows whether a font follows.
const auto messageFields = [](auto& m, auto& s) {
    s(m.kind)(m.flags)(m.peerId)(m.time)(m.text);
    if (m.kind == kMessageKindFormatted) {
        s(m.font.face)(m.font.size)(m.font.colour)(m.font.effects);
    }
};

} // namespace

uint32_t HistoryKey(const MessageRecord& message) {
    return message.kind >= 2 && message.kind <= 5 ? 0 : message.peerId;
}

StoreWriter EncodeMessage(const MessageRecord& message) {
    return WriteStoredFields(message, messageFields);
}

MessageRecord DecodeMessage(const uint8_t* data, std::size_t size) {
    return ReadStoredFields<MessageRecord>(data, size, messageFields);
}

namespace {

// The searchable form of a GBK text: each byte as the character of the same number, so that the
// index holds valid UTF-8 whatever the bytes are and a byte substring is a character substring.
std::string IndexForm(const std::string& gbk) {
    std::string out;
    out.reserve(gbk.size() * 2);
    for (unsigned char byte : gbk) {
        if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

bool OpenHistory(UserDB& db, const std::string& userFolder) {
    return OpenHistoryFile(db, JoinPath(userFolder, kHistoryFile));
}

// Indexes the texts of the entries above the last one the index holds, in one transaction:
// every entry of a file that had no index, else those appended since the last search. An
// append leaves its text to the next search because a text indexed per message costs the
// index a segment and, every few messages, a merge of segments: tens of milliseconds in a
// burst of messages on the event loop, where a search indexes a burst at once. Indexing an
// entry again replaces its text, so a watermark lowered by a deletion costs only time.
bool CatchUpTextIndex(UserDB& db) {
    int64_t last = 0;
    if (!db.lastIndexedSeq(last) || !db.begin()) {
        return false;
    }
    const bool indexed = db.walkAll(
        [&](int64_t seq, uint32_t, const uint8_t* data, std::size_t size) {
            return db.indexText(seq, IndexForm(DecodeMessage(data, size).text));
        },
        last);
    // Closing without commit rolls back a partial index.
    return indexed && db.commit();
}

} // namespace

bool OpenHistoryFile(UserDB& db, const std::string& path) {
    bool created = false;
    return db.open(path, UserDB::Sync::ByCheckpoint) && db.createTextIndex(created);
}

bool AppendTo(UserDB& db, const MessageRecord& message) {
    const StoreWriter stream = EncodeMessage(message);
    return db.append(HistoryKey(message), stream.data(), stream.size());
}

bool AppendHistory(const std::string& userFolder, const MessageRecord& message) {
    UserDB db;
    return OpenHistory(db, userFolder) && AppendTo(db, message);
}

bool LoadLatestHistory(const std::string& userFolder, uint32_t peerId, int64_t beforeSeq,
                       std::size_t count, std::vector<HistoryEntry>& list) {
    UserDB db;
    return OpenHistory(db, userFolder) &&
           db.walkLatest(peerId, beforeSeq, count,
                         [&](int64_t seq, uint32_t, const uint8_t* data, std::size_t size) {
                             list.push_back({seq, DecodeMessage(data, size)});
                             return true;
                         });
}

bool DeleteHistoryEntry(const std::string& userFolder, uint32_t peerId, int64_t seq) {
    UserDB db;
    return OpenHistory(db, userFolder) && db.deleteSeq(peerId, seq);
}

bool GbkContains(const std::string& text, const std::string& part) {
    if (part.empty() || part.size() > text.size()) {
        return false;
    }
    for (std::size_t at = 0; at + part.size() <= text.size();
         at += static_cast<unsigned char>(text[at]) >= 0x81 ? 2 : 1) {
        if (text.compare(at, part.size(), part) == 0) {
            return true;
        }
    }
    return false;
}

bool SearchHistory(const std::string& userFolder, const std::string& text, bool allPeers,
                   uint32_t peerId, std::vector<HistoryEntry>& list) {
    UserDB db;
    if (!OpenHistory(db, userFolder)) {
        return false;
    }
    if (text.empty()) {
        return true;
    }
    if (!CatchUpTextIndex(db)) {
        return false;
    }
    return db.searchText(IndexForm(text), allPeers, peerId,
                         [&](int64_t seq, uint32_t, const uint8_t* data, std::size_t size) {
                             MessageRecord message = DecodeMessage(data, size);
                             // The index matches bytes; a match must also start on a character.
                             if (GbkContains(message.text, text)) {
                                 list.push_back({seq, std::move(message)});
                             }
                             return true;
                         });
}

bool LoadHistory(const std::string& userFolder, uint32_t peerId, std::vector<MessageRecord>& list,
                 std::size_t maxCount) {
    UserDB db;
    if (!OpenHistory(db, userFolder)) {
        return false;
    }
    std::size_t count = 0;
    const bool walked = db.walk(peerId, [&](const uint8_t* data, std::size_t size) {
        list.push_back(DecodeMessage(data, size));
        ++count;
        return maxCount == 0 || count < maxCount;
    });
    return walked && count > 0;
}

bool DeleteHistory(const std::string& userFolder, uint32_t peerId, std::size_t index) {
    UserDB db;
    return OpenHistory(db, userFolder) && db.deleteAt(peerId, index);
}

} // namespace talmor::storage
