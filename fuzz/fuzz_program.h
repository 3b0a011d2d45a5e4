// The whole program, headless, loaded once per fuzz process and run against the
// scripted sensor of fake_link.h. Popups are answered at once (confirmations with
// yes, file dialogs with the file SetFileAnswer names), the test clock runs, and a
// wait with nothing left to come moves the clock on and stops a waiting capture or
// recording as the operator would, so no run waits for real time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzprog {

// Loads the panels and runs the start-up once (against a sensor that does not answer).
void StartProgram();
// Directory of this process's scratch files.
const std::string& ScratchDir();
// Before every input: the script, the loop flags, the connection page's message box.
void BeginRun(const std::uint8_t* script, std::size_t size);
// Serial port 1 (transport 0) or the TCP server (1) as the current link, open.
void UseTransport(int transport);
// What the next file dialog chooses: the path, or nothing when empty.
void SetFileAnswer(const std::string& path);
// Writes `size` bytes to `path` (replacing it); false when that failed.
bool WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size);

}  // namespace fuzzprog
