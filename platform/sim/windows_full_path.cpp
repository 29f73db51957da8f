// GetFullPathNameA: a name made whole against the current directory C:\work
// (the file sandbox's), with "." and ".." resolved and the given case kept.
// Nothing is looked up on disk: the file need not exist.
#include <cctype>
#include <cstring>
#include <vector>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

const char kCurrentDrive[] = "C:";
const char* const kCurrentDirectory[] = {"work"};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows drops the dots and blanks that end a name ("file." is "file").
void AddComponent(std::vector<std::string>& parts, std::string component) {
  if (component == "..") {
    if (!parts.empty()) parts.pop_back();
    return;
  }
  if (component == ".") return;
  while (!component.empty() && (component.back() == '.' || component.back() == ' ')) component.pop_back();
  if (!component.empty()) parts.push_back(component);
}

struct FullPath {
  std::string text;
  size_t filePart = std::string::npos;  // where the last name starts; npos after a final separator
};

FullPath MakeFullPath(const std::string& name) {
  std::string root = kCurrentDrive;
  std::vector<std::string> parts;
  size_t at = 0;
  const bool hasDrive = name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
  if (hasDrive) {
    root = name.substr(0, 2);
    at = 2;
  }
  const bool rooted = at < name.size() && IsSeparator(name[at]);
  if (!hasDrive && name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) {
    // \\server\share: the share is the root, and ".." stops there.
    const size_t server = name.find_first_of("\\/", 2);
    const size_t share = server == std::string::npos ? std::string::npos : name.find_first_of("\\/", server + 1);
    at = share == std::string::npos ? name.size() : share;
    root = name.substr(0, at);
    for (char& c : root) {
      if (IsSeparator(c)) c = '\\';
    }
  } else if (!rooted && (!hasDrive || root == "C:" || root == "c:")) {
    root = kCurrentDrive;
    parts.assign(std::begin(kCurrentDirectory), std::end(kCurrentDirectory));
  }

  std::string component;
  bool endsWithSeparator = false;
  for (; at < name.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(name[at]);
    endsWithSeparator = false;
    if (detail::IsAnsiLeadByte(c) && at + 1 < name.size()) {
      component += name[at];
      component += name[++at];
    } else if (IsSeparator(static_cast<char>(c))) {
      AddComponent(parts, component);
      component.clear();
      endsWithSeparator = true;
    } else {
      component += static_cast<char>(c);
    }
  }
  AddComponent(parts, component);

  FullPath full;
  full.text = root;
  for (const std::string& part : parts) {
    full.text += "\\";
    full.filePart = full.text.size();
    full.text += part;
  }
  if (parts.empty() || endsWithSeparator) {
    full.text += "\\";
    full.filePart = std::string::npos;
  }
  return full;
}

}  // namespace
}  // namespace sim

using namespace sim::detail;

// The length without the terminating zero; when the buffer is too small, the
// size it needs with the zero, and nothing is written.
extern "C" DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                         LPSTR* lpFilePart) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetFullPathNameA", JoinArgs({ArgString(lpFileName), ArgDec(nBufferLength),
                                                             ArgPointer(lpBuffer), ArgPointer(lpFilePart)}))) {
    return FailWin32(*failure, 0u);
  }
  if (lpFileName == nullptr) return FailWin32(ERROR_INVALID_NAME, 0u);
  if (*lpFileName == '\0') return 0;  // no full path, and the last error stays as it was
  const sim::FullPath full = sim::MakeFullPath(lpFileName);
  const DWORD length = static_cast<DWORD>(full.text.size());
  if (lpBuffer == nullptr || nBufferLength <= length) return length + 1;
  std::memcpy(lpBuffer, full.text.c_str(), full.text.size() + 1);
  if (lpFilePart != nullptr) {
    *lpFilePart = full.filePart == std::string::npos ? nullptr : lpBuffer + full.filePart;
  }
  return length;
}

namespace sim {
namespace {
std::string g_reportedDirectory;  // empty: the sandbox's own current directory
void ResetReportedDirectory() { g_reportedDirectory.clear(); }
const bool kResetRegistered = detail::AddResetHook(ResetReportedDirectory);
}  // namespace

void SetReportedCurrentDirectory(const std::string& windowsPath) {
  auto lock = detail::LockSimulation();
  g_reportedDirectory = windowsPath;
}
}  // namespace sim

// Like GetFullPathNameA: the length without the zero, or the size needed with it.
extern "C" DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetCurrentDirectoryA", JoinArgs({ArgDec(nBufferLength), ArgPointer(lpBuffer)}))) {
    return FailWin32(*failure, 0u);
  }
  std::string directory = sim::g_reportedDirectory;
  if (directory.empty()) {
    directory = sim::kCurrentDrive;
    for (const char* part : sim::kCurrentDirectory) directory += std::string("\\") + part;
  }
  const DWORD length = static_cast<DWORD>(directory.size());
  if (lpBuffer == nullptr || nBufferLength <= length) return length + 1;
  std::memcpy(lpBuffer, directory.c_str(), directory.size() + 1);
  return length;
}
