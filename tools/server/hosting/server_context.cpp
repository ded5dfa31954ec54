// The server's process-wide record; see server_context.h.
#include "server_context.h"

namespace barterbox::server {

ServerContext& Server() {
    static ServerContext context;
    return context;
}

} // namespace barterbox::server
