// The console's loopback webhook: `webhook start` opens it, `edit` writes its URL for
// {webhook}, and `webhook wait N` waits for the Nth post and prints those not yet shown.
#pragma once

#include <string>

#include "console_language.h"

namespace barterbox::server {

// Runs without the host lock: the posts it waits for need the host's ticks.
void RunWebhookCommand(const ConsoleCommand& command);
// The text with {webhook} replaced by the webhook's URL, when one is open.
std::string WithWebhookUrl(std::string text);
void StopWebhook();

} // namespace barterbox::server
