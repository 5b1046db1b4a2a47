#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "protocol/records.h"

namespace talmor {

// The operator's contacts in the order they arrived, looked up by user id. Records keep their
// address while held, so windows may keep pointers to them: the records of a former login that
// a new contact list does not name are set aside, no longer contacts, but not destroyed.
class ContactStore {
public:
    // A new login's contact list begins: every record is set aside until the list names it
    // again.
    void beginListing();
    // Adds the record unless its id is already held (or is 0); returns the held record, or
    // none when the id was already there. A record set aside comes back in its old place in
    // memory, with the new record's values.
    ContactRecord* add(const ContactRecord& record);
    ContactRecord* find(uint32_t id);
    const ContactRecord* find(uint32_t id) const;
    // Destroys the record with `id`; false when there is none.
    bool remove(uint32_t id);
    void clear();

    // Status offline and every address and port 0.
    void setAllOffline();

    std::size_t size() const { return records_.size(); }
    // The records in arrival order.
    const std::vector<std::unique_ptr<ContactRecord>>& records() const { return records_; }

private:
    std::vector<std::unique_ptr<ContactRecord>> records_;
    std::unordered_map<uint32_t, ContactRecord*> byId_;
    std::unordered_map<uint32_t, std::unique_ptr<ContactRecord>> setAside_;
};

} // namespace talmor
