// Bare request/answer loops, the reference of the benchmarks: what the link itself carries
// without the program (order 8 out, the whole answer in, again).
#pragma once

#include <cstdint>
#include <string>

// Over loopback TCP to `port`, waiting busily for each answer; exchanges per second.
double BareLoopRate(std::uint16_t port, double seconds);
// On a serial line (the simulator's pseudo-terminal) at 115200 baud, poll() for each answer;
// the same wire timing applies as for the program. Exchanges per second.
double BareSerialRate(const std::string& device, double seconds);
