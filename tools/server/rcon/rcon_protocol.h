// The Source RCON protocol's packets: the size prefix, id, type, body and two terminating zero
// bytes, all integers little-endian. Decoding refuses every malformed packet with a reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace barterbox::server {

inline constexpr int32_t kRconAuth = 3;
inline constexpr int32_t kRconAuthResponse = 2;
inline constexpr int32_t kRconExecCommand = 2;
inline constexpr int32_t kRconResponseValue = 0;
// The id of an authentication answer that refuses the password.
inline constexpr int32_t kRconAuthFailedId = -1;

// The size counts id, type, body and terminators: 10 for an empty body. Clients may send at most
// 4096, as the protocol allows; anything larger is refused before it is read.
inline constexpr int32_t kRconMinPacketSize = 10;
inline constexpr int32_t kRconMaxPacketSize = 4096;
inline constexpr size_t kRconSizeFieldBytes = 4;

// A packet as it travels between a client and the endpoint; the game's RCONPacket is what the
// host hands a plugin's handler.
struct RconWirePacket {
    int32_t Id = 0;
    int32_t Type = 0;
    std::string Body; // the bytes before the terminators
};

struct RconWirePacketError {
    std::string Reason;
};

int32_t ReadLittleEndian32(const unsigned char* bytes);

// Whether a size field may start a packet; the reason when it may not.
std::variant<int32_t, RconWirePacketError> CheckPacketSize(const unsigned char (&field)[4]);

// The packet from the `size` bytes that followed an accepted size field.
std::variant<RconWirePacket, RconWirePacketError> DecodePacket(std::string_view bytes);

// A whole packet, size field included. The body must fit one packet (see EncodeResponse).
std::string EncodePacket(int32_t id, int32_t type, std::string_view body);

// A reply as the protocol sends a long one: response packets of at most 4096 bytes each (size
// field aside), whose bodies joined are the reply. A cut never falls inside a UTF-8 sequence,
// for clients that decode each packet on its own. An empty reply is one empty packet.
std::vector<std::string> EncodeResponse(int32_t id, std::string_view reply);

} // namespace barterbox::server
