// The cluster ledger's database client; see ledger_client.h.
#include "ledger_client.h"

#include <cstdlib>

#include "catalogue/config_file.h"
#include "platform/module_library.h"
#include "platform/socket_wait.h"

namespace barterbox {
namespace {

// Connector/C's own types, declared here rather than taken from its headers, which a Windows
// build may not have: the handles are opaque, and only these values of its interface are used.
struct MYSQL;
struct MYSQL_RES;
using MYSQL_ROW = char**;
#if defined(_WIN32)
using ClientSocket = uintptr_t; // SOCKET
#else
using ClientSocket = int;
#endif
constexpr int kOptionCharset = 7;            // MYSQL_SET_CHARSET_NAME
constexpr int kOptionLocalFile = 8;          // MYSQL_OPT_LOCAL_INFILE
constexpr int kOptionNonBlock = 6000;        // MYSQL_OPT_NONBLOCK
constexpr int kWaitTimeout = 8;              // MYSQL_WAIT_TIMEOUT; READ, WRITE, EXCEPT are 1, 2, 4
constexpr unsigned kFirstClientError = 2000; // CR_MIN_ERROR: the connection, not the statement

struct ClientCalls {
    MYSQL* (*Init)(MYSQL*);
    int (*Options)(MYSQL*, int, const void*);
    int (*ConnectStart)(MYSQL**, MYSQL*, const char*, const char*, const char*, const char*,
                        unsigned, const char*, unsigned long);
    int (*ConnectCont)(MYSQL**, MYSQL*, int);
    int (*QueryStart)(int*, MYSQL*, const char*, unsigned long);
    int (*QueryCont)(int*, MYSQL*, int);
    int (*StoreStart)(MYSQL_RES**, MYSQL*);
    int (*StoreCont)(MYSQL_RES**, MYSQL*, int);
    MYSQL_ROW (*FetchRow)(MYSQL_RES*);
    unsigned long* (*FetchLengths)(MYSQL_RES*);
    unsigned (*FieldCount)(MYSQL*);
    unsigned (*NumFields)(MYSQL_RES*);
    void (*FreeResult)(MYSQL_RES*);
    unsigned long long (*AffectedRows)(MYSQL*);
    unsigned (*Errno)(MYSQL*);
    const char* (*Error)(MYSQL*);
    ClientSocket (*GetSocket)(MYSQL*);
    void (*Close)(MYSQL*);
};

struct LoadedClient {
    bool Loaded = false;
    std::string Error;
    ClientCalls Calls{};
};

LoadedClient& Client() {
    static LoadedClient client;
    return client;
}

// The library's file: where BARTERBOX_MARIADB_LIBRARY says, else beside the plugin on Windows (as
// the host's other plugins keep theirs) and the system's own on Linux.
std::string LibraryPath() {
    if (const char* chosen = std::getenv("BARTERBOX_MARIADB_LIBRARY"); chosen && *chosen) {
        return chosen;
    }
#if defined(_WIN32)
    return PluginFolder() + "/libmariadb.dll";
#else
    return "libmariadb.so.3";
#endif
}

template <typename Function> bool Resolve(void* module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(platform::ModuleFunction(module, name));
    return function != nullptr;
}

bool ResolveAll(void* module, ClientCalls& calls, std::string& missing) {
    const auto need = [&](const char* name, auto& function) {
        if (!Resolve(module, name, function) && missing.empty()) {
            missing = name;
        }
    };
    need("mysql_init", calls.Init);
    need("mysql_options", calls.Options);
    need("mysql_real_connect_start", calls.ConnectStart);
    need("mysql_real_connect_cont", calls.ConnectCont);
    need("mysql_real_query_start", calls.QueryStart);
    need("mysql_real_query_cont", calls.QueryCont);
    need("mysql_store_result_start", calls.StoreStart);
    need("mysql_store_result_cont", calls.StoreCont);
    need("mysql_fetch_row", calls.FetchRow);
    need("mysql_fetch_lengths", calls.FetchLengths);
    need("mysql_field_count", calls.FieldCount);
    need("mysql_num_fields", calls.NumFields);
    need("mysql_free_result", calls.FreeResult);
    need("mysql_affected_rows", calls.AffectedRows);
    need("mysql_errno", calls.Errno);
    need("mysql_error", calls.Error);
    need("mysql_get_socket", calls.GetSocket);
    need("mysql_close", calls.Close);
    return missing.empty();
}

const ClientCalls& Calls() {
    return Client().Calls;
}

MYSQL* HandleOf(const LedgerConnection& connection) {
    return static_cast<MYSQL*>(connection.Handle);
}

// Drives one non-blocking call to its end: `status` is what its start returned, `resume` takes
// the events seen and returns the next status. False when the deadline came first.
template <typename Resume>
bool RunUntil(MYSQL* mysql, int status, LedgerClock::time_point deadline, Resume resume) {
    while (status != 0) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - LedgerClock::now());
        if (left.count() <= 0) {
            return false;
        }
        const int seen =
            platform::WaitForSocket(static_cast<platform::SocketHandle>(Calls().GetSocket(mysql)),
                                    status & 7, static_cast<int>(left.count()));
        if (seen < 0) {
            return false;
        }
        if (seen == 0 && (status & kWaitTimeout) == 0) {
            continue; // the deadline is looked at again
        }
        status = resume(seen == 0 ? kWaitTimeout : seen);
    }
    return true;
}

std::string ErrorText(MYSQL* mysql) {
    const char* text = Calls().Error(mysql);
    return text != nullptr && *text != '\0' ? text : "the server closed the connection";
}

std::vector<LedgerRow> RowsOf(MYSQL_RES* result) {
    std::vector<LedgerRow> rows;
    const unsigned fields = Calls().NumFields(result);
    while (MYSQL_ROW row = Calls().FetchRow(result)) {
        const unsigned long* lengths = Calls().FetchLengths(result);
        LedgerRow& values = rows.emplace_back();
        for (unsigned field = 0; field < fields; ++field) {
            if (row[field] == nullptr) {
                values.emplace_back();
            } else {
                values.emplace_back(std::string(row[field], lengths[field]));
            }
        }
    }
    return rows;
}

} // namespace

bool LedgerClientLoaded(std::string& error) {
    LoadedClient& client = Client();
    // A library that was not there is looked for again: installing it needs no restart.
    if (!client.Loaded) {
        std::string reason;
        void* module = platform::OpenModule(LibraryPath(), reason);
        std::string missing;
        if (module == nullptr) {
            client.Error = reason;
        } else if (!ResolveAll(module, client.Calls, missing)) {
            client.Error = LibraryPath() + " has no " + missing;
            platform::CloseModule(module);
        } else {
            client.Loaded = true; // kept for the life of the process, as its own state is
        }
    }
    error = client.Error;
    return client.Loaded;
}

bool ConnectLedger(LedgerConnection& connection, const LedgerLogin& login,
                   LedgerClock::time_point deadline, std::string& error) {
    DropLedgerConnection(connection);
    MYSQL* mysql = Calls().Init(nullptr);
    if (mysql == nullptr) {
        error = "the client library could not start a connection";
        return false;
    }
    const unsigned noLocalFiles = 0;
    Calls().Options(mysql, kOptionNonBlock, nullptr);
    Calls().Options(mysql, kOptionCharset, "utf8mb4");
    Calls().Options(mysql, kOptionLocalFile, &noLocalFiles);
    connection.Handle = mysql;
    MYSQL* connected = nullptr;
    const int status = Calls().ConnectStart(&connected, mysql, login.Address.c_str(),
                                            login.User.c_str(), login.Password.c_str(),
                                            login.Database.c_str(), login.Port, nullptr, 0);
    const bool finished = RunUntil(mysql, status, deadline, [&](int events) {
        return Calls().ConnectCont(&connected, mysql, events);
    });
    if (!finished || connected == nullptr) {
        error = finished ? ErrorText(mysql) : "no answer in time";
        DropLedgerConnection(connection);
        return false;
    }
    return true;
}

std::optional<LedgerAnswer> QueryLedger(LedgerConnection& connection, std::string_view statement,
                                        LedgerClock::time_point deadline, std::string& error) {
    MYSQL* mysql = HandleOf(connection);
    if (mysql == nullptr) {
        error = "not connected";
        return std::nullopt;
    }
    int failed = 0;
    bool finished =
        RunUntil(mysql, Calls().QueryStart(&failed, mysql, statement.data(), statement.size()),
                 deadline, [&](int events) { return Calls().QueryCont(&failed, mysql, events); });
    LedgerAnswer answer;
    if (finished && failed != 0) {
        answer.Error = Calls().Errno(mysql);
        answer.Message = ErrorText(mysql);
        if (answer.Error < kFirstClientError) {
            return answer;
        }
    }
    MYSQL_RES* result = nullptr;
    if (finished && failed == 0 && Calls().FieldCount(mysql) > 0) {
        finished = RunUntil(mysql, Calls().StoreStart(&result, mysql), deadline,
                            [&](int events) { return Calls().StoreCont(&result, mysql, events); });
        failed = finished && result == nullptr ? 1 : 0;
    }
    if (!finished || failed != 0) {
        error = !finished ? "no answer in time" : ErrorText(mysql);
        DropLedgerConnection(connection);
        return std::nullopt;
    }
    if (result != nullptr) {
        answer.Rows = RowsOf(result);
        Calls().FreeResult(result);
    } else {
        answer.Affected = Calls().AffectedRows(mysql);
    }
    return answer;
}

LedgerConnection& LedgerConnection::operator=(LedgerConnection&& other) noexcept {
    if (this != &other) {
        DropLedgerConnection(*this);
        Handle = other.Handle;
        other.Handle = nullptr;
    }
    return *this;
}

LedgerConnection::~LedgerConnection() {
    DropLedgerConnection(*this);
}

void DropLedgerConnection(LedgerConnection& connection) {
    MYSQL* mysql = HandleOf(connection);
    if (mysql == nullptr) {
        return;
    }
    connection.Handle = nullptr;
    // Shut first, so that the farewell the close sends fails at once instead of waiting on a
    // server that does not answer; the server then rolls back whatever was left open.
    const ClientSocket socket = Calls().GetSocket(mysql);
    if (socket != static_cast<ClientSocket>(-1)) {
        platform::ShutDownSocket(static_cast<platform::SocketHandle>(socket));
    }
    Calls().Close(mysql);
}

std::string LedgerLiteral(std::string_view text) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string literal = "X'";
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        literal += kDigits[byte >> 4];
        literal += kDigits[byte & 15];
    }
    literal += '\'';
    return literal;
}

} // namespace barterbox
