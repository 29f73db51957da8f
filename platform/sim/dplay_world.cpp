// The world of the simulated DirectPlay that tests script: providers,
// sessions, players and groups, the message queue, the sends, and the gate
// that holds an EnumPlayers between its callbacks.
#include <condition_variable>
#include <cstring>

#include "sim/dplay_internal.h"

namespace sim {
namespace detail {
namespace {

PlayWorld g_world;
uint32_t g_generation = 1;

// The gate has its own lock: a thread waiting at it holds no simulation lock.
std::mutex g_gateMutex;
std::condition_variable g_gateChanged;
bool g_gateClosed = false;
int g_callbacksReached = 0;

std::vector<uint8_t> ConnectionBlock(uint8_t seed) {
  std::vector<uint8_t> block(60);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(seed + i);
  return block;
}

void BootProviders() {
  struct Boot {
    const GUID* guid;
    const char* name;
  };
  const Boot boot[] = {{&DPSPGUID_TCPIP, "Internet TCP/IP Connection For DirectPlay"},
                       {&DPSPGUID_IPX, "IPX Connection For DirectPlay"},
                       {&DPSPGUID_MODEM, "Modem Connection For DirectPlay"},
                       {&DPSPGUID_SERIAL, "Serial Connection For DirectPlay"}};
  uint8_t seed = 0x10;
  for (const Boot& entry : boot) {
    PlayProvider provider;
    provider.guid = *entry.guid;
    provider.name = entry.name;
    provider.wideName = std::u16string(entry.name, entry.name + strlen(entry.name));
    provider.connection = ConnectionBlock(seed);
    seed = static_cast<uint8_t>(seed + 0x40);
    g_world.providers.push_back(provider);
  }
}

}  // namespace

void ResetDirectPlay() {
  g_world = PlayWorld{};
  ++g_generation;
  BootProviders();
  std::lock_guard<std::mutex> guard(g_gateMutex);
  g_gateClosed = false;
  g_callbacksReached = 0;
}

namespace {

const bool kBooted = (BootProviders(), true);

template <typename Record>
void Put(QueuedPlayMessage& message, size_t offset, const Record& record) {
  if (message.bytes.size() < offset + sizeof(record)) message.bytes.resize(offset + sizeof(record));
  memcpy(message.bytes.data() + offset, &record, sizeof(record));
}

// Appends `text` with its NUL; returns where it starts.
size_t PutText(QueuedPlayMessage& message, const char* text) {
  const size_t at = message.bytes.size();
  message.bytes.insert(message.bytes.end(), text, text + strlen(text) + 1);
  return at;
}

void Queue(QueuedPlayMessage message) {
  auto lock = LockSimulation();
  g_world.queue.push_back(std::move(message));
}

}  // namespace

PlayWorld& World() { return g_world; }
uint32_t PlayGeneration() { return g_generation; }

void PassEnumPlayersGate(bool first) {
  std::unique_lock<std::mutex> guard(g_gateMutex);
  ++g_callbacksReached;
  g_gateChanged.notify_all();
  if (!first) g_gateChanged.wait(guard, [] { return !g_gateClosed; });
}

}  // namespace detail

using detail::g_world;

void ClearPlayProviders() {
  auto lock = detail::LockSimulation();
  g_world.providers.clear();
}

void AddPlayProvider(const PlayProvider& provider) {
  auto lock = detail::LockSimulation();
  g_world.providers.push_back(provider);
}

void AddRemoteSession(const PlaySession& session) {
  auto lock = detail::LockSimulation();
  g_world.sessions.push_back(session);
}

void SetAsyncSessionsLeftOpen(bool leaveOpen) {
  auto lock = detail::LockSimulation();
  g_world.leaveAsyncOpen = leaveOpen;
}

void FinishAsyncSessionPass() {
  LPDPENUMSESSIONSCALLBACK2 callback;
  LPVOID context;
  {
    auto lock = detail::LockSimulation();
    callback = g_world.openPassCallback;
    context = g_world.openPassContext;
    g_world.openPassCallback = nullptr;
  }
  DWORD timeout = 0;
  if (callback != nullptr) callback(nullptr, &timeout, DPESC_TIMEDOUT, context);
}

std::vector<PlayOpenRecord> PlayOpens() {
  auto lock = detail::LockSimulation();
  return g_world.opens;
}

void SetNextPlayId(DPID id) {
  auto lock = detail::LockSimulation();
  g_world.nextId = id;
}

void AddPlayMember(const PlayMember& member) {
  auto lock = detail::LockSimulation();
  g_world.members.push_back(member);
}

std::vector<PlayMember> PlayMembers() {
  auto lock = detail::LockSimulation();
  std::vector<PlayMember> current;
  for (const PlayMember& member : g_world.members) {
    if (member.session == GUID{}) current.push_back(member);
  }
  return current;
}

std::vector<std::pair<DPID, DPID>> PlayGroupMemberships() {
  auto lock = detail::LockSimulation();
  return g_world.memberships;
}

void CloseEnumPlayersGate() {
  std::lock_guard<std::mutex> guard(detail::g_gateMutex);
  detail::g_gateClosed = true;
}

void OpenEnumPlayersGate() {
  std::lock_guard<std::mutex> guard(detail::g_gateMutex);
  detail::g_gateClosed = false;
  detail::g_gateChanged.notify_all();
}

int EnumPlayersCallbacksReached() {
  std::lock_guard<std::mutex> guard(detail::g_gateMutex);
  return detail::g_callbacksReached;
}

bool WaitForEnumPlayersCallbacks(int callbacks, int milliseconds) {
  std::unique_lock<std::mutex> guard(detail::g_gateMutex);
  return detail::g_gateChanged.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                        [&] { return detail::g_callbacksReached >= callbacks; });
}

void QueuePlayMessage(DPID from, DPID to, const std::vector<uint8_t>& bytes) {
  detail::QueuedPlayMessage message;
  message.from = from;
  message.to = to;
  message.bytes = bytes;
  detail::Queue(std::move(message));
}

void QueueSystemCreate(DPID to, DWORD playerType, DPID id, const char* shortName) {
  detail::QueuedPlayMessage message;
  message.to = to;
  DPMSG_CREATEPLAYERORGROUP record = {};
  record.dwType = DPSYS_CREATEPLAYERORGROUP;
  record.dwPlayerType = playerType;
  record.dpId = id;
  record.dpnName.dwSize = sizeof(DPNAME);
  detail::Put(message, 0, record);
  if (shortName != nullptr) {
    const size_t text = detail::PutText(message, shortName);
    message.pointers.push_back({offsetof(DPMSG_CREATEPLAYERORGROUP, dpnName.lpszShortNameA), text});
  }
  detail::Queue(std::move(message));
}

void QueueSystemDestroy(DPID to, DWORD playerType, DPID id) {
  detail::QueuedPlayMessage message;
  message.to = to;
  DPMSG_DESTROYPLAYERORGROUP record = {};
  record.dwType = DPSYS_DESTROYPLAYERORGROUP;
  record.dwPlayerType = playerType;
  record.dpId = id;
  record.dpnName.dwSize = sizeof(DPNAME);
  detail::Put(message, 0, record);
  detail::Queue(std::move(message));
}

void QueueSystemGroupMember(DPID to, DWORD type, DPID group, DPID player) {
  detail::QueuedPlayMessage message;
  message.to = to;
  detail::Put(message, 0, DPMSG_ADDPLAYERTOGROUP{type, group, player});
  detail::Queue(std::move(message));
}

void QueueSystemChat(DPID to, DPID from, const char* text) {
  detail::QueuedPlayMessage message;
  message.to = to;
  DPMSG_CHAT record = {};
  record.dwType = DPSYS_CHAT;
  record.idFromPlayer = from;
  record.idToPlayer = to;
  detail::Put(message, 0, record);
  DPCHAT chat = {};
  chat.dwSize = sizeof(DPCHAT);
  const size_t chatAt = message.bytes.size();
  detail::Put(message, chatAt, chat);
  const size_t textAt = detail::PutText(message, text);
  message.pointers.push_back({offsetof(DPMSG_CHAT, lpChat), chatAt});
  message.pointers.push_back({chatAt + offsetof(DPCHAT, lpszMessageA), textAt});
  detail::Queue(std::move(message));
}

void QueueSystemSimple(DPID to, DWORD type) {
  detail::QueuedPlayMessage message;
  message.to = to;
  detail::Put(message, 0, DPMSG_GENERIC{type});
  detail::Queue(std::move(message));
}

int QueuedPlayMessages() {
  auto lock = detail::LockSimulation();
  return static_cast<int>(g_world.queue.size());
}

std::vector<PlaySend> PlaySends() {
  auto lock = detail::LockSimulation();
  return g_world.sends;
}

int LivePlayObjects() {
  auto lock = detail::LockSimulation();
  return g_world.livePlayObjects;
}

int LiveLobbyObjects() {
  auto lock = detail::LockSimulation();
  return g_world.liveLobbies;
}

std::vector<uint8_t> LastCompoundAddress() {
  auto lock = detail::LockSimulation();
  return g_world.lastAddress;
}

namespace {
const bool kPlayCounted = detail::AddLiveCounter("DirectPlay objects", LivePlayObjects);
const bool kLobbyCounted = detail::AddLiveCounter("DirectPlay lobbies", LiveLobbyObjects);
}  // namespace

}  // namespace sim
