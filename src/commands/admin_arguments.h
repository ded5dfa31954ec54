// The first step of every administrator's console command: whether the sender may run it, and
// what the administrator typed after the command word.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "audit/audit_record.h"
#include "host/engine_types.h"

namespace barterbox {

// Whether the console command's sender may run administrator commands.
bool IsAdministrator(APlayerController* sender);

// How the audit names an administrator's console command: its sender's EOS ID.
AuditSource AdministratorSource(APlayerController* sender);

// The narrowed argument text of an administrator's command line. Nullopt means the handler is
// done: a sender who is no administrator gets no answer at all, and a line without argument text
// has been answered with the usage, in red.
std::optional<std::string> AdministratorsArgumentText(APlayerController* sender,
                                                      const FString& line,
                                                      std::u16string_view usage);

} // namespace barterbox
