// One HTTP POST through WinHTTP, the system's own client; see http_client.h.
#include "http_client.h"

#include <memory>

#include <windows.h>
#include <winhttp.h>

namespace hostsim {
namespace {

struct HandleCloser {
    void operator()(void* handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                        length, nullptr, nullptr);
    return narrow;
}

// The reply's header lines after the status line, as name and value.
void ReadHeaders(HINTERNET request, AsaApi::HttpReply& reply) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                        nullptr, &size, WINHTTP_NO_HEADER_INDEX);
    std::wstring raw(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                             raw.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
        return;
    }
    raw.resize(size / sizeof(wchar_t));
    const std::string text = Narrow(raw);
    size_t start = text.find("\r\n");
    while (start != std::string::npos && start + 2 < text.size()) {
        const size_t end = text.find("\r\n", start + 2);
        const std::string line = text.substr(start + 2, end - start - 2);
        if (const size_t colon = line.find(':'); colon != std::string::npos) {
            const size_t value = line.find_first_not_of(' ', colon + 1);
            reply.Headers.emplace_back(line.substr(0, colon),
                                       value == std::string::npos ? "" : line.substr(value));
        }
        start = end;
    }
}

void ReadBody(HINTERNET request, AsaApi::HttpReply& reply) {
    DWORD available = 0;
    while (WinHttpQueryDataAvailable(request, &available) && available > 0) {
        std::string chunk(available, '\0');
        DWORD read = 0;
        if (!WinHttpReadData(request, chunk.data(), available, &read) || read == 0) {
            return;
        }
        reply.Body.append(chunk, 0, read);
    }
}

} // namespace

AsaApi::HttpReply PlatformPost(const HttpPost& post, std::chrono::milliseconds timeout) {
    AsaApi::HttpReply reply;
    std::wstring url = Wide(post.Url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) {
        return reply;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    const Handle session(WinHttpOpen(L"barterbox-hostsim", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    const int ms = static_cast<int>(timeout.count());
    if (!session || !WinHttpSetTimeouts(session.get(), ms, ms, ms, ms)) {
        return reply;
    }
    const Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    const Handle request(connection ? WinHttpOpenRequest(connection.get(), L"POST", path.c_str(),
                                                         nullptr, WINHTTP_NO_REFERER,
                                                         WINHTTP_DEFAULT_ACCEPT_TYPES, secure)
                                    : nullptr);
    std::string headers = "Content-Type: " + post.ContentType + "\r\n";
    for (const std::string& line : post.Headers) {
        headers += line + "\r\n";
    }
    const std::wstring wideHeaders = Wide(headers);
    // Set on the request too: not every WinHTTP passes the session's timeouts on.
    if (!request || !WinHttpSetTimeouts(request.get(), ms, ms, ms, ms) ||
        !WinHttpSendRequest(request.get(), wideHeaders.c_str(), DWORD(-1),
                            const_cast<char*>(post.Body.data()), DWORD(post.Body.size()),
                            DWORD(post.Body.size()), 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr)) {
        return reply;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return reply;
    }
    reply.Answered = true;
    reply.Status = static_cast<int>(status);
    ReadHeaders(request.get(), reply);
    ReadBody(request.get(), reply);
    return reply;
}

} // namespace hostsim
