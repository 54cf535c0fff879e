// lmq_result.h - the result codes of the in-house HTTP library, each with one
// name.
//
// These are the library's own small numbers (0 success), not program status
// codes: the socket transport turns them into status codes at its edge.
// Numbers marked "reserved" are never produced here but are part of the
// vocabulary that the transport maps.
#pragma once

using LmqResult = int;

constexpr LmqResult LMQ_OK = 0;
constexpr LmqResult LMQ_E_FILE = 2;                  // output file could not be opened, written or closed
constexpr LmqResult LMQ_E_INVALID_ARG = 3;           // invalid argument or missing request
constexpr LmqResult LMQ_E_SOCKET_CREATE = 16;
constexpr LmqResult LMQ_E_RESERVED_17 = 17;
constexpr LmqResult LMQ_E_BIND = 18;                 // local bind failed
constexpr LmqResult LMQ_E_CONNECT = 19;              // connect refused or failed
constexpr LmqResult LMQ_E_CONNECT_WAIT = 20;         // waiting for the connect failed
constexpr LmqResult LMQ_E_CONNECT_TIMEOUT = 21;
constexpr LmqResult LMQ_E_WAIT = 24;                 // waiting for data failed
constexpr LmqResult LMQ_E_TIMEOUT = 25;              // nothing to read within the time-out
constexpr LmqResult LMQ_E_NOT_CONNECTED = 26;        // not connected, or the peer closed
constexpr LmqResult LMQ_E_BODY_TOO_LARGE = 27;       // over the maximum body size, or too long to frame
constexpr LmqResult LMQ_E_INVALID_STATE = 34;
constexpr LmqResult LMQ_E_CHUNK_FRAMING = 80;        // malformed chunked framing
constexpr LmqResult LMQ_E_LOCAL_ADDRESS = 178;       // local address could not be read
constexpr LmqResult LMQ_E_RESERVED_190 = 190;
constexpr LmqResult LMQ_E_RESERVED_192 = 192;
constexpr LmqResult LMQ_E_SEND = 196;
constexpr LmqResult LMQ_E_RECEIVE = 197;
constexpr LmqResult LMQ_E_RESERVED_202 = 202;
constexpr LmqResult LMQ_E_RESERVED_203 = 203;
constexpr LmqResult LMQ_E_CONNECT_CLOSED = 233;      // a CONNECT request found the connection closed
constexpr LmqResult LMQ_E_ADDRESS = 234;             // address could not be parsed or resolved
constexpr LmqResult LMQ_E_TUNNEL_REFUSED = 235;
constexpr LmqResult LMQ_E_PROXY_405 = 236;
constexpr LmqResult LMQ_E_PROXY_407 = 237;
constexpr LmqResult LMQ_E_PROXY_403 = 238;
constexpr LmqResult LMQ_E_RESERVED_262 = 262;
constexpr LmqResult LMQ_E_HEAD_TIMEOUT = 267;        // the response head did not arrive in time
constexpr LmqResult LMQ_E_HEAD_TOO_LARGE = 268;      // the response head is longer than the library accepts
