// The scripted sensor behind the serial and TCP stand-ins; see fake_link.h.
#include "fuzz/fake_link.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>

#include "com232/frame_format.h"
#include "com232/rs232.h"
#include "com232/tcp.h"

namespace fakelink {
namespace {

struct Script {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t pos = 0;
  bool pushOnWait = false;
  std::uint8_t lastOrder = 0;
  bool lastOverTcp = false;
  std::vector<std::uint8_t> orders;
};

struct SerialPort {
  bool open = false;
  std::deque<std::uint8_t> in;
  int pendingLineError = 0;
  bool hangUp = false;  // the line hangs up once what was sent has been read
};

struct TcpLink {
  bool open = false;
  unsigned handle = 0;
  TcpCallbackPtr callback = nullptr;
  void* callbackData = nullptr;
  std::deque<std::uint8_t> in;
  bool closeWhenRead = false;
};

Script g_script;
SerialPort g_ports[RS232_MAX_PORT + 1];
TcpLink g_tcp;
unsigned g_nextHandle = 1;
int g_activePort = 1;

int Next() { return g_script.pos < g_script.size ? g_script.data[g_script.pos++] : -1; }

int NextWord() {
  int lo = Next(), hi = Next();
  return (lo < 0 ? 0 : lo) | ((hi < 0 ? 0 : hi) << 8);
}

// The next answer's bytes and whether the line fails after them; false when the script is done.
bool TakeAnswer(std::vector<std::uint8_t>* bytes, bool* fail, bool* gone) {
  int c = Next();
  if (c < 0) return false;
  bytes->clear();
  *fail = (c & 0x40) != 0;
  *gone = (c & 0x20) != 0;
  if (c & 0x80) {
    int n = std::max(Next(), 0);
    for (int i = 0; i < n && g_script.pos < g_script.size; ++i) bytes->push_back(g_script.data[g_script.pos++]);
    return true;
  }
  const auto status = static_cast<std::uint16_t>(NextWord());
  const auto length = static_cast<std::uint16_t>(NextWord());
  // More than the program's buffer is refused by its length alone: no checksum is worked out for it.
  const bool fits = length <= frame::MAX_DATA_LENGTH;
  const std::size_t given = std::min<std::size_t>(length, g_script.size - g_script.pos);
  std::vector<std::uint8_t> body(fits ? length : given, 0);
  if (given > 0) std::memcpy(body.data(), g_script.data + g_script.pos, given);
  g_script.pos += given;
  std::uint8_t header[frame::HEADER_SIZE];
  frame::EncodeHeader(header, (c & 0x01) ? frame::ORDER_STATUS_ANSWER : g_script.lastOrder, status,
                      fits ? body.data() : nullptr, length);
  if (c & 0x04) {
    header[6] ^= 0x5A;
    header[7] = frame::FrameCrc8(header, 0, 7);  // the header itself stays correct
  }
  if (c & 0x02) header[7] ^= 0x01;
  bytes->assign(header, header + frame::HEADER_SIZE);
  bytes->insert(bytes->end(), body.begin(), body.begin() + static_cast<std::ptrdiff_t>(given));
  return true;
}

bool PortOk(int port) { return port >= 1 && port <= RS232_MAX_PORT && g_ports[port].open; }

void NoteOrder(const void* bytes, int count, bool tcp) {
  if (count >= 2) {
    g_script.lastOrder = static_cast<const std::uint8_t*>(bytes)[1];
    g_script.orders.push_back(g_script.lastOrder);
  }
  g_script.lastOverTcp = tcp;
}

}  // namespace

void BeginScript(const std::uint8_t* data, std::size_t size) {
  g_script.data = data;
  g_script.size = size;
  g_script.pos = 0;
  g_script.pushOnWait = false;
  g_script.lastOrder = 0;
  g_script.orders.clear();
  for (SerialPort& p : g_ports) {
    if (!p.in.empty()) p.in.clear();
    p.pendingLineError = 0;
    p.hangUp = false;
  }
  g_tcp.in.clear();
  g_tcp.closeWhenRead = false;
}

bool ScriptDone() { return g_script.pos >= g_script.size; }

std::size_t Queued() { return g_script.lastOverTcp ? g_tcp.in.size() : g_ports[g_activePort].in.size(); }

bool SendNextAnswer() {
  std::vector<std::uint8_t> bytes;
  bool fail = false, gone = false;
  if (!TakeAnswer(&bytes, &fail, &gone)) return false;
  if (g_script.lastOverTcp) {
    if (!g_tcp.open) return true;  // nobody to receive it
    g_tcp.in.insert(g_tcp.in.end(), bytes.begin(), bytes.end());
    if (fail || gone) g_tcp.closeWhenRead = true;
  } else {
    SerialPort& p = g_ports[g_activePort];
    if (p.hangUp) return true;  // a line that hung up carries nothing more
    p.in.insert(p.in.end(), bytes.begin(), bytes.end());
    if (fail) p.pendingLineError = COM_STAT_FRAMING;
    if (gone) p.hangUp = true;
  }
  return true;
}

void SetPushOnWait(bool on) { g_script.pushOnWait = on; }
bool PushOnWait() { return g_script.pushOnWait; }

void ServiceTcp() {
  if (!g_tcp.open || !g_tcp.callback) return;
  const unsigned handle = g_tcp.handle;
  if (!g_tcp.in.empty()) {
    g_tcp.callback(handle, TCP_DATAREADY, 0, g_tcp.callbackData);
    return;
  }
  if (g_tcp.closeWhenRead) {
    g_tcp.closeWhenRead = false;
    g_tcp.open = false;
    g_tcp.callback(handle, TCP_DISCONNECT, TCPE_CONNECTION_CLOSED, g_tcp.callbackData);
  }
}

const std::vector<std::uint8_t>& OrdersSent() { return g_script.orders; }

}  // namespace fakelink

// [SECTION] The serial port

using fakelink::g_activePort;
using fakelink::g_ports;

int OpenComConfig(int port, const char*, long, int parity, int dataBits, int stopBits, int inputQueueSize,
                  int outputQueueSize) {
  if (port < 1 || port > RS232_MAX_PORT) return RS232E_INVALID_PORT;
  if (parity < 0 || parity > 4 || dataBits < 5 || dataBits > 8 || stopBits < 1 || stopBits > 2 ||
      inputQueueSize < 0 || outputQueueSize < 0)
    return RS232E_INVALID_PARAMETER;
  g_ports[port].open = true;
  g_ports[port].in.clear();
  g_ports[port].hangUp = false;
  g_activePort = port;
  return 0;
}

int CloseCom(int port) {
  if (port < 1 || port > RS232_MAX_PORT) return RS232E_INVALID_PORT;
  g_ports[port].open = false;
  return 0;
}

std::string TakeComLatencyNotice(int) { return ""; }  // no adapter behind the stand-in

int SetComTime(int port, double seconds) {
  if (!fakelink::PortOk(port)) return RS232E_PORT_NOT_OPEN;
  return seconds >= 0 ? 0 : RS232E_INVALID_PARAMETER;
}

int SetCTSMode(int port, int) { return fakelink::PortOk(port) ? 0 : RS232E_PORT_NOT_OPEN; }

int FlushInQ(int port) {
  if (!fakelink::PortOk(port)) return RS232E_PORT_NOT_OPEN;
  g_ports[port].in.clear();
  return 0;
}

int FlushOutQ(int port) { return fakelink::PortOk(port) ? 0 : RS232E_PORT_NOT_OPEN; }

int ComWrt(int port, const void* bytes, int count) {
  if (!fakelink::PortOk(port)) return RS232E_PORT_NOT_OPEN;
  if (count < 0 || (count > 0 && !bytes)) return RS232E_INVALID_PARAMETER;
  g_activePort = port;
  fakelink::NoteOrder(bytes, count, false);
  fakelink::SendNextAnswer();
  return count;
}

int ComRd(int port, void* buffer, int count) {
  if (!fakelink::PortOk(port)) return RS232E_PORT_NOT_OPEN;
  if (count < 0 || (count > 0 && !buffer)) return RS232E_INVALID_PARAMETER;
  auto& in = g_ports[port].in;
  const int n = std::min<int>(count, static_cast<int>(in.size()));
  std::copy(in.begin(), in.begin() + n, static_cast<std::uint8_t*>(buffer));
  in.erase(in.begin(), in.begin() + n);
  return n;
}

int GetInQLen(int port) {
  if (!fakelink::PortOk(port)) return RS232E_PORT_NOT_OPEN;
  return static_cast<int>(g_ports[port].in.size());
}

int GetComStat(int port) {
  if (!fakelink::PortOk(port)) return RS232E_PORT_NOT_OPEN;
  // A failure scripted after an answer shows once that answer has been read.
  auto& p = g_ports[port];
  if (!p.in.empty()) return 0;
  const int bits = p.pendingLineError | (p.hangUp ? COM_STAT_HANGUP : 0);
  p.pendingLineError = 0;
  return bits;
}

bool ComLineHungUp(int port) { return fakelink::PortOk(port) && g_ports[port].hangUp && g_ports[port].in.empty(); }

int ComPortDescriptor(int) { return -1; }
const char* LastComOpenDevice() { return ""; }
bool LastComOpenPermissionDenied() { return false; }
std::string ComOpenPermissionHint() { return ""; }

// [SECTION] The TCP client

using fakelink::g_tcp;

void SetTcpNameLookup(TcpNameLookup) {}

int ConnectToTCPServer(unsigned* handle, int portNumber, const char* serverName, TcpCallbackPtr callback,
                       void* callbackData, int) {
  if (!handle || !serverName || portNumber < 1 || portNumber > 65535) return TCPE_INVALID_PARAMETER;
  // The name is read as the real client reads it: up to its terminator.
  const std::string name(serverName);
  if (name.empty()) return TCPE_INVALID_PARAMETER;
  g_tcp.open = true;
  g_tcp.handle = fakelink::g_nextHandle++;
  if (fakelink::g_nextHandle == 0) fakelink::g_nextHandle = 1;
  g_tcp.callback = callback;
  g_tcp.callbackData = callbackData;
  g_tcp.in.clear();
  g_tcp.closeWhenRead = false;
  *handle = g_tcp.handle;
  return 0;
}

int DisconnectFromTCPServer(unsigned handle) {
  if (!g_tcp.open || handle != g_tcp.handle) return TCPE_NO_CONNECTION_ESTABLISHED;
  g_tcp.open = false;
  g_tcp.in.clear();
  return 0;
}

int ClientTCPWrite(unsigned handle, const void* data, int size, int) {
  if (!g_tcp.open || handle != g_tcp.handle) return TCPE_NO_CONNECTION_ESTABLISHED;
  if (size < 0 || (size > 0 && !data)) return TCPE_INVALID_PARAMETER;
  fakelink::NoteOrder(data, size, true);
  fakelink::SendNextAnswer();
  return size;
}

int ClientTCPRead(unsigned handle, void* buffer, int size, int) {
  if (!g_tcp.open || handle != g_tcp.handle) return TCPE_NO_CONNECTION_ESTABLISHED;
  if (size < 0 || (size > 0 && !buffer)) return TCPE_INVALID_PARAMETER;
  if (size == 0) return 0;
  if (g_tcp.in.empty()) return TCPE_TIMEOUT;
  const int n = std::min<int>(size, static_cast<int>(g_tcp.in.size()));
  std::copy(g_tcp.in.begin(), g_tcp.in.begin() + n, static_cast<std::uint8_t*>(buffer));
  g_tcp.in.erase(g_tcp.in.begin(), g_tcp.in.begin() + n);
  return n;
}
