#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/storestream.h"

namespace talmor::storage {

// Each stored record states its field order once, as a function of (record, stream); the same
// function reads the record with a StoreFieldReader and writes it with a StoreFieldWriter, so
// the two directions of a data file can never disagree on the order.

class StoreFieldReader {
public:
    explicit StoreFieldReader(StoreReader& in) : in_(in) {}
    StoreFieldReader& operator()(uint32_t& value) {
        value = in_.u32();
        return *this;
    }
    StoreFieldReader& operator()(uint16_t& value) {
        value = in_.u16();
        return *this;
    }
    StoreFieldReader& operator()(uint8_t& value) {
        value = in_.u8();
        return *this;
    }
    StoreFieldReader& operator()(std::string& value) {
        value = in_.text();
        return *this;
    }
    template <std::size_t N> StoreFieldReader& operator()(std::array<std::string, N>& values) {
        for (std::string& value : values) {
            (*this)(value);
        }
        return *this;
    }

private:
    StoreReader& in_;
};

class StoreFieldWriter {
public:
    explicit StoreFieldWriter(StoreWriter& out) : out_(out) {}
    StoreFieldWriter& operator()(uint32_t value) {
        out_.u32(value);
        return *this;
    }
    StoreFieldWriter& operator()(uint16_t value) {
        out_.u16(value);
        return *this;
    }
    StoreFieldWriter& operator()(uint8_t value) {
        out_.u8(value);
        return *this;
    }
    StoreFieldWriter& operator()(const std::string& value) {
        out_.text(value);
        return *this;
    }
    template <std::size_t N>
    StoreFieldWriter& operator()(const std::array<std::string, N>& values) {
        for (const std::string& value : values) {
            (*this)(value);
        }
        return *this;
    }

private:
    StoreWriter& out_;
};

template <typename Record, typename Fields>
Record ReadStoredFields(const uint8_t* data, std::size_t size, Fields fields) {
    StoreReader in(data, size);
    StoreFieldReader stream(in);
    Record record;
    fields(record, stream);
    return record;
}

template <typename Record, typename Fields>
StoreWriter WriteStoredFields(const Record& record, Fields fields) {
    StoreWriter out;
    StoreFieldWriter stream(out);
    fields(record, stream);
    return out;
}

} // namespace talmor::storage
