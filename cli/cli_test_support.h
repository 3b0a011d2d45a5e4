// Runs chromik4-ana-cli as a child process for the tests, with its standard output and
// error captured, every wait bounded, and SIGINT on request.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/file_bytes_test.h"
#include "sim/sensor_sim.h"

namespace clitest {

#ifndef CHROMIK_CLI_PATH
#error "CHROMIK_CLI_PATH names the program under test"
#endif

struct CliResult {
  int status = -1;     // exit status, or 128 + the signal that ended it
  std::string out;     // standard output
  std::string err;     // standard error
  double seconds = 0;  // from start to end
};

class CliProcess {
 public:
  // Starts `program` (default: the one under test) with `args`; `env` entries "NAME=value"
  // are added to the environment (an entry "NAME=" removes NAME).
  explicit CliProcess(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                      const std::string& program = CHROMIK_CLI_PATH) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) std::abort();
    start_ = std::chrono::steady_clock::now();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      dup2(err[1], 2);
      for (const std::string& e : env) {
        const std::size_t eq = e.find('=');
        if (eq + 1 == e.size()) unsetenv(e.substr(0, eq).c_str());
        else setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
      }
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
  }
  ~CliProcess() {
    if (pid_ > 0 && !done_) {
      kill(pid_, SIGKILL);
      Wait(5.0);
    }
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  void Signal(int sig) { kill(pid_, sig); }
  const std::string& OutSoFar() {
    Drain(0);
    return result_.out;
  }
  // Waits for the end, at most `bound` seconds (then the child is killed: status 128 + 9).
  CliResult Wait(double bound = 60.0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(bound);
    while (outFd_ >= 0 || errFd_ >= 0) {
      const auto left = std::chrono::duration<double>(end - std::chrono::steady_clock::now()).count();
      if (left <= 0) {
        kill(pid_, SIGKILL);
        break;
      }
      Drain(static_cast<int>(left * 1000) + 1 > 100 ? 100 : static_cast<int>(left * 1000) + 1);
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    Drain(0);
    done_ = true;
    result_.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    return result_;
  }

 private:
  void Drain(int timeoutMs) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (poll(fds, 2, timeoutMs) <= 0) return;
    int* fd[2] = {&outFd_, &errFd_};
    std::string* text[2] = {&result_.out, &result_.err};
    for (int i = 0; i < 2; ++i) {
      if (*fd[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buf[65536];
      const ssize_t n = read(*fd[i], buf, sizeof buf);
      if (n > 0) {
        text[i]->append(buf, static_cast<std::size_t>(n));
      } else if (n == 0) {
        close(*fd[i]);
        *fd[i] = -1;
      }
    }
  }
  pid_t pid_ = -1;
  int outFd_ = -1, errFd_ = -1;
  bool done_ = false;
  CliResult result_;
  std::chrono::steady_clock::time_point start_;
};

inline CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
  CliProcess p(args, env);
  return p.Wait();
}

// A simulator of its own for one test, on TCP or a pseudo-terminal.
inline std::unique_ptr<sim::SensorSim> StartSim(bool serial, sim::SimConfig config = {}) {
  config.transport = serial ? sim::Transport::Pty : sim::Transport::Tcp;
  config.port = 0;
  auto s = std::make_unique<sim::SensorSim>(config);
  if (!s->Start()) std::abort();
  return s;
}

// The connection options that reach `sim`.
inline std::vector<std::string> Reach(const sim::SensorSim& sim, bool serial) {
  if (serial) return {"--serial", sim.SlavePath()};
  return {"--tcp", "127.0.0.1:" + std::to_string(sim.Port())};
}

inline std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// (order, parameter word) of every order the simulator received.
inline std::vector<std::pair<int, int>> Orders(const sim::SensorSim& sim) {
  std::vector<std::pair<int, int>> out;
  for (const auto& o : sim.Orders()) out.emplace_back(o.order, o.param);
  return out;
}

using testfiles::FileBytes;

inline bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A scratch folder removed again at the end of the test.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/chromik-cli-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() {
    const std::string cmd = "chmod -R u+w '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    (void)std::system(cmd.c_str());
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Replaces the first line beginning with `key` + " = " by `key = value`.
inline std::string SetItem(std::string ini, const std::string& key, const std::string& value) {
  const std::size_t at = ini.find("\r\n" + key + " = ");
  if (at == std::string::npos) return ini;
  const std::size_t end = ini.find("\r\n", at + 2);
  return ini.replace(at + 2, end - at - 2, key + " = " + value);
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace clitest
