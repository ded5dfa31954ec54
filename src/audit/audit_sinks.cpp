// The audit's list of sinks and the hand-out of each record; see audit_sinks.h.
#include "audit_sinks.h"

#include <exception>

#include "day_file_sink.h"
#include "logger/plugin_logger.h"

namespace barterbox {

AuditState& TheAuditState() {
    static AuditState state{{DayFileSink()}, false, 0, 0, {}};
    return state;
}

void ResetAuditState() {
    TheAuditState() = AuditState{{DayFileSink()}, false, 0, 0, {}};
}

bool PublishAuditRecord(const AuditRecord& record) noexcept {
    bool onFile = true;
    for (const AuditSink& sink : TheAuditState().Sinks) {
        bool written = false;
        try {
            written = sink.Write(record);
        } catch (const std::exception& error) {
            LogQuietly(spdlog::level::err, "Barterbox: Internal error in audit sink {}: {}",
                       sink.Name, error.what());
        } catch (...) {
            LogQuietly(spdlog::level::err, "Barterbox: Internal error in audit sink {}: {}",
                       sink.Name, "an exception of unknown type");
        }
        if (sink.OfRecord && !written) {
            onFile = false;
        }
    }
    return onFile;
}

} // namespace barterbox
