// The folder on the host that stands for the machine's disks, and the mapping
// of Windows paths into it: "C:\Dir\F.txt" is <root>/c/dir/f.txt. Windows
// names are case-insensitive, so everything is mapped in lower case.
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "sim/sim_internal.h"

namespace fs = std::filesystem;

namespace sim {
namespace {

// The current directory of the simulated process, as path components under drive C.
const char* const kCurrentDirectory[] = {"work"};
const char* const kSystemDirectory[] = {"windows", "system"};

std::string g_root;      // empty until first use
pid_t g_rootOwner = 0;   // a forked child (death tests) must not remove its parent's sandbox

void RemoveSandbox() {
  if (g_root.empty() || getpid() != g_rootOwner) return;
  std::error_code ignored;
  fs::remove_all(g_root, ignored);
}

void MakeBootFolders() {
  fs::path work = fs::path(g_root) / "c";
  for (const char* part : kCurrentDirectory) work /= part;
  fs::path system = fs::path(g_root) / "c";
  for (const char* part : kSystemDirectory) system /= part;
  fs::create_directories(work);
  fs::create_directories(system);
}

// Code page 932 lead bytes: the byte after one belongs to the same character
// and may look like a backslash or a capital letter.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsForbiddenInName(unsigned char c) { return c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr; }

void AddComponent(std::vector<std::string>& parts, std::string& component) {
  if (component == "..") {
    if (!parts.empty()) parts.pop_back();
  } else if (!component.empty() && component != ".") {
    parts.push_back(component);
  }
  component.clear();
}

}  // namespace

namespace detail {

const std::string& SandboxRoot() {
  if (g_root.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kr-sim-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("kr_platform: cannot create the file sandbox");
      std::abort();
    }
    g_root = pattern;
    g_rootOwner = getpid();
    std::atexit(RemoveSandbox);
    MakeBootFolders();
  }
  return g_root;
}

void ResetSandbox() {
  if (g_root.empty()) return;  // made in its boot state on first use
  for (const fs::directory_entry& entry : fs::directory_iterator(g_root)) fs::remove_all(entry.path());
  MakeBootFolders();
}

MappedPath MapWindowsPath(const char* windowsPath) {
  MappedPath mapped;
  if (windowsPath == nullptr || *windowsPath == '\0') {
    mapped.error = ERROR_PATH_NOT_FOUND;
    return mapped;
  }
  const std::string path = windowsPath;
  char drive = 'c';
  size_t at = 0;
  std::vector<std::string> parts;
  const bool hasDrive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
  if (hasDrive) {
    drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    at = 2;
  }
  const bool rooted = at < path.size() && IsSeparator(path[at]);
  if (!hasDrive && rooted && path.size() > 1 && IsSeparator(path[1])) {
    mapped.error = ERROR_PATH_NOT_FOUND;  // a network name: the machine has no network shares
    return mapped;
  }
  if (!rooted && drive == 'c') parts.assign(std::begin(kCurrentDirectory), std::end(kCurrentDirectory));

  std::string component;
  for (; at < path.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(path[at]);
    mapped.endsWithSeparator = false;
    if (IsLeadByte(c) && at + 1 < path.size()) {
      component += path[at];
      component += path[++at];
    } else if (IsSeparator(static_cast<char>(c))) {
      AddComponent(parts, component);
      mapped.endsWithSeparator = true;
    } else if (IsForbiddenInName(c)) {
      mapped.error = ERROR_INVALID_NAME;
      return mapped;
    } else {
      component += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
  }
  AddComponent(parts, component);

  mapped.host = SandboxRoot() + "/" + drive;
  for (const std::string& part : parts) mapped.host += "/" + part;
  return mapped;
}

}  // namespace detail

std::string FileRoot() {
  auto lock = detail::LockSimulation();
  return detail::SandboxRoot();
}

std::string HostPath(const std::string& windowsPath) {
  auto lock = detail::LockSimulation();
  return detail::MapWindowsPath(windowsPath.c_str()).host;
}

bool FileExists(const std::string& windowsPath) {
  const std::string host = HostPath(windowsPath);
  std::error_code ignored;
  return !host.empty() && fs::is_regular_file(host, ignored);
}

namespace {

// The test helpers take only valid names: a typo should stop the test, not pass silently.
std::string HostPathForTest(const std::string& windowsPath) {
  std::string host = HostPath(windowsPath);
  if (host.empty()) throw std::invalid_argument("not a Windows path: " + windowsPath);
  return host;
}

}  // namespace

std::string ReadWholeFile(const std::string& windowsPath) {
  std::ifstream in(HostPathForTest(windowsPath), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Makes the folders on the way, so that a test can lay out files in one call.
void WriteWholeFile(const std::string& windowsPath, const std::string& bytes) {
  const fs::path host = HostPathForTest(windowsPath);
  fs::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void MakeDirectory(const std::string& windowsPath) { fs::create_directories(HostPathForTest(windowsPath)); }

}  // namespace sim
