// Serial port numbering over /dev; see port_map.h for the rules.
#include "com232/port_map.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Device families in the order their ports are numbered.
constexpr const char* kFamilies[] = {"ttyUSB", "ttyACM", "ttyS"};

struct FoundDevice {
  int family;      // index into kFamilies
  long number;     // the <n> of the name
  std::string name;
};

struct SearchDirectories {
  std::string dev = "/dev", sys = "/sys";
};

SearchDirectories& Searched() {
  static SearchDirectories dirs;
  return dirs;
}

std::map<int, std::string>& Overrides() {
  static std::map<int, std::string> overrides;  // port number -> path, set by tests
  return overrides;
}

// Splits "ttyUSB12" into family and number; false for other names
// ("ttyUSB", "ttyS0.lock", "ttySAC0").
bool ParseDeviceName(const std::string& name, FoundDevice* out) {
  for (int f = 0; f < static_cast<int>(std::size(kFamilies)); ++f) {
    std::string prefix = kFamilies[f];
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    std::string digits = name.substr(prefix.size());
    auto isDigit = [](unsigned char c) { return std::isdigit(c) != 0; };
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), isDigit)) return false;
    *out = FoundDevice{f, std::stol(digits), name};
    return true;
  }
  return false;
}

// A ttyS node exists for every possible on-board port; the serial core reports
// type 0 (no UART) for the ones without hardware. Without sysfs information
// the port is kept.
bool HasUart(const std::string& sysDir, const std::string& name) {
  std::ifstream in(sysDir + "/class/tty/" + name + "/type");
  int type = -1;
  if (!(in >> type)) return true;
  return type != 0;
}

fs::path Resolved(const fs::path& p) {
  std::error_code ec;
  fs::path r = fs::weakly_canonical(p, ec);
  return ec ? p.lexically_normal() : r;
}

// by-id link name per resolved device path; the first name in sorted order wins
// when one device has several links (one per interface).
std::map<std::string, std::string> StableNames(const std::string& devDir) {
  std::map<std::string, std::string> names;
  fs::path byId = fs::path(devDir) / "serial" / "by-id";
  std::error_code ec;
  std::vector<fs::path> links;
  for (const auto& entry : fs::directory_iterator(byId, ec)) links.push_back(entry.path());
  std::sort(links.begin(), links.end());
  for (const fs::path& link : links) {
    fs::path target = fs::read_symlink(link, ec);
    if (ec) continue;
    if (target.is_relative()) target = byId / target;
    names.emplace(Resolved(target).string(), link.filename().string());
  }
  return names;
}

}  // namespace

std::string ComPortDisplayText(int port, const std::string& device, const std::string& stableName) {
  std::string text = "COM" + std::to_string(port) + ": " + device;
  if (!stableName.empty()) text += " (" + stableName + ")";
  return text;
}

std::vector<ComPortInfo> ListComPortsIn(const std::string& devDir, const std::string& sysDir) {
  std::vector<FoundDevice> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(devDir, ec)) {
    FoundDevice d;
    std::string name = entry.path().filename().string();
    if (!ParseDeviceName(name, &d)) continue;
    if (kFamilies[d.family] == std::string("ttyS") && !HasUart(sysDir, name)) continue;
    found.push_back(d);
  }
  std::sort(found.begin(), found.end(), [](const FoundDevice& a, const FoundDevice& b) {
    return a.family != b.family ? a.family < b.family : a.number < b.number;
  });

  std::map<std::string, std::string> stable = StableNames(devDir);
  std::vector<ComPortInfo> ports;
  for (const FoundDevice& d : found) {
    ComPortInfo info;
    info.port = static_cast<int>(ports.size()) + 1;
    info.device = (fs::path(devDir) / d.name).string();
    auto it = stable.find(Resolved(info.device).string());
    if (it != stable.end()) info.stableName = it->second;
    info.displayText = ComPortDisplayText(info.port, info.device, info.stableName);
    ports.push_back(info);
  }
  return ports;
}

std::vector<ComPortInfo> ListComPorts() {
  std::vector<ComPortInfo> ports = ListComPortsIn(Searched().dev, Searched().sys);
  for (const auto& [port, path] : Overrides()) {
    ComPortInfo info{port, path, "", ComPortDisplayText(port, path, "")};
    auto it = std::find_if(ports.begin(), ports.end(), [&info](const ComPortInfo& p) { return p.port == info.port; });
    if (it != ports.end())
      *it = info;
    else
      ports.push_back(info);
  }
  std::sort(ports.begin(), ports.end(), [](const ComPortInfo& a, const ComPortInfo& b) { return a.port < b.port; });
  return ports;
}

std::string ComPortDevice(int port) {
  auto it = Overrides().find(port);
  if (it != Overrides().end()) return it->second;
  if (port < 1) return "";
  std::vector<ComPortInfo> ports = ListComPortsIn(Searched().dev, Searched().sys);
  return port <= static_cast<int>(ports.size()) ? ports[port - 1].device : "";
}

void SetComPortSearchDirectories(const std::string& devDir, const std::string& sysDir) {
  Searched().dev = devDir.empty() ? "/dev" : devDir;
  Searched().sys = sysDir.empty() ? "/sys" : sysDir;
}

const std::string& ComPortSysDirectory() { return Searched().sys; }

void SetComPortDevice(int port, const std::string& path) {
  if (path.empty())
    Overrides().erase(port);
  else
    Overrides()[port] = path;
}

void ClearComPortDevices() { Overrides().clear(); }
