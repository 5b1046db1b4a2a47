#include <gtest/gtest.h>

#include "protocol/messagebody.h"

namespace talmor {
namespace {

MessageRecord formatted(const std::string& text, const std::string& face) {
    MessageRecord m;
    m.kind = kMessageKindFormatted;
    m.text = text;
    m.font.face = face;
    m.font.size = 12;
    m.font.colour = 0x0000FF;
    m.font.effects = 5;
    return m;
}

TEST(MessageBody, FormattedMessageCarriesTextAndFontFields) {
    EXPECT_EQ(encodeMessageBody(formatted("hi /微笑", "宋体")), "hi /微笑\xFF宋体\xFF"
                                                                "12\xFF"
                                                                "255\xFF"
                                                                "5");
}

TEST(MessageBody, OtherKindsCarryTheTextAlone) {
    MessageRecord m = formatted("away", "宋体");
    m.kind = kMessageKindAutoReply;
    EXPECT_EQ(encodeMessageBody(m), "away");

    MessageRecord back;
    back.kind = kMessageKindAutoReply;
    parseMessageBody("a\xFF"
                     "b",
                     back);
    EXPECT_EQ(back.text, "a\xFF"
                         "b");
    EXPECT_EQ(back.font.face, "");
}

TEST(MessageBody, ReadsBackWhatWasWritten) {
    const MessageRecord sent = formatted("text", "Face");
    MessageRecord got;
    parseMessageBody(encodeMessageBody(sent), got);
    EXPECT_EQ(got.text, "text");
    EXPECT_EQ(got.font.face, "Face");
    EXPECT_EQ(got.font.size, 12);
    EXPECT_EQ(got.font.colour, 255u);
    EXPECT_EQ(got.font.effects, 5);
}

TEST(MessageBody, MissingOrMalformedFieldsReadAsEmptyOrZero) {
    struct Case {
        std::string body;
        std::string text;
        std::string face;
        unsigned size;
        uint32_t colour;
        unsigned effects;
    };
    const Case cases[] = {
        {"", "", "", 0, 0, 0},
        {"only text", "only text", "", 0, 0, 0},
        {"t\xFF"
         "f",
         "t", "f", 0, 0, 0},
        {"t\xFF"
         "f\xFF"
         "9",
         "t", "f", 9, 0, 0},
        {"t\xFF"
         "f\xFF"
         "x9\xFF"
         "12\xFF"
         "1",
         "t", "f", 0, 12, 1},
        {"t\xFF"
         "f\xFF"
         "256\xFF"
         "4294967296\xFF"
         "-1",
         "t", "f", 0, 0, 0},
        {"t\xFF"
         "f\xFF"
         "255\xFF"
         "4294967295\xFF"
         "7\xFF"
         "extra",
         "t", "f", 255, 4294967295u, 7},
        {"\xFF\xFF\xFF\xFF", "", "", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        MessageRecord m;
        m.font.size = 99; // a parse starts from a clean font
        parseMessageBody(c.body, m);
        EXPECT_EQ(m.text, c.text);
        EXPECT_EQ(m.font.face, c.face);
        EXPECT_EQ(m.font.size, c.size);
        EXPECT_EQ(m.font.colour, c.colour);
        EXPECT_EQ(m.font.effects, c.effects);
    }
}

// The body never exceeds 1023 bytes; the first field that would not fit is dropped with all
// that follow, so no field ever lands in another's place.
TEST(MessageBody, FieldsThatDoNotFitAreLeftOut) {
    // 990 + 1 + 30 = 1021 bytes: the size field (3 more) would pass the limit.
    const std::string text(990, 'a');
    EXPECT_EQ(encodeMessageBody(formatted(text, std::string(30, 'f'))),
              text + "\xFF" + std::string(30, 'f'));
    EXPECT_EQ(encodeMessageBody(formatted(text, std::string(40, 'f'))), text);
    EXPECT_EQ(encodeMessageBody(formatted(std::string(1023, 'a'), "f")), std::string(1023, 'a'));
    EXPECT_EQ(encodeMessageBody(formatted(std::string(1024, 'a'), "f")), "");

    MessageRecord plain;
    plain.kind = kMessageKindAutoReply;
    plain.text = std::string(1023, 'b');
    EXPECT_EQ(encodeMessageBody(plain).size(), 1023u);
    plain.text += 'b';
    EXPECT_EQ(encodeMessageBody(plain), "");
}

TEST(MessageBody, ReceivedMessageIsFlaggedByItsRoute) {
    const MessageRecord viaServer = buildReceivedMessage(0, 7, 100,
                                                         "hi\xFF"
                                                         "f",
                                                         true);
    EXPECT_EQ(viaServer.flags, kMessageFromPeer | kMessageViaServer);
    EXPECT_EQ(viaServer.peerId, 7u);
    EXPECT_EQ(viaServer.time, 100u);
    EXPECT_EQ(viaServer.text, "hi");
    EXPECT_EQ(viaServer.font.face, "f");
    const MessageRecord direct = buildReceivedMessage(1, 7, 100,
                                                      "hi\xFF"
                                                      "f",
                                                      false);
    EXPECT_EQ(direct.flags, kMessageFromPeer);
    EXPECT_EQ(direct.text, "hi\xFF"
                           "f");
}

} // namespace
} // namespace talmor
