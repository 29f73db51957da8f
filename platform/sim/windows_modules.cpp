// The modules loaded in the process and their resources: the executable and
// the library at boot, more as tests add them, and the bitmap resources tests
// give them.
#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

struct Module {
  HMODULE handle;
  std::string fileName;  // upper case, with its extension
};

struct Resource {
  HMODULE module;
  std::string type;  // as ResourceNameText gives it
  std::string name;
  std::string bytes;
};

// Where 32-bit Windows maps an executable and, by default, a library.
constexpr uintptr_t kExecutableBase = 0x00400000;
constexpr uintptr_t kFirstLibraryBase = 0x10000000;
constexpr uintptr_t kLibrarySpacing = 0x00100000;
const char* const kBootModules[] = {"GAME.EXE", "KORVATHD.DLL"};

std::vector<Module> g_modules;
std::vector<Resource> g_resources;

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
  g_resources.clear();
  LoadBootModules();
}

const bool kResetRegistered = detail::AddResetHook(ResetModules);

}  // namespace

namespace detail {

// Resource names are kept in upper case, as Windows compares them; "#101"
// names the integer identifier 101 either way.
std::string ResourceNameText(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  if (name[0] == '#' && name[1] != '\0') {
    char* end = nullptr;
    const unsigned long id = std::strtoul(name + 1, &end, 10);
    if (*end == '\0') return "#" + std::to_string(id);
  }
  return Upper(name);
}

bool IsLoadedModule(HMODULE module) {
  LoadBootModules();
  for (const Module& loaded : g_modules) {
    if (loaded.handle == module) return true;
  }
  return false;
}

const std::string* FindResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, DWORD* why) {
  const std::string typeText = ResourceNameText(type);
  const std::string nameText = ResourceNameText(name);
  *why = ERROR_RESOURCE_TYPE_NOT_FOUND;
  for (const Resource& resource : g_resources) {
    if (resource.module != module || resource.type != typeText) continue;
    *why = ERROR_RESOURCE_NAME_NOT_FOUND;
    if (resource.name == nameText) return &resource.bytes;
  }
  return nullptr;
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

void AddBitmapResource(HMODULE module, LPCSTR name, const std::string& bmpBytes) {
  auto lock = detail::LockSimulation();
  if (name == nullptr || !detail::IsLoadedModule(module)) throw std::invalid_argument("AddBitmapResource");
  const std::string type = detail::ResourceNameText(RT_BITMAP);
  const std::string nameText = detail::ResourceNameText(name);
  for (Resource& resource : g_resources) {
    if (resource.module == module && resource.type == type && resource.name == nameText) {
      resource.bytes = bmpBytes;
      return;
    }
  }
  g_resources.push_back(Resource{module, type, nameText, bmpBytes});
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
