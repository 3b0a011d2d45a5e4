// In-process stand-ins for the serial port and the TCP client, used by the fuzz
// targets in place of com232/rs232.cpp and com232/tcp.cpp. Behind both sits one
// scripted sensor: its answers come from the fuzz input, one after the other.
//
// Answer stream: a sequence of answers, each starting with a control byte c.
//   c & 0x80: raw answer, one length byte n, then n bytes sent as they are.
//   otherwise a built answer: status word (2 bytes, low first), declared data
//     length L (2 bytes), then min(L, what is left) data bytes. The header echoes
//     the last order (a status answer when c & 0x01) and carries correct
//     checksums over L bytes (missing bytes count as zero) unless c & 0x02
//     (header checksum wrong) or c & 0x04 (data checksum wrong).
//   c & 0x40: after this answer the line fails: a line error on the serial port,
//     the server's close over TCP.
//   c & 0x20: after this answer the device is gone: the serial line hangs up (until
//     the port is opened again), the server closes.
// An answer is sent when an order goes out and, while PushOnWait is set, whenever
// the program waits (frames the sensor sends on its own).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fakelink {

// Starts a new script; the queues and pending failures are cleared.
void BeginScript(const std::uint8_t* data, std::size_t size);
// No answer is left in the script.
bool ScriptDone();
// Bytes waiting on the active transport.
std::size_t Queued();
// Sends the next answer of the script on the transport the last order used; false when none is left.
bool SendNextAnswer();
// Answers are also sent while the program waits (see above).
void SetPushOnWait(bool on);
bool PushOnWait();
// Offers waiting TCP bytes (or the server's close) to the connection's callback, as a dispatch would.
void ServiceTcp();
// Orders the program sent since BeginScript (first bytes of every write).
const std::vector<std::uint8_t>& OrdersSent();

}  // namespace fakelink
