// The modules loaded in the process: the executable and the library at boot,
// more as tests add them.
#include <cctype>
#include <stdexcept>
#include <vector>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

struct Module {
  HMODULE handle;
  std::string fileName;  // upper case, with its extension
};

// Where 32-bit Windows maps an executable and, by default, a library.
constexpr uintptr_t kExecutableBase = 0x00400000;
constexpr uintptr_t kFirstLibraryBase = 0x10000000;
constexpr uintptr_t kLibrarySpacing = 0x00100000;
const char* const kBootModules[] = {"GAME.EXE", "KORVATHD.DLL"};

std::vector<Module> g_modules;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// "c:\dir\korvathd" is the module KORVATHD.DLL: the folder does not matter,
// and a name without an extension is a library's.
std::string ModuleFileName(const std::string& name) {
  const size_t slash = name.find_last_of("\\/");
  std::string file = Upper(slash == std::string::npos ? name : name.substr(slash + 1));
  if (file.find('.') == std::string::npos) file += ".DLL";
  return file;
}

HMODULE AddModule(const std::string& fileName) {
  uintptr_t base = kExecutableBase;
  if (!g_modules.empty()) {
    base = kFirstLibraryBase + (g_modules.size() - 1) * kLibrarySpacing;
  }
  const HMODULE handle = reinterpret_cast<HMODULE>(base);
  g_modules.push_back(Module{handle, ModuleFileName(fileName)});
  return handle;
}

const Module* FindModule(const std::string& name) {
  const std::string file = ModuleFileName(name);
  for (const Module& module : g_modules) {
    if (module.fileName == file) return &module;
  }
  return nullptr;
}

void LoadBootModules() {
  if (!g_modules.empty()) return;
  for (const char* name : kBootModules) AddModule(name);
}

void ResetModules() {
  g_modules.clear();
  LoadBootModules();
}

const bool kResetRegistered = detail::AddResetHook(ResetModules);

}  // namespace

namespace detail {

bool IsLoadedModule(HMODULE module) {
  LoadBootModules();
  for (const Module& loaded : g_modules) {
    if (loaded.handle == module) return true;
  }
  return false;
}

}  // namespace detail

HMODULE ExecutableModule() {
  auto lock = detail::LockSimulation();
  LoadBootModules();
  return g_modules.front().handle;
}

HMODULE LoadedModule(const std::string& fileName) {
  auto lock = detail::LockSimulation();
  LoadBootModules();
  const Module* module = FindModule(fileName);
  return module ? module->handle : nullptr;
}

HMODULE AddLoadedModule(const std::string& fileName) {
  auto lock = detail::LockSimulation();
  LoadBootModules();
  if (FindModule(fileName) != nullptr) throw std::invalid_argument("module already loaded: " + fileName);
  return AddModule(fileName);
}

}  // namespace sim

using namespace sim::detail;

// Null: the executable.
extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("GetModuleHandleA", ArgString(lpModuleName))) {
    return FailWin32(*failure, static_cast<HMODULE>(nullptr));
  }
  sim::LoadBootModules();
  if (lpModuleName == nullptr) return sim::g_modules.front().handle;
  const sim::Module* module = sim::FindModule(lpModuleName);
  if (module == nullptr) return FailWin32(ERROR_MOD_NOT_FOUND, static_cast<HMODULE>(nullptr));
  return module->handle;
}
