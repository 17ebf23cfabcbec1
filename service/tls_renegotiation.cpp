#include "service/tls_renegotiation.h"

#include <gnutls/gnutls.h>
#include <microhttpd.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace svc {

namespace {

constexpr uint8_t kHandshakeRecord = 22;
constexpr size_t kRecordHeaderBytes = 5;

// The connection's socket and where the client's record stream stands once its first
// handshake has finished.
struct Watch {
    int fd = -1;
    size_t headerFill = 0;  // bytes of the current record header seen so far
    uint8_t header[kRecordHeaderBytes] = {};
    size_t bodyLeft = 0;  // bytes of the current record's body still to come
    bool refused = false;
};

// Walks the bytes just read; true when one of them starts a handshake record.
bool StartsHandshake(Watch& watch, const uint8_t* data, size_t size) {
    bool handshake = false;
    for (size_t i = 0; i < size;) {
        if (watch.bodyLeft > 0) {
            const size_t skip = size - i < watch.bodyLeft ? size - i : watch.bodyLeft;
            watch.bodyLeft -= skip;
            i += skip;
            continue;
        }
        watch.header[watch.headerFill++] = data[i++];
        if (watch.headerFill == kRecordHeaderBytes) {
            watch.headerFill = 0;
            watch.bodyLeft = static_cast<size_t>(watch.header[3]) << 8 | watch.header[4];
            handshake = handshake || watch.header[0] == kHandshakeRecord;
        }
    }
    return handshake;
}

ssize_t Pull(gnutls_transport_ptr_t context, void* buffer, size_t size) {
    Watch& watch = *static_cast<Watch*>(context);
    if (watch.refused) {
        errno = ECONNRESET;
        return -1;
    }
    const ssize_t got = recv(watch.fd, buffer, size, 0);
    if (got > 0 &&
        StartsHandshake(watch, static_cast<const uint8_t*>(buffer), static_cast<size_t>(got))) {
        watch.refused = true;
        errno = ECONNRESET;
        return -1;
    }
    return got;
}

// Once refused, nothing more is written: no close_notify follows.
ssize_t Push(gnutls_transport_ptr_t context, const void* data, size_t size) {
    Watch& watch = *static_cast<Watch*>(context);
    if (watch.refused) {
        errno = EPIPE;
        return -1;
    }
    return send(watch.fd, data, size, MSG_NOSIGNAL);
}

int PullTimeout(gnutls_transport_ptr_t context, unsigned int ms) {
    pollfd ready{static_cast<Watch*>(context)->fd, POLLIN, 0};
    return poll(&ready, 1, ms == GNUTLS_INDEFINITE_TIMEOUT ? -1 : static_cast<int>(ms));
}

// Once the client's Finished has been read, its records go through the watch.
int OnFinished(gnutls_session_t session, unsigned, unsigned, unsigned incoming,
               const gnutls_datum_t*) {
    if (incoming) {
        gnutls_transport_set_ptr(session, gnutls_session_get_ptr(session));
        gnutls_transport_set_pull_function(session, Pull);
        gnutls_transport_set_pull_timeout_function(session, PullTimeout);
        gnutls_transport_set_push_function(session, Push);
    }
    return 0;
}

}  // namespace

void* WatchForRenegotiation(MHD_Connection* connection) {
    const MHD_ConnectionInfo* tls =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_GNUTLS_SESSION);
    const MHD_ConnectionInfo* socket =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (!tls || !tls->tls_session || !socket) {
        return nullptr;
    }
    auto* watch = new Watch;
    watch->fd = socket->connect_fd;
    const auto session = static_cast<gnutls_session_t>(tls->tls_session);
    gnutls_session_set_ptr(session, watch);
    gnutls_handshake_set_hook_function(session, GNUTLS_HANDSHAKE_FINISHED, GNUTLS_HOOK_POST,
                                       OnFinished);
    return watch;
}

void StopWatching(void* watch) {
    delete static_cast<Watch*>(watch);
}

}  // namespace svc
