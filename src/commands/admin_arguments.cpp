// The administrator test and the argument text of an administrator's command; see
// admin_arguments.h.
#include "admin_arguments.h"

#include "admin_reply.h"
#include "command_arguments.h"
#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "host/host_calls.h"

namespace barterbox {

bool IsAdministrator(APlayerController* sender) {
    return sender != nullptr && game_calls::IsAdmin(sender);
}

AuditSource AdministratorSource(APlayerController* sender) {
    return {AuditVia::Console, host_calls::PlayerEosId(sender), {}};
}

std::optional<std::string> AdministratorsArgumentText(APlayerController* sender,
                                                      const FString& line,
                                                      std::u16string_view usage) {
    if (!IsAdministrator(sender)) {
        return std::nullopt;
    }
    std::optional<std::string> text = ArgumentText(ToNarrowString(line));
    if (!text) {
        ReplyWithUsage(sender, usage);
    }
    return text;
}

} // namespace barterbox
