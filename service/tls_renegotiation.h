// Refuses a client's request to renegotiate a TLS 1.2 session. The HTTP library closes such a
// connection with an orderly close_notify, which a client (and a scanner) takes for a finished
// exchange; so once the first handshake has finished, the connection's records are watched as
// they arrive, and on a handshake record the connection is cut without close_notify: the
// client's renegotiation fails with an error, and nothing more is read from it.
#pragma once

struct MHD_Connection;

namespace svc {

// Starts watching the TLS connection `connection`; gives the state to hand to StopWatching
// when the connection closes (null for a connection without TLS).
void* WatchForRenegotiation(MHD_Connection* connection);
void StopWatching(void* watch);

}  // namespace svc
