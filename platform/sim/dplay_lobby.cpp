// The lobby object: one object answering IDirectPlayLobbyA and
// IDirectPlayLobby3A. Only CreateCompoundAddress does work; it lays the
// address out as the platform does (a DPAID_TotalSize chunk, then one chunk
// per element, each a 20-byte header of type GUID and data size), so an
// address runs out of room at the same host-string length as under Wine.
#include <cstring>

#include "sim/com_object.h"
#include "sim/dplay_internal.h"

namespace sim::detail {
namespace {

constexpr size_t kChunkHeader = sizeof(GUID) + sizeof(DWORD);

class Lobby : public ComObject<IDirectPlayLobby3A> {
 public:
  Lobby() : ComObject("IDirectPlayLobby3A", IID_IDirectPlayLobby3A), live_(World().liveLobbies, PlayGeneration) {}

  HRESULT STDMETHODCALLTYPE CreateCompoundAddress(LPCDPCOMPOUNDADDRESSELEMENT elements, DWORD count, LPVOID address,
                                                  LPDWORD size) override {
    auto lock = LockSimulation();
    if (auto failure = EnterCall("IDirectPlayLobby3A::CreateCompoundAddress",
                                 JoinArgs({ArgPointer(elements), ArgDec(count), ArgPointer(address),
                                           size ? ArgDec(*size) : "NULL"}))) {
      return AsHresult(*failure);
    }
    if (elements == nullptr || count == 0 || size == nullptr) return DPERR_INVALIDPARAMS;
    std::vector<uint8_t> bytes;
    auto chunk = [&bytes](const GUID& type, const void* data, DWORD dataSize) {
      const size_t at = bytes.size();
      bytes.resize(at + kChunkHeader + dataSize);
      memcpy(bytes.data() + at, &type, sizeof(GUID));
      memcpy(bytes.data() + at + sizeof(GUID), &dataSize, sizeof(DWORD));
      if (dataSize > 0) memcpy(bytes.data() + at + kChunkHeader, data, dataSize);
    };
    DWORD total = 0;
    chunk(DPAID_TotalSize, &total, sizeof(total));
    for (DWORD i = 0; i < count; ++i) chunk(elements[i].guidDataType, elements[i].lpData, elements[i].dwDataSize);
    total = static_cast<DWORD>(bytes.size());
    memcpy(bytes.data() + kChunkHeader, &total, sizeof(total));
    if (address == nullptr || *size < total) {
      *size = total;
      return DPERR_BUFFERTOOSMALL;
    }
    memcpy(address, bytes.data(), total);
    *size = total;
    World().lastAddress = bytes;
    return DP_OK;
  }

#define KR_LOBBY_UNSUPPORTED(method, params) \
  HRESULT STDMETHODCALLTYPE method params override { return Unsupported(#method); }
  KR_LOBBY_UNSUPPORTED(Connect, (DWORD, IDirectPlay4**, IUnknown*))
  KR_LOBBY_UNSUPPORTED(CreateAddress, (REFGUID, REFGUID, LPCVOID, DWORD, LPVOID, LPDWORD))
  KR_LOBBY_UNSUPPORTED(EnumAddress, (LPDPENUMADDRESSCALLBACK, LPCVOID, DWORD, LPVOID))
  KR_LOBBY_UNSUPPORTED(EnumAddressTypes, (LPDPLENUMADDRESSTYPESCALLBACK, REFGUID, LPVOID, DWORD))
  KR_LOBBY_UNSUPPORTED(EnumLocalApplications, (LPDPLENUMLOCALAPPLICATIONSCALLBACK, LPVOID, DWORD))
  KR_LOBBY_UNSUPPORTED(GetConnectionSettings, (DWORD, LPVOID, LPDWORD))
  KR_LOBBY_UNSUPPORTED(ReceiveLobbyMessage, (DWORD, DWORD, LPDWORD, LPVOID, LPDWORD))
  KR_LOBBY_UNSUPPORTED(RunApplication, (DWORD, LPDWORD, LPDPLCONNECTION, HANDLE))
  KR_LOBBY_UNSUPPORTED(SendLobbyMessage, (DWORD, DWORD, LPVOID, DWORD))
  KR_LOBBY_UNSUPPORTED(SetConnectionSettings, (DWORD, DWORD, LPDPLCONNECTION))
  KR_LOBBY_UNSUPPORTED(SetLobbyMessageEvent, (DWORD, DWORD, HANDLE))
  KR_LOBBY_UNSUPPORTED(ConnectEx, (DWORD, REFIID, LPVOID*, IUnknown*))
  KR_LOBBY_UNSUPPORTED(RegisterApplication, (DWORD, LPDPAPPLICATIONDESC))
  KR_LOBBY_UNSUPPORTED(UnregisterApplication, (DWORD, REFGUID))
  KR_LOBBY_UNSUPPORTED(WaitForConnectionSettings, (DWORD))
#undef KR_LOBBY_UNSUPPORTED

 protected:
  // Both lobby interfaces share the vtable's beginning: one pointer serves them.
  HRESULT Answer(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IDirectPlayLobbyA && iid != IID_IDirectPlayLobby3A) return E_NOINTERFACE;
    return HandOutSelf(object);
  }

 private:
  static HRESULT Unsupported(const char* method) {
    auto lock = LockSimulation();
    if (auto failure = EnterCall((std::string("IDirectPlayLobby3A::") + method).c_str(), "")) {
      return AsHresult(*failure);
    }
    return DPERR_UNSUPPORTED;
  }

  LiveTally live_;
};

}  // namespace

HRESULT NewLobby(REFIID iid, void** object) {
  auto* lobby = new Lobby();
  HRESULT result = E_NOINTERFACE;
  if (iid == IID_IUnknown || iid == IID_IDirectPlayLobbyA || iid == IID_IDirectPlayLobby3A) {
    *object = static_cast<IDirectPlayLobby3A*>(lobby);
    return S_OK;
  }
  lobby->Drop();
  return result;
}

}  // namespace sim::detail
