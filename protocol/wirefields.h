#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/packet.h"

namespace talmor {

// Each record states its field order once, as a function of (record, wire); the same function
// then reads the record with a FieldReader and writes it with a FieldWriter, so the two
// directions can never disagree on the order.

class FieldReader {
public:
    explicit FieldReader(InPacket& in) : in_(in) {}
    FieldReader& operator()(uint32_t& value) {
        value = in_.u32();
        return *this;
    }
    FieldReader& operator()(uint16_t& value) {
        value = in_.u16();
        return *this;
    }
    FieldReader& operator()(uint8_t& value) {
        value = in_.u8();
        return *this;
    }
    FieldReader& operator()(std::string& value) {
        value = in_.text();
        return *this;
    }
    template <std::size_t N> FieldReader& operator()(std::array<std::string, N>& values) {
        for (std::string& value : values) {
            (*this)(value);
        }
        return *this;
    }

private:
    InPacket& in_;
};

class FieldWriter {
public:
    explicit FieldWriter(OutPacket& out) : out_(out) {}
    FieldWriter& operator()(uint32_t value) {
        out_.writeInt(value);
        return *this;
    }
    FieldWriter& operator()(uint16_t value) {
        out_.writeShort(value);
        return *this;
    }
    FieldWriter& operator()(uint8_t value) {
        out_.writeByte(value);
        return *this;
    }
    FieldWriter& operator()(const std::string& value) {
        out_.writeString(value);
        return *this;
    }
    template <std::size_t N> FieldWriter& operator()(const std::array<std::string, N>& values) {
        for (const std::string& value : values) {
            (*this)(value);
        }
        return *this;
    }

private:
    OutPacket& out_;
};

template <typename Record, typename Fields, typename... Extra>
Record readFields(InPacket& in, Fields fields, Extra... extra) {
    Record record;
    FieldReader wire(in);
    fields(record, wire, extra...);
    return record;
}

template <typename Record, typename Fields, typename... Extra>
void writeFields(OutPacket& out, const Record& record, Fields fields, Extra... extra) {
    FieldWriter wire(out);
    fields(record, wire, extra...);
}

} // namespace talmor
