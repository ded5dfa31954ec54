// RCON replies; see rcon_reply.h.
#include "rcon_reply.h"

#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "rules/message_texts.h"

namespace barterbox {

void ReplyToRcon(RCONClientConnection* connection, int32_t requestId, std::string_view text) {
    OwnedFString reply{FString(ToWideString(text).c_str())};
    game_calls::RconSendMessage(connection, requestId, reply.get());
}

std::string_view Utf8Prefix(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return text;
    }
    std::size_t cut = bytes;
    // Back over continuation bytes (10xxxxxx) to the start of the character the cut falls in.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0u) == 0x80u) {
        --cut;
    }
    return text.substr(0, cut);
}

std::size_t JoinedBytes(const std::vector<std::string>& lines) {
    std::size_t bytes = lines.empty() ? 0 : lines.size() - 1;
    for (const std::string& line : lines) {
        bytes += line.size();
    }
    return bytes;
}

std::string FitRconReply(const std::vector<std::string>& lines) {
    std::string reply;
    if (JoinedBytes(lines) <= kRconReplyBytes) {
        for (const std::string& line : lines) {
            reply += reply.empty() ? "" : "\n";
            reply += line;
        }
        // Every command answers something; should one not, the client still hears a line.
        return reply.empty() ? std::string("Barterbox: done") : reply;
    }
    // As many lines as fit beside the last line, which counts the ones left out.
    std::size_t kept = 0;
    for (; kept < lines.size(); ++kept) {
        const std::string more = MessageText(MessageId::ReplyCut, lines.size() - kept - 1);
        if (reply.size() + (reply.empty() ? 0 : 1) + lines[kept].size() + 1 + more.size() >
            kRconReplyBytes) {
            break;
        }
        reply += reply.empty() ? "" : "\n";
        reply += lines[kept];
    }
    reply += reply.empty() ? "" : "\n";
    reply += MessageText(MessageId::ReplyCut, lines.size() - kept);
    return std::string(Utf8Prefix(reply, kRconReplyBytes));
}

} // namespace barterbox
