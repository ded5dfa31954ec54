// The Source RCON packet format; see rcon_protocol.h.
#include "rcon_protocol.h"

#include <algorithm>

namespace barterbox::server {
namespace {

void AppendLittleEndian32(std::string& out, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((bits >> shift) & 0xffu);
    }
}

} // namespace

int32_t ReadLittleEndian32(const unsigned char* bytes) {
    const uint32_t bits = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                          uint32_t{bytes[3]} << 24;
    return static_cast<int32_t>(bits); // two's complement, as the wire holds it
}

std::variant<int32_t, RconWirePacketError> CheckPacketSize(const unsigned char (&field)[4]) {
    const int32_t size = ReadLittleEndian32(field);
    if (size < kRconMinPacketSize) {
        return RconWirePacketError{"packet size " + std::to_string(size) +
                                   " is below the minimum of " +
                                   std::to_string(kRconMinPacketSize)};
    }
    if (size > kRconMaxPacketSize) {
        return RconWirePacketError{"packet size " + std::to_string(size) +
                                   " is above the maximum of " +
                                   std::to_string(kRconMaxPacketSize)};
    }
    return size;
}

std::variant<RconWirePacket, RconWirePacketError> DecodePacket(std::string_view bytes) {
    if (bytes.size() < static_cast<size_t>(kRconMinPacketSize)) {
        return RconWirePacketError{"packet of " + std::to_string(bytes.size()) +
                                   " bytes is too short"};
    }
    const auto* raw = reinterpret_cast<const unsigned char*>(bytes.data());
    RconWirePacket packet;
    packet.Id = ReadLittleEndian32(raw);
    packet.Type = ReadLittleEndian32(raw + 4);
    if (bytes[bytes.size() - 2] != '\0' || bytes[bytes.size() - 1] != '\0') {
        return RconWirePacketError{"packet does not end in its two zero bytes"};
    }
    const std::string_view body = bytes.substr(8, bytes.size() - 10);
    if (body.find('\0') != std::string_view::npos) {
        return RconWirePacketError{"packet body holds a zero byte"};
    }
    if (packet.Type != kRconAuth && packet.Type != kRconExecCommand &&
        packet.Type != kRconResponseValue) {
        return RconWirePacketError{"unknown packet type " + std::to_string(packet.Type)};
    }
    packet.Body = std::string(body);
    return packet;
}

std::string EncodePacket(int32_t id, int32_t type, std::string_view body) {
    std::string packet;
    packet.reserve(kRconSizeFieldBytes + body.size() + 10);
    AppendLittleEndian32(packet, static_cast<int32_t>(body.size() + 10));
    AppendLittleEndian32(packet, id);
    AppendLittleEndian32(packet, type);
    packet.append(body);
    packet.append(2, '\0');
    return packet;
}

std::vector<std::string> EncodeResponse(int32_t id, std::string_view reply) {
    constexpr std::size_t kMaxBody = kRconMaxPacketSize - kRconMinPacketSize;
    std::vector<std::string> packets;
    do {
        std::size_t cut = std::min(reply.size(), kMaxBody);
        if (cut < reply.size()) {
            // Back over continuation bytes (10xxxxxx) to the start of the cut sequence; text that
            // is not UTF-8 at all is cut where it stands.
            std::size_t start = cut;
            while (start > cut - 3 && (static_cast<unsigned char>(reply[start]) & 0xC0u) == 0x80u) {
                --start;
            }
            if ((static_cast<unsigned char>(reply[start]) & 0xC0u) == 0xC0u) {
                cut = start;
            }
        }
        packets.push_back(EncodePacket(id, kRconResponseValue, reply.substr(0, cut)));
        reply.remove_prefix(cut);
    } while (!reply.empty());
    return packets;
}

} // namespace barterbox::server
