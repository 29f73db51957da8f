// The system directory, private profile (INI) files read from the sandbox,
// the active window and the end of the process.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "sim/gdi_internal.h"

using namespace sim::detail;

namespace sim {
namespace {

const char kBootSystemDirectory[] = "C:\\WINDOWS\\SYSTEM";

std::string g_systemDirectory = kBootSystemDirectory;
HWND g_activeWindow = nullptr;

void ResetSystemSettings() {
  g_systemDirectory = kBootSystemDirectory;
  g_activeWindow = nullptr;
}
const bool kRegistered = AddResetHook(ResetSystemSettings);

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The value of section/key in the INI text, or false when either is missing.
// Names compare without regard to case; a value in matching quotes loses them.
bool FindProfileValue(const std::string& text, const char* section, const char* key, std::string* value) {
  std::istringstream lines(text);
  std::string line;
  bool inSection = false;
  while (std::getline(lines, line)) {
    const std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed[0] == '[') {
      const size_t close = trimmed.find(']');
      inSection = SameName(Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos || !SameName(Trim(trimmed.substr(0, equals)), key)) continue;
    std::string found = Trim(trimmed.substr(equals + 1));
    if (found.size() >= 2 && (found.front() == '"' || found.front() == '\'') && found.back() == found.front()) {
      found = found.substr(1, found.size() - 2);
    }
    *value = found;
    return true;
  }
  return false;
}

}  // namespace

void SetSystemDirectory(const std::string& windowsPath) {
  auto lock = LockSimulation();
  g_systemDirectory = windowsPath;
}

void SetActiveWindowForTest(HWND window) {
  auto lock = LockSimulation();
  g_activeWindow = window;
}

}  // namespace sim

extern "C" UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetSystemDirectoryA", JoinArgs({ArgPointer(lpBuffer), ArgDec(uSize)}))) {
    return FailWin32(*failure, 0u);
  }
  const std::string& directory = sim::g_systemDirectory;
  // Too small a buffer: nothing copied, the size needed (terminator included) returned.
  if (lpBuffer == nullptr || uSize <= directory.size()) return static_cast<UINT>(directory.size() + 1);
  std::memcpy(lpBuffer, directory.c_str(), directory.size() + 1);
  return static_cast<UINT>(directory.size());
}

// Sections and keys named; the value (or the default) cut to nSize - 1 characters.
extern "C" DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                                  LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetPrivateProfileStringA",
                               JoinArgs({ArgString(lpAppName), ArgString(lpKeyName), ArgString(lpDefault),
                                         ArgPointer(lpReturnedString), ArgDec(nSize), ArgString(lpFileName)}))) {
    return FailWin32(*failure, 0u);
  }
  if (lpReturnedString == nullptr || nSize == 0) return 0;
  std::string value = sim::Trim(lpDefault != nullptr ? lpDefault : "");
  if (lpAppName != nullptr && lpKeyName != nullptr && lpFileName != nullptr) {
    const std::string host = sim::HostPath(lpFileName);
    std::ifstream in(host, std::ios::binary);
    if (!host.empty() && in) {
      std::ostringstream bytes;
      bytes << in.rdbuf();
      std::string found;
      if (sim::FindProfileValue(bytes.str(), lpAppName, lpKeyName, &found)) value = found;
    }
  }
  const size_t length = value.size() < nSize - 1 ? value.size() : nSize - 1;
  std::memcpy(lpReturnedString, value.data(), length);
  lpReturnedString[length] = '\0';
  return static_cast<DWORD>(length);
}

extern "C" HWND WINAPI GetActiveWindow(void) {
  auto lock = LockSimulation();
  RecordCall("GetActiveWindow", "");
  return sim::g_activeWindow;
}

// The process ends here with its code, as the real one does: tests see it as an exit.
extern "C" void WINAPI ExitProcess(UINT uExitCode) {
  {
    auto lock = LockSimulation();
    RecordCall("ExitProcess", ArgDec(uExitCode));
  }
  std::_Exit(static_cast<int>(uExitCode));
}
