#include "winhttp/winhttp_session.h"

// clang-format off
#include <windows.h>
#include <wincrypt.h>
#include <winhttp.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <vector>

#include "tls/trust_text.h"

namespace winhttp {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kPieceBytes = 64 * 1024;

std::wstring Wide(const std::string& text) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// A request handle, closed when it goes out of scope unless the trust check closed it first.
struct RequestHandle {
    HINTERNET handle = nullptr;
    bool closed = false;
    ~RequestHandle() {
        if (handle && !closed) {
            WinHttpCloseHandle(handle);
        }
    }
};

struct ConnectHandle {
    HINTERNET handle = nullptr;
    ~ConnectHandle() {
        if (handle) {
            WinHttpCloseHandle(handle);
        }
    }
};

// The certificates of a PEM file in a memory store; null when the file cannot be read or holds
// none.
HCERTSTORE ReadAuthorities(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
    const std::string first = "-----BEGIN CERTIFICATE-----";
    const std::string last = "-----END CERTIFICATE-----";
    int added = 0;
    for (size_t begin = pem.find(first); begin != std::string::npos;
         begin = pem.find(first, begin + 1)) {
        const size_t end = pem.find(last, begin);
        if (end == std::string::npos) {
            break;
        }
        const DWORD length = static_cast<DWORD>(end + last.size() - begin);
        DWORD size = 0;
        if (!CryptStringToBinaryA(pem.data() + begin, length, CRYPT_STRING_BASE64HEADER, nullptr,
                                  &size, nullptr, nullptr)) {
            continue;
        }
        std::vector<BYTE> der(size);
        if (CryptStringToBinaryA(pem.data() + begin, length, CRYPT_STRING_BASE64HEADER, der.data(),
                                 &size, nullptr, nullptr) &&
            CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                             CERT_STORE_ADD_ALWAYS, nullptr)) {
            ++added;
        }
    }
    if (added == 0) {
        CertCloseStore(store, 0);
        return nullptr;
    }
    return store;
}

// What the trust check of one request needs and finds.
struct TrustCheck {
    HCERTSTORE authorities = nullptr;  // null: the system's check alone
    std::wstring host;
    RequestHandle* request = nullptr;
    bool reached = false;  // the TLS connection was made and the request was about to be sent
    bool refused = false;
};

// Whether the chain of `certificate` ends at one of the authorities and the certificate is for
// `host`, as an https client checks it (dates, usage, name).
bool SignedByAuthority(PCCERT_CONTEXT certificate, const TrustCheck& check) {
    HCERTSTORE known = CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr);
    CertAddStoreToCollection(known, check.authorities, 0, 0);
    if (certificate->hCertStore) {
        CertAddStoreToCollection(known, certificate->hCertStore, 0, 0);
    }
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof(chainPara);
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    bool signedBy = false;
    if (CertGetCertificateChain(nullptr, certificate, nullptr, known, &chainPara, 0, nullptr,
                                &chain)) {
        // The authorities of the file are not the system's roots: only that error is let pass
        // by the policy, and the root must be one of them.
        SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
        ssl.cbSize = sizeof(ssl);
        ssl.dwAuthType = AUTHTYPE_SERVER;
        ssl.fdwChecks = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        std::wstring host = check.host;
        ssl.pwszServerName = host.data();
        CERT_CHAIN_POLICY_PARA policy{};
        policy.cbSize = sizeof(policy);
        policy.pvExtraPolicyPara = &ssl;
        CERT_CHAIN_POLICY_STATUS status{};
        status.cbSize = sizeof(status);
        const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
        const PCCERT_CONTEXT root = simple->rgpElement[simple->cElement - 1]->pCertContext;
        const PCCERT_CONTEXT found = CertFindCertificateInStore(
            check.authorities, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, root, nullptr);
        signedBy =
            found &&
            CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) &&
            status.dwError == 0;
        if (found) {
            CertFreeCertificateContext(found);
        }
        CertFreeCertificateChain(chain);
    }
    CertCloseStore(known, 0);
    return signedBy;
}

// Closes a request from its callback: on Windows nothing of it is sent then.
void CloseBeforeSending(HINTERNET request, TrustCheck& check) {
    check.request->closed = true;
    WinHttpCloseHandle(request);
}

// Whether the certificate of the request's connection is signed by one of the authorities.
bool Vouched(HINTERNET request, const TrustCheck& check) {
    PCCERT_CONTEXT certificate = nullptr;
    DWORD size = sizeof(certificate);
    const bool known =
        WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &certificate, &size) &&
        certificate;
    const bool vouched = known && SignedByAuthority(certificate, check);
    if (certificate) {
        CertFreeCertificateContext(certificate);
    }
    return vouched;
}

// Called by WinHTTP once the connection is made and before the request is sent. A service whose
// certificate the CA file does not vouch for gets nothing: the request is closed here, which
// ends it before sending on Windows; the body waits for this check in any case (Send). A
// certificate refused by the system's own check is reported here too.
void CALLBACK CheckBeforeSending(HINTERNET request, DWORD_PTR context, DWORD status, LPVOID,
                                 DWORD) {
    auto* check = reinterpret_cast<TrustCheck*>(context);
    if (!check) {
        return;
    }
    if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE) {
        check->refused = true;
        return;
    }
    if (status != WINHTTP_CALLBACK_STATUS_SENDING_REQUEST || !check->authorities) {
        return;
    }
    check->reached = true;
    check->refused = !Vouched(request, *check);
    if (check->refused) {
        CloseBeforeSending(request, *check);
    }
}

// Called by WinHTTP before a probe is sent, once its TLS connection is made: judges the
// certificate against the authorities, if any, and closes the probe. Nothing of it is sent on
// Windows; Wine sends its line and host.
void CALLBACK JudgeProbe(HINTERNET request, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
    auto* check = reinterpret_cast<TrustCheck*>(context);
    if (status == WINHTTP_CALLBACK_STATUS_SENDING_REQUEST && check) {
        check->reached = true;
        check->refused = check->authorities && !Vouched(request, *check);
        CloseBeforeSending(request, *check);
    }
}

Outcome Failure(DWORD error, Clock::time_point deadline) {
    switch (error) {
        case ERROR_WINHTTP_TIMEOUT:
            return Clock::now() >= deadline ? Outcome::Late : Outcome::Unreachable;
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
            return Outcome::Untrusted;
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
            return Outcome::NoSecureConnection;
        default:
            return Outcome::Unreachable;
    }
}

std::wstring Header(HINTERNET request, DWORD which) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
        return {};
    }
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    value.resize(size / sizeof(wchar_t));
    return value;
}

// Milliseconds until `deadline`, at least one.
int Left(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<int64_t>(1, left.count()));
}

// Has the request's trust checked before it is sent; with authorities of its own, those take
// the place of the system's roots.
void WatchTrust(HINTERNET http, TrustCheck& check, bool ownAuthorities) {
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&check);
    WinHttpSetOption(http, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context));
    WinHttpSetStatusCallback(
        http, CheckBeforeSending,
        WINHTTP_CALLBACK_FLAG_SEND_REQUEST | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);
    if (ownAuthorities) {
        // A connection the system did not check is not kept for later requests: some systems
        // (Wine) pool connections for the whole process, whatever each session trusts.
        DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        DWORD once = WINHTTP_DISABLE_KEEP_ALIVE;
        WinHttpSetOption(http, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof(flags));
        WinHttpSetOption(http, WINHTTP_OPTION_DISABLE_FEATURE, &once, sizeof(once));
    }
}

std::wstring HeadersOf(const Request& request) {
    std::wstring headers;
    if (!request.body.empty()) {
        headers += L"Content-Type: application/json\r\n";
    }
    if (!request.token.empty()) {
        headers += L"Authorization: Bearer " + Wide(request.token) + L"\r\n";
    }
    return headers;
}

// Reads the status and then the whole answer into `receiver` by `deadline`. Each read takes
// what has arrived (a read of a fixed size would wait for all of it), so that the deadline is
// checked as the answer comes, however slowly.
Outcome ReadAnswer(HINTERNET http, Clock::time_point deadline, const Receiver& receiver,
                   int& status) {
    DWORD code = 0;
    DWORD size = sizeof(code);
    WinHttpQueryHeaders(http, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX);
    status = static_cast<int>(code);
    // A packed answer announces its packed length: no measure of the answer itself.
    const std::wstring length = Header(http, WINHTTP_QUERY_CONTENT_LENGTH);
    const bool packed = !Header(http, WINHTTP_QUERY_CONTENT_ENCODING).empty();
    if (!receiver.head(length.empty() || packed ? -1 : std::wcstoll(length.c_str(), nullptr, 10))) {
        return Outcome::Stopped;
    }
    std::vector<char> piece(kPieceBytes);
    for (;;) {
        DWORD timeout = static_cast<DWORD>(Left(deadline));
        WinHttpSetOption(http, WINHTTP_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
        DWORD available = 0;
        DWORD read = 0;
        const bool readable =
            WinHttpQueryDataAvailable(http, &available) &&
            (available == 0 ||
             WinHttpReadData(http, piece.data(),
                             std::min(available, static_cast<DWORD>(piece.size())), &read));
        if (!readable) {
            return Failure(GetLastError(), deadline);
        }
        if (Clock::now() >= deadline) {
            return Outcome::Late;
        }
        if (read == 0) {
            return Outcome::Answered;
        }
        if (!receiver.piece(piece.data(), read)) {
            return Outcome::Stopped;
        }
    }
}

}  // namespace

std::string UntrustedText(Outcome outcome, const std::string& origin, const std::string& caFile,
                          const std::string& caSetting) {
    switch (outcome) {
        case Outcome::Untrusted:
            return tls::DistrustText(tls::Distrust::Certificate, origin, caFile, caSetting);
        case Outcome::CaFileUnreadable:
            return tls::DistrustText(tls::Distrust::CaFile, origin, caFile, caSetting);
        case Outcome::NoSecureConnection:
            return tls::DistrustText(tls::Distrust::Protocol, origin, caFile, caSetting);
        default:
            return {};
    }
}

struct Session::Handles {
    HINTERNET session = nullptr;
    HCERTSTORE authorities = nullptr;
    ~Handles() {
        if (authorities) {
            CertCloseStore(authorities, 0);
        }
        if (session) {
            WinHttpCloseHandle(session);
        }
    }
};

Session::Session(std::string caFile)
    : caFile_(std::move(caFile)), handles_(std::make_unique<Handles>()) {
    handles_->session = WinHttpOpen(L"Corvex/1", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!handles_->session) {  // before Windows 8.1: the proxy the system names
        handles_->session = WinHttpOpen(L"Corvex/1", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                        WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    }
    if (!handles_->session) {
        return;
    }
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!WinHttpSetOption(handles_->session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                          sizeof(protocols))) {
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;  // a system without TLS 1.3
        WinHttpSetOption(handles_->session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                         sizeof(protocols));
    }
    DWORD decompression = WINHTTP_DECOMPRESSION_FLAG_GZIP;
    // Where WinHTTP unpacks gzip it asks for it; elsewhere (Wine) answers come plain.
    WinHttpSetOption(handles_->session, WINHTTP_OPTION_DECOMPRESSION, &decompression,
                     sizeof(decompression));
    if (!caFile_.empty()) {
        handles_->authorities = ReadAuthorities(caFile_);
    }
}

Session::~Session() = default;

Answer Session::Send(const Origin& origin, const Request& request, int connectMs, int deadlineMs,
                     const Receiver& receiver) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
    Answer answer;
    if (origin.secure && !caFile_.empty() && !handles_->authorities) {
        answer.outcome = Outcome::CaFileUnreadable;
        return answer;
    }
    if (!handles_->session) {
        return answer;
    }
    ConnectHandle connection{WinHttpConnect(handles_->session, Wide(origin.host).c_str(),
                                            static_cast<INTERNET_PORT>(origin.port), 0)};
    if (!connection.handle) {
        return answer;
    }
    RequestHandle handle{WinHttpOpenRequest(
        connection.handle, Wide(request.method).c_str(), Wide(request.path).c_str(), nullptr,
        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, origin.secure ? WINHTTP_FLAG_SECURE : 0)};
    if (!handle.handle) {
        return answer;
    }
    const HINTERNET http = handle.handle;
    TrustCheck check{handles_->authorities, Wide(origin.host), &handle};
    const bool ownAuthorities = origin.secure && check.authorities;
    // A service the authorities do not vouch for is met first by a probe that carries nothing
    // of the request (where the system sends a refused request's head all the same).
    if (ownAuthorities && Probe(origin, std::min(connectMs, Left(deadline)), true).refused) {
        answer.outcome = Outcome::Untrusted;
        return answer;
    }
    if (origin.secure) {
        WatchTrust(http, check, ownAuthorities);
    }
    const std::wstring headers = HeadersOf(request);
    WinHttpSetTimeouts(http, Left(deadline), std::min(connectMs, Left(deadline)), Left(deadline),
                       Left(deadline));
    // Checked against the CA file, the body is written only once the service is trusted.
    const DWORD bodyLength = static_cast<DWORD>(request.body.size());
    DWORD written = 0;
    bool sent = WinHttpSendRequest(
        http, headers.c_str(), static_cast<DWORD>(headers.size()),
        ownAuthorities ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(request.body.data()),
        ownAuthorities ? 0 : bodyLength, bodyLength, 0);
    if (!check.refused && sent && ownAuthorities && bodyLength > 0) {
        sent = WinHttpWriteData(http, request.body.data(), bodyLength, &written);
    }
    sent = !check.refused && sent && WinHttpReceiveResponse(http, nullptr);
    if (!sent) {
        answer.outcome = check.refused ? Outcome::Untrusted : Failure(GetLastError(), deadline);
        // Some systems (Wine) report a certificate they refused as a failed TLS connection.
        if (answer.outcome == Outcome::NoSecureConnection && !ownAuthorities &&
            Probe(origin, std::min(connectMs, Left(deadline)), false).reached) {
            answer.outcome = Outcome::Untrusted;
        }
        return answer;
    }
    answer.outcome = ReadAnswer(http, deadline, receiver, answer.status);
    return answer;
}

Session::ProbeResult Session::Probe(const Origin& origin, int connectMs, bool judged) {
    ConnectHandle connection{WinHttpConnect(handles_->session, Wide(origin.host).c_str(),
                                            static_cast<INTERNET_PORT>(origin.port), 0)};
    RequestHandle probe{connection.handle
                            ? WinHttpOpenRequest(connection.handle, L"HEAD", L"/", nullptr,
                                                 WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                 WINHTTP_FLAG_SECURE)
                            : nullptr};
    if (!probe.handle) {
        return {};
    }
    // Judged, the probe's certificate is checked against the authorities alone; unjudged, the
    // connection is made whoever signed the certificate, for whatever name and time.
    DWORD flags = judged ? SECURITY_FLAG_IGNORE_UNKNOWN_CA
                         : SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                               SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
                               SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
    DWORD once = WINHTTP_DISABLE_KEEP_ALIVE;
    TrustCheck check{judged ? handles_->authorities : nullptr, Wide(origin.host), &probe};
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&check);
    WinHttpSetOption(probe.handle, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof(flags));
    WinHttpSetOption(probe.handle, WINHTTP_OPTION_DISABLE_FEATURE, &once, sizeof(once));
    WinHttpSetOption(probe.handle, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context));
    WinHttpSetStatusCallback(probe.handle, JudgeProbe, WINHTTP_CALLBACK_FLAG_SEND_REQUEST, 0);
    WinHttpSetTimeouts(probe.handle, connectMs, connectMs, connectMs, connectMs);
    WinHttpSendRequest(probe.handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                       0, 0);
    return {check.reached, check.refused};
}

}  // namespace winhttp
