// Resources of the loaded modules: those KORVATHD.DLL carries from the build,
// and any a test gives a module. FindResourceA, LoadResource, LockResource,
// SizeofResource and FreeResource over them, as on 32-bit Windows: the data
// handle is the address of the bytes, which stay as long as the module does.
#include <cctype>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include "sim/gdi_internal.h"
#include "sim/library_resources.h"

namespace sim {
namespace {

struct Resource {
  HMODULE module;
  std::string type;  // as ResourceNameText gives it
  std::string name;
  std::string bytes;
};

// Entries keep their address: it is the resource handle.
std::vector<std::unique_ptr<Resource>> g_resources;

Resource* Find(HMODULE module, const std::string& type, const std::string& name) {
  for (auto& resource : g_resources) {
    if (resource->module == module && resource->type == type && resource->name == name) return resource.get();
  }
  return nullptr;
}

void Set(HMODULE module, const std::string& type, const std::string& name, std::string bytes) {
  if (Resource* resource = Find(module, type, name)) {
    resource->bytes = std::move(bytes);
    return;
  }
  g_resources.push_back(std::make_unique<Resource>(Resource{module, type, name, std::move(bytes)}));
}

void ResetResources() {
  g_resources.clear();
  const HMODULE library = LoadedModule("KORVATHD.DLL");
  for (size_t i = 0; i < detail::kLibraryResourceCount; ++i) {
    const detail::LibraryResource& entry = detail::kLibraryResources[i];
    Set(library, entry.type, "#" + std::to_string(entry.id),
        std::string(reinterpret_cast<const char*>(entry.bytes), entry.size));
  }
}

const bool kResetRegistered = detail::AddResetHook(ResetResources);

const Resource* FromHandle(HRSRC handle) {
  for (const auto& resource : g_resources) {
    if (reinterpret_cast<HRSRC>(resource.get()) == handle) return resource.get();
  }
  return nullptr;
}

const Resource* FromData(HGLOBAL data) {
  for (const auto& resource : g_resources) {
    if (resource->bytes.data() == data) return resource.get();
  }
  return nullptr;
}

void CheckModule(HMODULE module) {
  if (module == nullptr || !detail::IsLoadedModule(module)) throw std::invalid_argument("not a loaded module");
}

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
  std::string text = name;
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

const std::string* FindResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, DWORD* why) {
  const std::string typeText = ResourceNameText(type);
  const std::string nameText = ResourceNameText(name);
  *why = ERROR_RESOURCE_TYPE_NOT_FOUND;
  for (const auto& resource : g_resources) {
    if (resource->module != module || resource->type != typeText) continue;
    *why = ERROR_RESOURCE_NAME_NOT_FOUND;
    if (resource->name == nameText) return &resource->bytes;
  }
  return nullptr;
}

}  // namespace detail

void SetResource(HMODULE module, LPCSTR type, LPCSTR name, const std::string& bytes) {
  auto lock = detail::LockSimulation();
  if (type == nullptr || name == nullptr) throw std::invalid_argument("SetResource");
  CheckModule(module);
  Set(module, detail::ResourceNameText(type), detail::ResourceNameText(name), bytes);
}

bool RemoveResource(HMODULE module, LPCSTR type, LPCSTR name) {
  auto lock = detail::LockSimulation();
  const Resource* resource = Find(module, detail::ResourceNameText(type), detail::ResourceNameText(name));
  for (auto it = g_resources.begin(); it != g_resources.end(); ++it) {
    if (it->get() == resource) {
      g_resources.erase(it);
      return true;
    }
  }
  return false;
}

std::string ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name) {
  auto lock = detail::LockSimulation();
  const Resource* resource = Find(module, detail::ResourceNameText(type), detail::ResourceNameText(name));
  if (resource == nullptr) throw std::invalid_argument("no such resource");
  return resource->bytes;
}

void AddBitmapResource(HMODULE module, LPCSTR name, const std::string& bmpBytes) {
  SetResource(module, RT_BITMAP, name, bmpBytes);
}

}  // namespace sim

using namespace sim::detail;

namespace {

std::string ArgResourceName(LPCSTR name) {
  return IS_INTRESOURCE(name) ? "MAKEINTRESOURCE(" + ArgDec(reinterpret_cast<uintptr_t>(name)) + ")"
                              : ArgString(name);
}

}  // namespace

// Null: the executable. Any language matches: each resource here has one.
extern "C" HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("FindResourceA",
                               JoinArgs({ArgHandle(hModule), ArgResourceName(lpName), ArgResourceName(lpType)}))) {
    return FailWin32(*failure, static_cast<HRSRC>(nullptr));
  }
  const HMODULE module = hModule != nullptr ? hModule : sim::ExecutableModule();
  if (!IsLoadedModule(module)) return FailWin32(ERROR_RESOURCE_DATA_NOT_FOUND, static_cast<HRSRC>(nullptr));
  if (lpName == nullptr || lpType == nullptr) return FailWin32(ERROR_INVALID_PARAMETER, static_cast<HRSRC>(nullptr));
  const std::string type = ResourceNameText(lpType);
  bool typeFound = false;
  for (const auto& resource : sim::g_resources) {
    if (resource->module != module || resource->type != type) continue;
    typeFound = true;
    if (resource->name == ResourceNameText(lpName)) return reinterpret_cast<HRSRC>(resource.get());
  }
  return FailWin32(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND,
                   static_cast<HRSRC>(nullptr));
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("LoadResource", JoinArgs({ArgHandle(hModule), ArgHandle(hResInfo)}))) {
    return FailWin32(*failure, static_cast<HGLOBAL>(nullptr));
  }
  const sim::Resource* resource = sim::FromHandle(hResInfo);
  const HMODULE module = hModule != nullptr ? hModule : sim::ExecutableModule();
  if (resource == nullptr || resource->module != module) {
    // Windows reads whatever the handle points at.
    RecordContractViolation("LoadResource with a handle that is not a resource of the module");
    return FailWin32(ERROR_RESOURCE_DATA_NOT_FOUND, static_cast<HGLOBAL>(nullptr));
  }
  return const_cast<char*>(resource->bytes.data());
}

extern "C" LPVOID WINAPI LockResource(HGLOBAL hResData) {
  auto lock = LockSimulation();
  RecordCall("LockResource", ArgHandle(hResData));
  if (hResData == nullptr) return nullptr;
  if (sim::FromData(hResData) == nullptr) {
    RecordContractViolation("LockResource with a handle that LoadResource did not give");
    return nullptr;
  }
  return hResData;
}

extern "C" DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("SizeofResource", JoinArgs({ArgHandle(hModule), ArgHandle(hResInfo)}))) {
    return FailWin32(*failure, DWORD{0});
  }
  const sim::Resource* resource = sim::FromHandle(hResInfo);
  if (resource == nullptr) {
    RecordContractViolation("SizeofResource with a handle that is not a resource");
    return FailWin32(ERROR_RESOURCE_DATA_NOT_FOUND, DWORD{0});
  }
  return static_cast<DWORD>(resource->bytes.size());
}

// Nothing to free on 32-bit Windows: the data lives as long as the module.
extern "C" BOOL WINAPI FreeResource(HGLOBAL hResData) {
  auto lock = LockSimulation();
  RecordCall("FreeResource", ArgHandle(hResData));
  return FALSE;
}
