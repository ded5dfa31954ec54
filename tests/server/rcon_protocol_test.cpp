// Source RCON packets: the bytes on the wire, and the refusal of every malformed packet.
#include <gtest/gtest.h>

#include "rcon_protocol.h"

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
    const auto* error = std::get_if<RconPacketError>(&decoded);
    return error != nullptr ? error->Reason : "(accepted)";
}

TEST(RconProtocol, EncodePacket_WritesSizeIdTypeBodyAndTwoZeroBytesLittleEndian) {
    EXPECT_EQ(EncodePacket(7, kRconResponseValue, "ok"), "\x0c\0\0\0\x07\0\0\0\0\0\0\0ok\0\0"s);
    EXPECT_EQ(EncodePacket(-1, kRconAuthResponse, ""), "\x0a\0\0\0\xff\xff\xff\xff\x02\0\0\0\0\0"s);
}

TEST(RconProtocol, DecodePacket_ReadsWhatEncodeWrote) {
    const auto decoded = DecodePacket(Payload(0x01020304, kRconExecCommand, "Barterbox.Do a b"));
    ASSERT_TRUE(std::holds_alternative<RconPacket>(decoded));
    const RconPacket& packet = std::get<RconPacket>(decoded);
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
            ASSERT_TRUE(std::holds_alternative<RconPacketError>(checked)) << c.Size;
            EXPECT_EQ(std::get<RconPacketError>(checked).Reason, c.Reason);
        }
    }
}

} // namespace
