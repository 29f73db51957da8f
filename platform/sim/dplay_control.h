// Test control of the simulated DirectPlay (host build only): the providers,
// the sessions the network shows, the players of the current or a remote
// session, the message queue of each local player, what the library sent,
// and a gate that holds EnumPlayers between its callbacks. Nothing travels:
// a test plays the other machines by queueing what they would send.
// sim::Reset brings back the boot state: the four providers Wine lists (TCP/IP,
// IPX, modem, serial, each with a 60-byte connection block), no session, no player.
#ifndef KR_SIM_DPLAY_CONTROL_H
#define KR_SIM_DPLAY_CONTROL_H

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

using PlayId = DWORD;  // a DPID (dplay.h is left to the files that use DirectPlay)

// ---- Providers ---------------------------------------------------------------------------
struct PlayProvider {
  GUID guid = {};
  std::optional<std::string> name;       // as the ANSI interface gives it (null when unset)
  std::optional<std::u16string> wideName;  // as the wide interface gives it
  std::vector<uint8_t> connection;       // the opaque connection block
};
void ClearPlayProviders();
void AddPlayProvider(const PlayProvider& provider);

// ---- Sessions ------------------------------------------------------------------------------
struct PlaySession {
  GUID instance = {};
  std::optional<std::string> name;
};
void AddRemoteSession(const PlaySession& session);
// How EnumSessions reports: synchronously the time-out comes inside the call;
// asynchronously it comes inside the call too unless `leaveOpen`, then only a
// DPENUMSESSIONS_STOPASYNC or FinishAsyncSessionPass ends the pass.
void SetAsyncSessionsLeftOpen(bool leaveOpen);
// Reports the time-out of an asynchronous pass left open (to the callback it was given).
void FinishAsyncSessionPass();
// What each Open was given.
struct PlayOpenRecord {
  DWORD size;  // dwSize of the description
  DWORD sessionFlags;
  GUID instance;
  GUID application;
  DWORD maxPlayers;
  std::string name;  // "" for none
  DWORD flags;
};
std::vector<PlayOpenRecord> PlayOpens();

// ---- Players and groups ---------------------------------------------------------------------
// The next id CreatePlayer or CreateGroup hands out (counting up from there).
void SetNextPlayId(PlayId id);
// A player or group of the current session (session {} ) or of a remote session.
struct PlayMember {
  PlayId id = 0;
  DWORD type = 1;  // DPPLAYERTYPE_PLAYER
  std::optional<std::string> name;
  GUID session = {};  // all zero: the current session
};
void AddPlayMember(const PlayMember& member);
// Current-session members as they are now (created ones included).
std::vector<PlayMember> PlayMembers();
// Group memberships as (group, player), in the order they were made.
std::vector<std::pair<PlayId, PlayId>> PlayGroupMemberships();

// The thread-side gate of EnumPlayers: while closed, every callback after the
// first waits (outside the simulation's lock) until the gate opens.
void CloseEnumPlayersGate();
void OpenEnumPlayersGate();
// Callbacks EnumPlayers has reached so far (the one waiting included).
int EnumPlayersCallbacksReached();
// Waits (really) up to `milliseconds` until `callbacks` have been reached; false on time-out.
bool WaitForEnumPlayersCallbacks(int callbacks, int milliseconds);

// ---- Messages --------------------------------------------------------------------------------
// Queues raw bytes for local player `to` (0: the first local player) as sent by `from`.
void QueuePlayMessage(PlayId from, PlayId to, const std::vector<uint8_t>& bytes);
// System messages, laid out as the platform's DPMSG_* records with their
// pointers pointing into the received block.
void QueueSystemCreate(PlayId to, DWORD playerType, PlayId id, const char* shortName);
void QueueSystemDestroy(PlayId to, DWORD playerType, PlayId id);
void QueueSystemGroupMember(PlayId to, DWORD type, PlayId group, PlayId player);  // ADD or DELETE
void QueueSystemChat(PlayId to, PlayId from, const char* text);
void QueueSystemSimple(PlayId to, DWORD type);  // HOST, SESSIONLOST, STARTSESSION, ...
int QueuedPlayMessages();

struct PlaySend {
  std::string method;  // "Send", "SendEx" or "SendChatMessage"
  PlayId from;
  PlayId to;
  DWORD flags;
  std::vector<uint8_t> bytes;  // for chat: the text without its NUL
};
std::vector<PlaySend> PlaySends();
// The result of the next sends (Send and SendEx), as DPERR_PENDING for SendEx.
void SetSendResult(HRESULT result);

// ---- Objects -------------------------------------------------------------------------------
int LivePlayObjects();
int LiveLobbyObjects();
// The last compound address the lobby built, as bytes.
std::vector<uint8_t> LastCompoundAddress();

// ---- Threads --------------------------------------------------------------------------------
// Threads made by CreateThread that have not ended yet.
int RunningThreads();
// Waits (really) up to `milliseconds` until every thread has ended; false on time-out.
bool WaitForThreads(int milliseconds);
// The priority last set on a thread (THREAD_PRIORITY_NORMAL if none).
int LastThreadPriority();

}  // namespace sim

#endif
