// Source RCON packets: the bytes on the wire, long replies split as the protocol splits them, and
// the refusal of every malformed packet.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/server/rcon/rcon_protocol.h"

namespace {

using namespace barterbox::server;
using namespace std::string_literals;

std::string Payload(int32_t id, int32_t type, const std::string& body, std::string end = "\0\0"s) {
    // EncodePacket's bytes without the size field.
    std::string packet = EncodePacket(id, type, body).substr(4);
    packet.resize(packet.size() - 2);
    return packet + end;
}

std::string ReasonFor(const std::string& payload) {
    const auto decoded = DecodePacket(payload);
    const auto* error = std::get_if<RconWirePacketError>(&decoded);
    return error != nullptr ? error->Reason : "(accepted)";
}

TEST(RconProtocol, EncodePacket_WritesSizeIdTypeBodyAndTwoZeroBytesLittleEndian) {
    EXPECT_EQ(EncodePacket(7, kRconResponseValue, "ok"), "\x0c\0\0\0\x07\0\0\0\0\0\0\0ok\0\0"s);
    EXPECT_EQ(EncodePacket(-1, kRconAuthResponse, ""), "\x0a\0\0\0\xff\xff\xff\xff\x02\0\0\0\0\0"s);
}

// The bodies of the packets EncodeResponse wrote, each checked for size, id and type.
std::vector<std::string> ResponseBodies(const std::string& reply) {
    std::vector<std::string> bodies;
    for (const std::string& packet : EncodeResponse(42, reply)) {
        const auto size =
            static_cast<unsigned char>(packet[0]) | static_cast<unsigned char>(packet[1]) << 8;
        EXPECT_LE(size, kRconMaxPacketSize);
        EXPECT_EQ(packet.size(), 4u + size);
        const auto decoded = DecodePacket(packet.substr(4));
        EXPECT_TRUE(std::holds_alternative<RconWirePacket>(decoded));
        if (const auto* read = std::get_if<RconWirePacket>(&decoded)) {
            EXPECT_EQ(read->Id, 42);
            EXPECT_EQ(read->Type, kRconResponseValue);
            bodies.push_back(read->Body);
        }
    }
    return bodies;
}

TEST(RconProtocol, EncodeResponse_SplitsALongReplyIntoPacketsOfAt4096Bytes) {
    EXPECT_EQ(ResponseBodies(""), std::vector<std::string>{""});
    EXPECT_EQ(ResponseBodies(std::string(4086, 'a')).size(), 1u) << "exactly one packet's worth";

    std::string reply;
    for (int line = 0; reply.size() < 10000; ++line) {
        reply += "Exchange_" + std::to_string(line) + ": 10 wood for 1 thatch floor\n";
    }
    const std::vector<std::string> bodies = ResponseBodies(reply);
    ASSERT_EQ(bodies.size(), 3u);
    EXPECT_EQ(bodies[0].size(), 4086u);
    EXPECT_EQ(bodies[0] + bodies[1] + bodies[2], reply);
}

TEST(RconProtocol, EncodeResponse_NeverCutsInsideAUtf8Sequence) {
    // A sequence of two, three and four bytes across the boundary of the first packet.
    for (const std::string& character : {"\xC3\xA9"s, "\xE2\x86\x92"s, "\xF0\x9F\x98\x80"s}) {
        for (std::size_t before = 4086 - character.size() + 1; before < 4086; ++before) {
            SCOPED_TRACE(std::to_string(character.size()) + " bytes after " +
                         std::to_string(before));
            const std::string reply = std::string(before, 'a') + character + "z";
            const std::vector<std::string> bodies = ResponseBodies(reply);
            ASSERT_EQ(bodies.size(), 2u);
            EXPECT_EQ(bodies[0], std::string(before, 'a'));
            EXPECT_EQ(bodies[1], character + "z");
        }
    }
    // Bytes that are not UTF-8 are cut where the packet is full.
    EXPECT_EQ(ResponseBodies(std::string(5000, '\x80'))[0].size(), 4086u);
}

TEST(RconProtocol, DecodePacket_ReadsWhatEncodeWrote) {
    const auto decoded = DecodePacket(Payload(0x01020304, kRconExecCommand, "Barterbox.Do a b"));
    ASSERT_TRUE(std::holds_alternative<RconWirePacket>(decoded));
    const RconWirePacket& packet = std::get<RconWirePacket>(decoded);
    EXPECT_EQ(packet.Id, 0x01020304);
    EXPECT_EQ(packet.Type, kRconExecCommand);
    EXPECT_EQ(packet.Body, "Barterbox.Do a b");
}

TEST(RconProtocol, DecodePacket_RefusesMissingTerminatorsZeroBytesAndUnknownTypes) {
    EXPECT_EQ(ReasonFor(Payload(1, kRconAuth, "pw", "x\0"s)),
              "packet does not end in its two zero bytes");
    EXPECT_EQ(ReasonFor(Payload(1, kRconAuth, "pw", "\0x"s)),
              "packet does not end in its two zero bytes");
    EXPECT_EQ(ReasonFor(Payload(1, kRconExecCommand, "a\0b"s)), "packet body holds a zero byte");
    EXPECT_EQ(ReasonFor(Payload(1, 9, "")), "unknown packet type 9");
    EXPECT_EQ(ReasonFor("\1\0\0\0\2\0\0\0\0"s), "packet of 9 bytes is too short");
}

TEST(RconProtocol, CheckPacketSize_AcceptsTenTo4096Only) {
    struct Case {
        int32_t Size;
        std::string Reason;
    };
    const Case cases[] = {
        {10, ""},
        {4096, ""},
        {9, "packet size 9 is below the minimum of 10"},
        {0, "packet size 0 is below the minimum of 10"},
        {-1, "packet size -1 is below the minimum of 10"},
        {INT32_MIN, "packet size -2147483648 is below the minimum of 10"},
        {4097, "packet size 4097 is above the maximum of 4096"},
        {INT32_MAX, "packet size 2147483647 is above the maximum of 4096"},
    };
    for (const Case& c : cases) {
        const auto bits = static_cast<uint32_t>(c.Size);
        const unsigned char field[4] = {
            static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
            static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
        const auto checked = CheckPacketSize(field);
        if (c.Reason.empty()) {
            ASSERT_TRUE(std::holds_alternative<int32_t>(checked)) << c.Size;
            EXPECT_EQ(std::get<int32_t>(checked), c.Size);
        } else {
            ASSERT_TRUE(std::holds_alternative<RconWirePacketError>(checked)) << c.Size;
            EXPECT_EQ(std::get<RconWirePacketError>(checked).Reason, c.Reason);
        }
    }
}

} // namespace
