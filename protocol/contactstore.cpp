#include "protocol/contactstore.h"

#include <algorithm>

namespace talmor {

void ContactStore::beginListing() {
    for (auto& record : records_) {
        const uint32_t id = record->id;
        setAside_[id] = std::move(record);
    }
    records_.clear();
    byId_.clear();
}

ContactRecord* ContactStore::add(const ContactRecord& record) {
    if (record.id == 0 || byId_.count(record.id) != 0) {
        return nullptr;
    }
    const auto former = setAside_.find(record.id);
    if (former != setAside_.end()) {
        *former->second = record;
        records_.push_back(std::move(former->second));
        setAside_.erase(former);
    } else {
        records_.push_back(std::make_unique<ContactRecord>(record));
    }
    ContactRecord* held = records_.back().get();
    byId_[held->id] = held;
    return held;
}

ContactRecord* ContactStore::find(uint32_t id) {
    auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : found->second;
}

const ContactRecord* ContactStore::find(uint32_t id) const {
    auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : found->second;
}

bool ContactStore::remove(uint32_t id) {
    if (byId_.erase(id) == 0) {
        return false;
    }
    records_.erase(std::find_if(records_.begin(), records_.end(),
                                [id](const auto& record) { return record->id == id; }));
    return true;
}

void ContactStore::clear() {
    byId_.clear();
    records_.clear();
    setAside_.clear();
}

void ContactStore::setAllOffline() {
    for (const auto& record : records_) {
        record->status = kStatusOffline;
        record->altAddress = 0;
        record->altPort = 0;
        record->messagePort = 0;
        record->peerAddress = 0;
    }
}

} // namespace talmor
