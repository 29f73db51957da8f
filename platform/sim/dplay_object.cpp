// The play object: one reference count behind three interfaces, the old
// IDirectPlay (only queried onwards), IDirectPlay4A and the wide IDirectPlay4.
// Its connection and session state are its own; providers, sessions, players
// and messages come from the world tests script (dplay_world.cpp).
#include <cstring>

#include "sim/com_object.h"
#include "sim/dplay_internal.h"

namespace sim::detail {
namespace {

class PlayObject;

HRESULT Unsupported(const char* interfaceName, const char* method) {
  auto lock = LockSimulation();
  const std::string name = std::string(interfaceName) + "::" + method;
  if (auto failure = EnterCall(name.c_str(), "")) return AsHresult(*failure);
  return DPERR_UNSUPPORTED;
}

// The old interface: the library only asks for it and queries onwards.
class OldPlayView : public IDirectPlay {
 public:
  explicit OldPlayView(PlayObject* owner) : owner_(owner) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
#define KR_OLD_UNSUPPORTED(method, params) \
  HRESULT STDMETHODCALLTYPE method params override { return Unsupported("IDirectPlay", #method); }
  KR_OLD_UNSUPPORTED(AddPlayerToGroup, (DPID, DPID))
  KR_OLD_UNSUPPORTED(Close, ())
  KR_OLD_UNSUPPORTED(CreatePlayer, (LPDPID, LPSTR, LPSTR, LPHANDLE))
  KR_OLD_UNSUPPORTED(CreateGroup, (LPDPID, LPSTR, LPSTR))
  KR_OLD_UNSUPPORTED(DeletePlayerFromGroup, (DPID, DPID))
  KR_OLD_UNSUPPORTED(DestroyPlayer, (DPID))
  KR_OLD_UNSUPPORTED(DestroyGroup, (DPID))
  KR_OLD_UNSUPPORTED(EnableNewPlayers, (BOOL))
  KR_OLD_UNSUPPORTED(EnumGroupPlayers, (DPID, LPDPENUMPLAYERSCALLBACK, LPVOID, DWORD))
  KR_OLD_UNSUPPORTED(EnumGroups, (DWORD, LPDPENUMPLAYERSCALLBACK, LPVOID, DWORD))
  KR_OLD_UNSUPPORTED(EnumPlayers, (DWORD, LPDPENUMPLAYERSCALLBACK, LPVOID, DWORD))
  KR_OLD_UNSUPPORTED(EnumSessions, (struct DPSESSIONDESC*, DWORD, LPDPENUMSESSIONSCALLBACK, LPVOID, DWORD))
  KR_OLD_UNSUPPORTED(GetCaps, (LPDPCAPS))
  KR_OLD_UNSUPPORTED(GetMessageCount, (DPID, LPDWORD))
  KR_OLD_UNSUPPORTED(GetPlayerCaps, (DPID, LPDPCAPS))
  KR_OLD_UNSUPPORTED(GetPlayerName, (DPID, LPSTR, LPDWORD, LPSTR, LPDWORD))
  KR_OLD_UNSUPPORTED(Initialize, (LPGUID))
  KR_OLD_UNSUPPORTED(Open, (struct DPSESSIONDESC*))
  KR_OLD_UNSUPPORTED(Receive, (LPDPID, LPDPID, DWORD, LPVOID, LPDWORD))
  KR_OLD_UNSUPPORTED(SaveSession, (LPSTR))
  KR_OLD_UNSUPPORTED(Send, (DPID, DPID, DWORD, LPVOID, DWORD))
  KR_OLD_UNSUPPORTED(SetPlayerName, (DPID, LPSTR, LPSTR))
#undef KR_OLD_UNSUPPORTED

 private:
  PlayObject* owner_;
};

// IDirectPlay4A (`wide_` false) or IDirectPlay4 (`wide_` true).
class PlayView : public IDirectPlay4 {
 public:
  PlayView(PlayObject* owner, bool wide) : owner_(owner), wide_(wide) {}
  const char* Name() const { return wide_ ? "IDirectPlay4" : "IDirectPlay4A"; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE AddPlayerToGroup(DPID group, DPID player) override;
  HRESULT STDMETHODCALLTYPE Close() override;
  HRESULT STDMETHODCALLTYPE CreateGroup(LPDPID id, LPDPNAME name, LPVOID data, DWORD size, DWORD flags) override {
    return Create("CreateGroup", DPPLAYERTYPE_GROUP, id, name, data, size, flags);
  }
  HRESULT STDMETHODCALLTYPE CreatePlayer(LPDPID id, LPDPNAME name, HANDLE, LPVOID data, DWORD size,
                                         DWORD flags) override {
    return Create("CreatePlayer", DPPLAYERTYPE_PLAYER, id, name, data, size, flags);
  }
  HRESULT STDMETHODCALLTYPE DeletePlayerFromGroup(DPID group, DPID player) override;
  HRESULT STDMETHODCALLTYPE DestroyGroup(DPID id) override { return Destroy("DestroyGroup", id); }
  HRESULT STDMETHODCALLTYPE DestroyPlayer(DPID id) override { return Destroy("DestroyPlayer", id); }
  HRESULT STDMETHODCALLTYPE EnumPlayers(LPGUID instance, LPDPENUMPLAYERSCALLBACK2 callback, LPVOID context,
                                        DWORD flags) override;
  HRESULT STDMETHODCALLTYPE EnumSessions(LPDPSESSIONDESC2 description, DWORD timeout,
                                         LPDPENUMSESSIONSCALLBACK2 callback, LPVOID context, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetGroupName(DPID id, LPVOID data, LPDWORD size) override {
    return GetName("GetGroupName", id, data, size);
  }
  HRESULT STDMETHODCALLTYPE GetPlayerName(DPID id, LPVOID data, LPDWORD size) override {
    return GetName("GetPlayerName", id, data, size);
  }
  HRESULT STDMETHODCALLTYPE Initialize(LPGUID guid) override;
  HRESULT STDMETHODCALLTYPE Open(LPDPSESSIONDESC2 description, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Receive(LPDPID from, LPDPID to, DWORD flags, LPVOID data, LPDWORD size) override;
  HRESULT STDMETHODCALLTYPE Send(DPID from, DPID to, DWORD flags, LPVOID data, DWORD size) override {
    return RecordSend("Send", from, to, flags, data, size, "");
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(LPCGUID application, LPDPENUMCONNECTIONSCALLBACK callback,
                                            LPVOID context, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE InitializeConnection(LPVOID connection, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SendChatMessage(DPID from, DPID to, DWORD flags, LPDPCHAT chat) override;
  HRESULT STDMETHODCALLTYPE SendEx(DPID from, DPID to, DWORD flags, LPVOID data, DWORD size, DWORD priority,
                                   DWORD timeout, LPVOID context, LPDWORD messageId) override {
    return RecordSend("SendEx", from, to, flags, data, size,
                      JoinArgs({ArgDec(priority), ArgDec(timeout), ArgHandle(context), ArgPointer(messageId)}));
  }

#define KR_UNSUPPORTED(method, params) \
  HRESULT STDMETHODCALLTYPE method params override { return Unsupported(Name(), #method); }
  KR_UNSUPPORTED(EnumGroupPlayers, (DPID, LPGUID, LPDPENUMPLAYERSCALLBACK2, LPVOID, DWORD))
  KR_UNSUPPORTED(EnumGroups, (LPGUID, LPDPENUMPLAYERSCALLBACK2, LPVOID, DWORD))
  KR_UNSUPPORTED(GetCaps, (LPDPCAPS, DWORD))
  KR_UNSUPPORTED(GetGroupData, (DPID, LPVOID, LPDWORD, DWORD))
  KR_UNSUPPORTED(GetMessageCount, (DPID, LPDWORD))
  KR_UNSUPPORTED(GetPlayerAddress, (DPID, LPVOID, LPDWORD))
  KR_UNSUPPORTED(GetPlayerCaps, (DPID, LPDPCAPS, DWORD))
  KR_UNSUPPORTED(GetPlayerData, (DPID, LPVOID, LPDWORD, DWORD))
  KR_UNSUPPORTED(GetSessionDesc, (LPVOID, LPDWORD))
  KR_UNSUPPORTED(SetGroupData, (DPID, LPVOID, DWORD, DWORD))
  KR_UNSUPPORTED(SetGroupName, (DPID, LPDPNAME, DWORD))
  KR_UNSUPPORTED(SetPlayerData, (DPID, LPVOID, DWORD, DWORD))
  KR_UNSUPPORTED(SetPlayerName, (DPID, LPDPNAME, DWORD))
  KR_UNSUPPORTED(SetSessionDesc, (LPDPSESSIONDESC2, DWORD))
  KR_UNSUPPORTED(AddGroupToGroup, (DPID, DPID))
  KR_UNSUPPORTED(CreateGroupInGroup, (DPID, LPDPID, LPDPNAME, LPVOID, DWORD, DWORD))
  KR_UNSUPPORTED(DeleteGroupFromGroup, (DPID, DPID))
  KR_UNSUPPORTED(EnumGroupsInGroup, (DPID, LPGUID, LPDPENUMPLAYERSCALLBACK2, LPVOID, DWORD))
  KR_UNSUPPORTED(GetGroupConnectionSettings, (DWORD, DPID, LPVOID, LPDWORD))
  KR_UNSUPPORTED(SecureOpen, (LPCDPSESSIONDESC2, DWORD, LPCDPSECURITYDESC, LPCDPCREDENTIALS))
  KR_UNSUPPORTED(SetGroupConnectionSettings, (DWORD, DPID, LPDPLCONNECTION))
  KR_UNSUPPORTED(StartSession, (DWORD, DPID))
  KR_UNSUPPORTED(GetGroupFlags, (DPID, LPDWORD))
  KR_UNSUPPORTED(GetGroupParent, (DPID, LPDPID))
  KR_UNSUPPORTED(GetPlayerAccount, (DPID, DWORD, LPVOID, LPDWORD))
  KR_UNSUPPORTED(GetPlayerFlags, (DPID, LPDWORD))
  KR_UNSUPPORTED(GetGroupOwner, (DPID, LPDPID))
  KR_UNSUPPORTED(SetGroupOwner, (DPID, DPID))
  KR_UNSUPPORTED(GetMessageQueue, (DPID, DPID, DWORD, LPDWORD, LPDWORD))
  KR_UNSUPPORTED(CancelMessage, (DWORD, DWORD))
  KR_UNSUPPORTED(CancelPriority, (DWORD, DWORD, DWORD))
#undef KR_UNSUPPORTED

 private:
  std::optional<int64_t> Enter(const char* method, const std::string& arguments) {
    return EnterCall((std::string(Name()) + "::" + method).c_str(), arguments);
  }
  HRESULT Create(const char* method, DWORD type, LPDPID id, LPDPNAME name, LPVOID data, DWORD size, DWORD flags);
  HRESULT Destroy(const char* method, DPID id);
  HRESULT GetName(const char* method, DPID id, LPVOID data, LPDWORD size);
  HRESULT RecordSend(const char* method, DPID from, DPID to, DWORD flags, LPVOID data, DWORD size,
                     const std::string& more);

  PlayObject* owner_;
  bool wide_;
};

class PlayObject {
 public:
  PlayObject()
      : old_(this), ansi_(this, false), wide_(this, true), live_(World().livePlayObjects, PlayGeneration),
        com_(LiveComObjectCount(), ComObjectGeneration) {}

  ULONG AddRef(const char* interfaceName) {
    auto lock = LockSimulation();
    RecordCall((std::string(interfaceName) + "::AddRef").c_str(), "");
    return ++references_;
  }
  ULONG Release(const char* interfaceName) {
    auto lock = LockSimulation();
    RecordCall((std::string(interfaceName) + "::Release").c_str(), "");
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT Query(const char* interfaceName, REFIID iid, void** object) {
    auto lock = LockSimulation();
    if (object != nullptr) *object = nullptr;
    if (auto failure = EnterCall((std::string(interfaceName) + "::QueryInterface").c_str(),
                                 JoinArgs({ArgGuid(iid), ArgPointer(object)}))) {
      return AsHresult(*failure);
    }
    if (object == nullptr) return E_POINTER;
    return Answer(iid, object);
  }
  // QueryInterface once recorded: one more reference on the interface asked for.
  HRESULT Answer(REFIID iid, void** object) {
    if (iid == IID_IDirectPlay || iid == IID_IUnknown) {
      *object = static_cast<IDirectPlay*>(&old_);
    } else if (iid == IID_IDirectPlay4A) {
      *object = static_cast<IDirectPlay4*>(&ansi_);
    } else if (iid == IID_IDirectPlay4) {
      *object = static_cast<IDirectPlay4*>(&wide_);
    } else {
      return E_NOINTERFACE;
    }
    ++references_;
    return S_OK;
  }

  void DropCreationReference() {
    if (--references_ == 0) delete this;
  }

  bool connected = false;
  bool sessionOpen = false;

 private:
  OldPlayView old_;
  PlayView ansi_;
  PlayView wide_;
  ULONG references_ = 1;
  LiveTally live_;
  LiveTally com_;
};

HRESULT OldPlayView::QueryInterface(REFIID iid, void** object) { return owner_->Query("IDirectPlay", iid, object); }
ULONG OldPlayView::AddRef() { return owner_->AddRef("IDirectPlay"); }
ULONG OldPlayView::Release() { return owner_->Release("IDirectPlay"); }
HRESULT PlayView::QueryInterface(REFIID iid, void** object) { return owner_->Query(Name(), iid, object); }
ULONG PlayView::AddRef() { return owner_->AddRef(Name()); }
ULONG PlayView::Release() { return owner_->Release(Name()); }

bool SameGuid(const GUID& a, const GUID& b) { return memcmp(&a, &b, sizeof(GUID)) == 0; }

PlayMember* FindMember(DPID id) {
  for (PlayMember& member : World().members) {
    if (member.id == id && SameGuid(member.session, GUID{})) return &member;
  }
  return nullptr;
}

HRESULT PlayView::Initialize(LPGUID guid) {
  auto lock = LockSimulation();
  if (auto failure = Enter("Initialize", ArgPointer(guid))) return AsHresult(*failure);
  return DPERR_ALREADYINITIALIZED;  // a play object made through COM is initialised already
}

HRESULT PlayView::InitializeConnection(LPVOID connection, DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure = Enter("InitializeConnection", JoinArgs({ArgPointer(connection), ArgHex(flags)}))) {
    return AsHresult(*failure);
  }
  if (connection == nullptr || flags != 0) return DPERR_INVALIDPARAMS;
  if (owner_->connected) return DPERR_ALREADYINITIALIZED;
  owner_->connected = true;
  return DP_OK;
}

HRESULT PlayView::EnumConnections(LPCGUID application, LPDPENUMCONNECTIONSCALLBACK callback, LPVOID context,
                                  DWORD flags) {
  std::vector<PlayProvider> providers;
  {
    auto lock = LockSimulation();
    if (auto failure = Enter("EnumConnections", JoinArgs({application ? ArgGuid(*application) : "NULL",
                                                          ArgPointer(reinterpret_cast<void*>(callback)),
                                                          ArgHandle(context), ArgHex(flags)}))) {
      return AsHresult(*failure);
    }
    if (callback == nullptr) return DPERR_INVALIDPARAMS;
    providers = World().providers;
  }
  for (PlayProvider& provider : providers) {
    DPNAME name = {};
    name.dwSize = sizeof(DPNAME);
    if (wide_) {
      name.lpszShortName = provider.wideName ? provider.wideName->data() : nullptr;
    } else {
      name.lpszShortNameA = provider.name ? provider.name->data() : nullptr;
    }
    if (!callback(&provider.guid, provider.connection.data(), static_cast<DWORD>(provider.connection.size()), &name,
                  0, context) &&
        !EnumerationIgnoresStop()) {
      break;
    }
  }
  return DP_OK;
}

HRESULT PlayView::Open(LPDPSESSIONDESC2 description, DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure = Enter("Open", JoinArgs({ArgPointer(description), ArgHex(flags)}))) return AsHresult(*failure);
  if (description == nullptr || description->dwSize != sizeof(DPSESSIONDESC2)) return DPERR_INVALIDPARAMS;
  if (!owner_->connected) return DPERR_UNINITIALIZED;
  PlayOpenRecord record{description->dwSize,         description->dwFlags,      description->guidInstance,
                        description->guidApplication, description->dwMaxPlayers, "", flags};
  if (description->lpszSessionNameA != nullptr && !wide_) record.name = description->lpszSessionNameA;
  World().opens.push_back(record);
  if (flags & DPOPEN_JOIN) {
    bool known = false;
    for (const PlaySession& session : World().sessions) known |= SameGuid(session.instance, description->guidInstance);
    if (!known) return DPERR_NOSESSIONS;
  }
  owner_->sessionOpen = true;
  return DP_OK;
}

HRESULT PlayView::Close() {
  auto lock = LockSimulation();
  if (auto failure = Enter("Close", "")) return AsHresult(*failure);
  if (!owner_->sessionOpen) return DPERR_INVALIDPARAMS;
  owner_->sessionOpen = false;
  return DP_OK;
}

HRESULT PlayView::EnumSessions(LPDPSESSIONDESC2 description, DWORD timeout, LPDPENUMSESSIONSCALLBACK2 callback,
                               LPVOID context, DWORD flags) {
  std::vector<PlaySession> sessions;
  bool leaveOpen = false;
  {
    auto lock = LockSimulation();
    if (auto failure = Enter("EnumSessions", JoinArgs({ArgPointer(description), ArgDec(timeout),
                                                       ArgPointer(reinterpret_cast<void*>(callback)),
                                                       ArgHandle(context), ArgHex(flags)}))) {
      return AsHresult(*failure);
    }
    if (description == nullptr || description->dwSize != sizeof(DPSESSIONDESC2)) return DPERR_INVALIDPARAMS;
    if (!owner_->connected) return DPERR_UNINITIALIZED;
    if (flags & DPENUMSESSIONS_STOPASYNC) {
      World().openPassCallback = nullptr;
      return DP_OK;
    }
    sessions = World().sessions;
    leaveOpen = (flags & DPENUMSESSIONS_ASYNC) != 0 && World().leaveAsyncOpen;
    if (leaveOpen) {
      World().openPassCallback = callback;
      World().openPassContext = context;
    }
  }
  for (PlaySession& session : sessions) {
    DPSESSIONDESC2 found = {};
    found.dwSize = sizeof(found);
    found.guidInstance = session.instance;
    found.lpszSessionNameA = session.name ? session.name->data() : nullptr;
    DWORD wait = timeout;
    if (!callback(&found, &wait, 0, context) && !EnumerationIgnoresStop()) return DP_OK;
  }
  DWORD wait = timeout;
  if (!leaveOpen) callback(nullptr, &wait, DPESC_TIMEDOUT, context);
  return DP_OK;
}

HRESULT PlayView::Create(const char* method, DWORD type, LPDPID id, LPDPNAME name, LPVOID data, DWORD size,
                         DWORD flags) {
  auto lock = LockSimulation();
  if (auto failure = Enter(method, JoinArgs({ArgPointer(id), ArgPointer(name), ArgPointer(data), ArgDec(size),
                                             ArgHex(flags)}))) {
    return AsHresult(*failure);
  }
  if (!owner_->sessionOpen) {
    RecordContractViolation(std::string(Name()) + "::" + method + " without an open session");
    return DPERR_INVALIDPARAMS;
  }
  if (id == nullptr || (name != nullptr && name->dwSize != sizeof(DPNAME))) return DPERR_INVALIDPARAMS;
  PlayMember member;
  member.id = World().nextId++;
  member.type = type;
  if (name != nullptr && name->lpszShortNameA != nullptr) member.name = name->lpszShortNameA;
  World().members.push_back(member);
  *id = member.id;
  return DP_OK;
}

HRESULT PlayView::Destroy(const char* method, DPID id) {
  auto lock = LockSimulation();
  if (auto failure = Enter(method, ArgHex(id))) return AsHresult(*failure);
  auto& members = World().members;
  for (auto it = members.begin(); it != members.end(); ++it) {
    if (it->id == id && SameGuid(it->session, GUID{})) {
      members.erase(it);
      return DP_OK;
    }
  }
  return DPERR_INVALIDPLAYER;
}

HRESULT PlayView::AddPlayerToGroup(DPID group, DPID player) {
  auto lock = LockSimulation();
  if (auto failure = Enter("AddPlayerToGroup", JoinArgs({ArgHex(group), ArgHex(player)}))) {
    return AsHresult(*failure);
  }
  World().memberships.push_back({group, player});
  return DP_OK;
}

HRESULT PlayView::DeletePlayerFromGroup(DPID group, DPID player) {
  auto lock = LockSimulation();
  if (auto failure = Enter("DeletePlayerFromGroup", JoinArgs({ArgHex(group), ArgHex(player)}))) {
    return AsHresult(*failure);
  }
  auto& memberships = World().memberships;
  for (auto it = memberships.begin(); it != memberships.end(); ++it) {
    if (it->first == group && it->second == player) {
      memberships.erase(it);
      return DP_OK;
    }
  }
  return DPERR_INVALIDPLAYER;
}

// The name record followed by the short and the long name (both the member's name).
HRESULT PlayView::GetName(const char* method, DPID id, LPVOID data, LPDWORD size) {
  auto lock = LockSimulation();
  if (auto failure = Enter(method, JoinArgs({ArgHex(id), ArgPointer(data), ArgPointer(size)}))) {
    return AsHresult(*failure);
  }
  if (size == nullptr) return DPERR_INVALIDPARAMS;
  const PlayMember* member = FindMember(id);
  if (member == nullptr) return DPERR_INVALIDPLAYER;
  const size_t text = member->name ? member->name->size() + 1 : 0;
  const DWORD needed = static_cast<DWORD>(sizeof(DPNAME) + 2 * text);
  if (data == nullptr || *size < needed) {
    *size = needed;
    return DPERR_BUFFERTOOSMALL;
  }
  auto* bytes = static_cast<char*>(data);
  DPNAME name = {};
  name.dwSize = sizeof(DPNAME);
  if (member->name) {
    memcpy(bytes + sizeof(DPNAME), member->name->c_str(), text);
    memcpy(bytes + sizeof(DPNAME) + text, member->name->c_str(), text);
    name.lpszShortNameA = bytes + sizeof(DPNAME);
    name.lpszLongNameA = bytes + sizeof(DPNAME) + text;
  }
  memcpy(bytes, &name, sizeof(name));
  *size = needed;
  return DP_OK;
}

HRESULT PlayView::EnumPlayers(LPGUID instance, LPDPENUMPLAYERSCALLBACK2 callback, LPVOID context, DWORD flags) {
  std::vector<PlayMember> players;
  {
    auto lock = LockSimulation();
    if (auto failure = Enter("EnumPlayers", JoinArgs({instance ? ArgGuid(*instance) : "NULL",
                                                      ArgPointer(reinterpret_cast<void*>(callback)),
                                                      ArgHandle(context), ArgHex(flags)}))) {
      return AsHresult(*failure);
    }
    if (callback == nullptr) return DPERR_INVALIDPARAMS;
    const bool remote = (flags & DPENUMPLAYERS_SESSION) != 0;
    if (remote && instance == nullptr) return DPERR_INVALIDPARAMS;
    if (!remote && !owner_->sessionOpen) return DPERR_INVALIDGROUP;
    const GUID wanted = remote ? *instance : GUID{};
    if (remote) {
      bool known = false;
      for (const PlaySession& session : World().sessions) known |= SameGuid(session.instance, wanted);
      if (!known) return DPERR_NOSESSIONS;
    }
    for (const PlayMember& member : World().members) {
      if (member.type == DPPLAYERTYPE_PLAYER && SameGuid(member.session, wanted)) players.push_back(member);
    }
  }
  bool first = true;
  for (PlayMember& member : players) {
    PassEnumPlayersGate(first);
    first = false;
    DPNAME name = {};
    name.dwSize = sizeof(DPNAME);
    if (member.name) name.lpszShortNameA = name.lpszLongNameA = member.name->data();
    if (!callback(member.id, member.type, &name, 0, context) && !EnumerationIgnoresStop()) break;
  }
  return DP_OK;
}

HRESULT PlayView::Receive(LPDPID from, LPDPID to, DWORD flags, LPVOID data, LPDWORD size) {
  auto lock = LockSimulation();
  if (auto failure = Enter("Receive", JoinArgs({ArgPointer(from), ArgPointer(to), ArgHex(flags), ArgPointer(data),
                                                size ? ArgDec(*size) : "NULL"}))) {
    return AsHresult(*failure);
  }
  if (from == nullptr || to == nullptr || size == nullptr) return DPERR_INVALIDPARAMS;
  auto& queue = World().queue;
  if (queue.empty()) return DPERR_NOMESSAGES;
  QueuedPlayMessage& message = queue.front();
  const DWORD needed = static_cast<DWORD>(message.bytes.size());
  if (data == nullptr || *size < needed) {
    *size = needed;
    return DPERR_BUFFERTOOSMALL;  // the message stays queued
  }
  auto* bytes = static_cast<uint8_t*>(data);
  if (needed > 0) memcpy(bytes, message.bytes.data(), needed);
  for (const auto& [field, target] : message.pointers) {
    void* pointer = bytes + target;
    memcpy(bytes + field, &pointer, sizeof(pointer));
  }
  *size = needed;
  *from = message.from;
  *to = message.to;
  queue.pop_front();
  return DP_OK;
}

HRESULT PlayView::RecordSend(const char* method, DPID from, DPID to, DWORD flags, LPVOID data, DWORD size,
                             const std::string& more) {
  auto lock = LockSimulation();
  std::string arguments = JoinArgs({ArgHex(from), ArgHex(to), ArgHex(flags), ArgDec(size)});
  if (!more.empty()) arguments += ", " + more;
  if (auto failure = Enter(method, arguments)) return AsHresult(*failure);
  if (!owner_->sessionOpen) return DPERR_INVALIDPLAYER;
  const auto* bytes = static_cast<const uint8_t*>(data);
  World().sends.push_back(PlaySend{method, from, to, flags, std::vector<uint8_t>(bytes, bytes + size)});
  return DP_OK;
}

HRESULT PlayView::SendChatMessage(DPID from, DPID to, DWORD flags, LPDPCHAT chat) {
  auto lock = LockSimulation();
  if (auto failure = Enter("SendChatMessage", JoinArgs({ArgHex(from), ArgHex(to), ArgHex(flags), ArgPointer(chat)}))) {
    return AsHresult(*failure);
  }
  if (chat == nullptr || chat->dwSize != sizeof(DPCHAT) || chat->lpszMessageA == nullptr) return DPERR_INVALIDPARAMS;
  if (!owner_->sessionOpen) return DPERR_INVALIDPLAYER;
  const char* text = chat->lpszMessageA;
  World().sends.push_back(
      PlaySend{"SendChatMessage", from, to, flags, std::vector<uint8_t>(text, text + strlen(text))});
  return DP_OK;
}

}  // namespace

HRESULT NewPlayObject(REFIID iid, void** object) {
  auto lock = LockSimulation();
  auto* play = new PlayObject();
  const HRESULT result = play->Answer(iid, object);
  play->DropCreationReference();  // the one handed out, if any, keeps it alive
  return result;
}

void RegisterDirectPlayClasses() {
  RegisterBuiltinComClass(CLSID_DirectPlay, NewPlayObject);
  RegisterBuiltinComClass(CLSID_DirectPlayLobby, NewLobby);
}

}  // namespace sim::detail
