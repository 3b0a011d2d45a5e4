// TCP client connections over POSIX sockets, with the names and results the
// program logic relies on.
//
// A connection's events reach its callback only while the runtime dispatches
// (ProcessSystemEvents, on the user-interface thread), through a descriptor
// watch:
//   TCP_DATAREADY  bytes are waiting. Level-triggered: bytes the callback
//                  leaves unread are offered again at the next dispatch.
//   TCP_DISCONNECT the server closed the connection or it broke; given once,
//                  after the bytes that were still waiting have been offered.
//                  The handle is dead when the callback runs.
// Sockets carry TCP_NODELAY: every order goes out at once, not after the
// acknowledgement of the previous segment.
//
// Results: 0 or more on success, a negative TCPE_ code on failure.
#pragma once

constexpr int TCP_DATAREADY = 1;
constexpr int TCP_DISCONNECT = 2;

// xType is TCP_DATAREADY or TCP_DISCONNECT; errCode is 0, or for a broken
// connection the TCPE_ code of the failure. The return value is ignored.
using TcpCallbackPtr = int (*)(unsigned handle, int xType, int errCode, void* callbackData);

// The host-name lookup, with getaddrinfo()'s arguments and results; it runs on
// a thread of its own. Tests put one in place whose name server never answers.
struct addrinfo;
using TcpNameLookup = int (*)(const char* node, const char* service, const addrinfo* hints, addrinfo** result);
void SetTcpNameLookup(TcpNameLookup lookup);  // nullptr: getaddrinfo

// Error codes, named as the program's messages name them. How system errors map:
//   ECONNREFUSED                               -> TCPE_FAILED_TO_CONNECT
//   ENETUNREACH, EHOSTUNREACH, EHOSTDOWN,
//   EADDRNOTAVAIL, EACCES, EPERM, ECONNRESET,
//   name server unreachable (EAI_AGAIN/FAIL)   -> TCPE_UNABLE_TO_ESTABLISH_CONNECTION
//   ETIMEDOUT, the caller's time limit         -> TCPE_TIMEOUT
//   unknown service, port outside 1..65535,
//   null pointers, negative sizes              -> TCPE_INVALID_PARAMETER
//   unknown host (EAI_NONAME/NODATA)           -> TCPE_CONNECTION_FAILED
//   ENOMEM, ENOBUFS, EAI_MEMORY                -> TCPE_OUT_OF_MEMORY
//   EMFILE, ENFILE                             -> TCPE_TOO_MANY_CONVERSATIONS
//   ENETDOWN                                   -> TCPE_NETWORK_NOT_READY
//   a read or write on a closed or reset link  -> TCPE_CONNECTION_CLOSED
//   other read / write errors                  -> TCPE_READ_FAILED / TCPE_WRITE_FAILED
//   a handle that is not (or no longer) open   -> TCPE_NO_CONNECTION_ESTABLISHED
//   socket option or watch failures            -> TCPE_GENERAL_IO
//   anything else                              -> TCPE_CONNECTION_FAILED
constexpr int TCPE_UNABLE_TO_ESTABLISH_CONNECTION = -2;
constexpr int TCPE_FAILED_TO_CONNECT = -4;
constexpr int TCPE_TOO_MANY_CONVERSATIONS = -6;
constexpr int TCPE_READ_FAILED = -7;
constexpr int TCPE_WRITE_FAILED = -8;
constexpr int TCPE_INVALID_PARAMETER = -9;
constexpr int TCPE_OUT_OF_MEMORY = -10;
constexpr int TCPE_TIMEOUT = -11;
constexpr int TCPE_NO_CONNECTION_ESTABLISHED = -12;
constexpr int TCPE_GENERAL_IO = -13;
constexpr int TCPE_CONNECTION_CLOSED = -14;
constexpr int TCPE_NETWORK_NOT_READY = -17;
constexpr int TCPE_CONNECTION_FAILED = -21;

constexpr int TCP_DEFAULT_CONNECT_TIMEOUT_MS = 5000;  // used when timeoutMs <= 0

// Connects to serverName (host name or IPv4/IPv6 address) on portNumber within
// timeoutMs in all: the name's lookup, then each resolved address in turn. A
// numeric address resolves at once; a host name is looked up on a thread of its
// own while events are served, and a lookup that has not answered when the
// limit runs out gives TCPE_TIMEOUT. On success *handle is the new
// connection's handle (never 0) and 0 is returned.
int ConnectToTCPServer(unsigned* handle, int portNumber, const char* serverName, TcpCallbackPtr callback,
                       void* callbackData, int timeoutMs);
// Closes the connection; its callback is not called.
int DisconnectFromTCPServer(unsigned handle);
// Sends `size` bytes, waiting at most timeoutMs for room; the number sent
// (fewer when the time ran out after some were sent).
int ClientTCPWrite(unsigned handle, const void* data, int size, int timeoutMs);
// Reads what is waiting, at most `size` bytes, waiting at most timeoutMs for
// the first byte; the number read. 0 when size is 0; TCPE_TIMEOUT when no
// byte came in time; TCPE_CONNECTION_CLOSED after the server's last byte.
int ClientTCPRead(unsigned handle, void* buffer, int size, int timeoutMs);
