// Shared by the files of the simulated DirectPlay: the play object
// (dplay_object.cpp), its world of providers, sessions, players and messages
// (dplay_world.cpp) and the lobby (dplay_lobby.cpp).
#ifndef KR_SIM_DPLAY_INTERNAL_H
#define KR_SIM_DPLAY_INTERNAL_H

#include <windows.h>
#include <dplay.h>
#include <dplobby.h>

#include <deque>
#include <string>
#include <vector>

#include "sim/dplay_control.h"
#include "sim/sim_internal.h"

namespace sim::detail {

struct QueuedPlayMessage {
  DPID from = 0;
  DPID to = 0;
  std::vector<uint8_t> bytes;
  // Pointer fields of a system message: (offset of the field, offset it points at).
  std::vector<std::pair<size_t, size_t>> pointers;
};

// The world every play object sees, under the simulation's lock.
struct PlayWorld {
  std::vector<PlayProvider> providers;
  std::vector<PlaySession> sessions;
  std::vector<PlayMember> members;
  std::vector<std::pair<DPID, DPID>> memberships;
  std::deque<QueuedPlayMessage> queue;
  std::vector<PlaySend> sends;
  std::vector<PlayOpenRecord> opens;
  DPID nextId = 1;
  bool leaveAsyncOpen = false;
  LPDPENUMSESSIONSCALLBACK2 openPassCallback = nullptr;  // an asynchronous pass left open
  LPVOID openPassContext = nullptr;
  std::vector<uint8_t> lastAddress;
  int livePlayObjects = 0;
  int liveLobbies = 0;
};
PlayWorld& World();
uint32_t PlayGeneration();

// Waits (outside the simulation's lock) while the EnumPlayers gate is closed;
// counts the callback as reached.
void PassEnumPlayersGate(bool first);

// Creates the play object, answering `iid` (IDirectPlay, IDirectPlay4A or IDirectPlay4).
HRESULT NewPlayObject(REFIID iid, void** object);
HRESULT NewLobby(REFIID iid, void** object);
void ResetDirectPlay();
void RegisterDirectPlayClasses();

}  // namespace sim::detail

#endif
