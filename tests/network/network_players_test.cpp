// Players and groups: creates and the host player, names, the synchronous
// listing, and the background pass held at the simulation's gate.
#include "network_fixture.h"

namespace {

KRNETWORKPLAYERORGROUPINFO Named(const char* name) {
  KRNETWORKPLAYERORGROUPINFO info;
  memset(&info, 0, sizeof(info));
  strncpy(info.szName, name, sizeof(info.szName) - 1);
  return info;
}

TEST_F(NetworkTest, HostsFirstPlayerBecomesHostPlayerAndJoinsTheAcceptedGroup) {
  Host(0x80000001u);
  KRNETWORKPLAYERORGROUPINFO info = Named("Host");
  const DPID first = static_cast<DPID>(KRNetworkCreatePlayer(&info));
  EXPECT_EQ(first, 0x80000002u);  // an id above 0x7FFFFFFF passes through the int
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, first);
  info = Named("Second");
  KRNetworkCreatePlayer(&info);
  const std::vector<std::pair<DWORD, DWORD>> memberships = sim::PlayGroupMemberships();
  ASSERT_EQ(memberships.size(), 1u);
  EXPECT_EQ(memberships[0], std::make_pair(0x80000001u, first));
  EXPECT_EQ(g_krNetwork.name.dwSize, sizeof(DPNAME));
  EXPECT_EQ(g_krNetwork.name.lpszShortNameA, info.szName);
  EXPECT_EQ(g_krNetwork.name.lpszLongNameA, info.szName);
  EXPECT_EQ(*sim::PlayMembers().back().name, "Second");
}

TEST_F(NetworkTest, SecondSessionsFirstPlayerBecomesHostPlayerToo) {
  Host(0x100);
  KRNETWORKPLAYERORGROUPINFO info = Named("A");
  ASSERT_EQ(KRNetworkCreatePlayer(&info), 0x101);
  KRNetworkCloseSession();
  sim::SetNextPlayId(0x200);
  KRNETWORKSESSIONINFO session;
  memset(&session, 0, sizeof(session));
  ASSERT_EQ(KRNetworkCreateSession(&session), 1);
  ASSERT_EQ(KRNetworkCreatePlayer(&info), 0x201);
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, 0x201u);
  EXPECT_EQ(sim::PlayGroupMemberships().back(), std::make_pair(DWORD{0x200}, DWORD{0x201}));
}

TEST_F(NetworkTest, RefusedCreateReturnsZeroWithoutAHostPlayerStep) {
  Host();
  KRNETWORKPLAYERORGROUPINFO info = Named("A");
  sim::FailNext("IDirectPlay4A::CreatePlayer", DPERR_CANTCREATEPLAYER);
  EXPECT_EQ(KRNetworkCreatePlayer(&info), 0);
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, 0u);
  EXPECT_TRUE(sim::PlayGroupMemberships().empty());
  sim::FailNext("IDirectPlay4A::CreateGroup", DPERR_CANTCREATEGROUP);
  EXPECT_EQ(KRNetworkCreateGroup(&info), 0);
  EXPECT_NE(KRNetworkCreatePlayer(&info), 0);
  EXPECT_NE(g_krNetwork.dpidHostPlayer, 0u);
}

TEST_F(NetworkTest, JoinedMachinesPlayersStayOutOfTheGroup) {
  Connect();
  ListSessions(1);
  ASSERT_EQ(KRNetworkJoinToSession(0), 1);
  KRNETWORKPLAYERORGROUPINFO info = Named("Guest");
  EXPECT_NE(KRNetworkCreatePlayer(&info), 0);
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, 0u);
  EXPECT_TRUE(sim::PlayGroupMemberships().empty());
}

TEST_F(NetworkTest, DestroyAndMembershipPassTheirIdsOn) {
  Host(0x10);
  KRNetworkAddPlayerToGroup(0x10, 0x20);
  KRNetworkDeletePlayerFromGroup(0x10, 0x20);
  KRNetworkDeletePlayerFromGroup(0x10, 0x20);  // refused by the platform: nothing reported
  KRNetworkDestroyPlayer(static_cast<int>(0x90000000u));
  KRNetworkDestroyGroup(0x10);
  const std::vector<std::string> expected = {"IDirectPlay4A::AddPlayerToGroup", "IDirectPlay4A::DeletePlayerFromGroup",
                                             "IDirectPlay4A::DeletePlayerFromGroup", "IDirectPlay4A::DestroyPlayer",
                                             "IDirectPlay4A::DestroyGroup"};
  EXPECT_EQ(PlayCalls(), expected);
  EXPECT_EQ(sim::Calls().back().arguments, "0x10");
  EXPECT_TRUE(LogLines().empty());
  EXPECT_TRUE(sim::PlayMembers().empty());
}

TEST_F(NetworkTest, NameCallsCopyTheShortNameOrLogTheFailure) {
  Host();
  sim::AddPlayMember({0x700, DPPLAYERTYPE_PLAYER, "Seven", {}});
  sim::AddPlayMember({0x701, DPPLAYERTYPE_PLAYER, std::nullopt, {}});
  char name[64];
  KRNetworkGetPlayerName(name, 0x700);
  EXPECT_STREQ(name, "Seven");
  KRNetworkGetGroupName(name, 0x500);
  EXPECT_STREQ(name, "KRNETWORK_ACCEPTED");
  KRNetworkGetPlayerName(name, 0x701);
  EXPECT_STREQ(name, "");
  // A peer's own long name is cut to the 20 bytes of a player record.
  const std::string peer(40, 'p');
  sim::AddPlayMember({0x702, DPPLAYERTYPE_PLAYER, peer, {}});
  sim::AddPlayMember({0x703, DPPLAYERTYPE_GROUP, peer, {}});
  KRNETWORKPLAYERORGROUPINFO info;
  KRNetworkGetPlayerName(info.szName, 0x702);
  EXPECT_EQ(info.szName, peer.substr(0, 19));
  memset(name, 'q', sizeof(name));
  KRNetworkGetGroupName(name, 0x703);
  EXPECT_EQ(std::string(name, 21), peer.substr(0, 19) + '\0' + 'q');
  strcpy(name, "keep");
  KRNetworkGetPlayerName(name, 0x999);
  EXPECT_STREQ(name, "keep");
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DPERR_INVALIDPLAYER"});
  const std::string asked = LastArgumentsOf("IDirectPlay4A::GetPlayerName");
  EXPECT_EQ(asked, "0x999, ptr, ptr");
}

TEST_F(NetworkTest, SynchronousListingOfTheCurrentSession) {
  Host();
  EXPECT_EQ(KRNetworkGetPlayerCount(-1, 0), 0);
  sim::AddPlayMember({0x80000007u, DPPLAYERTYPE_PLAYER, "Alpha", {}});
  sim::AddPlayMember({0x8, DPPLAYERTYPE_PLAYER, std::nullopt, {}});
  sim::AddPlayMember({0x9, DPPLAYERTYPE_PLAYER, "A name of twenty-five ch", {}});
  Clear();
  ASSERT_EQ(KRNetworkGetPlayerCount(-1, 0), 3);
  EXPECT_NE(sim::Calls().back().arguments.find("NULL, ptr, NULL, 0x0"), std::string::npos);
  KRNETWORKPLAYERORGROUPINFO info;
  KRNetworkGetPlayerInfo(&info, 0);
  EXPECT_EQ(info.id, 0x80000007u);
  EXPECT_STREQ(info.szName, "Alpha");
  KRNetworkGetPlayerInfo(&info, 1);
  EXPECT_STREQ(info.szName, "");
  KRNetworkGetPlayerInfo(&info, 2);
  EXPECT_STREQ(info.szName, "A name of twenty-fi");
  memset(&info, 'q', sizeof(info));
  for (int index : {-1, 3}) {
    KRNetworkGetPlayerInfo(&info, index);
    EXPECT_EQ(KRErrorGetLastError(), kNetInvalid);
    EXPECT_EQ(info.szName[0], 'q');
  }
  sim::FailNext("IDirectPlay4A::EnumPlayers", DPERR_INVALIDGROUP);
  Clear();
  EXPECT_EQ(KRNetworkGetPlayerCount(-1, 0), -1);
  EXPECT_EQ(KRErrorGetLastError(), kNetFailed);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DPERR_INVALIDGROUP"});
  KRNetworkGetPlayerInfo(&info, 2);  // the published list stays
  EXPECT_STREQ(info.szName, "A name of twenty-fi");
}

TEST_F(NetworkTest, ListingOfARemoteSessionAndTheSignedIndexCheck) {
  Connect();
  ListSessions(2);
  for (int i = 0; i < 70; ++i) sim::AddPlayMember({DWORD(0x100 + i), DPPLAYERTYPE_PLAYER, "P", SessionGuid(1)});
  sim::AddPlayMember({0x999, DPPLAYERTYPE_GROUP, "G", SessionGuid(1)});
  sim::SetEnumerationIgnoresStop(true);  // calls after the stop change nothing
  Clear();
  ASSERT_EQ(KRNetworkGetPlayerCount(1, 0), 64);
  EXPECT_NE(sim::Calls().back().arguments.find("{5E550001-0000-0000-0000-000000000000}, ptr, NULL, 0x80"),
            std::string::npos)
      << sim::Calls().back().arguments;
  for (int session : {2, 100}) {
    Clear();
    EXPECT_EQ(KRNetworkGetPlayerCount(session, 0), 0);  // 0, not -1
    EXPECT_EQ(KRErrorGetLastError(), kNetInvalid);
    EXPECT_TRUE(PlayCalls().empty());
  }
  // A negative index always passes, even with no session listed.
  EXPECT_EQ(KRNetworkGetPlayerCount(-5, 0), -1);  // no open session here: the platform refuses
  EXPECT_EQ(KRErrorGetLastError(), kNetFailed);
}

// ---- The background pass ------------------------------------------------------------------

class PlayerThreadTest : public NetworkTest {
 protected:
  // Opens the gate from another thread a little later, while the test waits on the pass.
  static std::thread OpenGateSoon() {
    return std::thread([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      sim::OpenEnumPlayersGate();
    });
  }
  void SetUp() override {
    NetworkTest::SetUp();
    Host();
    for (DWORD id = 0x11; id <= 0x13; ++id) sim::AddPlayMember({id, DPPLAYERTYPE_PLAYER, "P", {}});
  }

  Watchdog watchdog_{10};  // a hung wait on the listing thread ends the run
};

TEST_F(PlayerThreadTest, PassStartsSuspendedAtLowestPriorityAndPublishesLater) {
  EXPECT_EQ(KRNetworkGetPlayerCount(-1, 500), 0);  // the old count
  ASSERT_TRUE(sim::WaitForThreads(5000));
  const std::string create = LastArgumentsOf("CreateThread");
  EXPECT_NE(create.find("NULL, 0, "), std::string::npos) << create;
  EXPECT_NE(create.find(", NULL, 0x4, ptr"), std::string::npos) << create;
  EXPECT_EQ(sim::LastThreadPriority(), THREAD_PRIORITY_LOWEST);
  EXPECT_EQ(sim::CountCalls("ResumeThread"), 1);
  EXPECT_EQ(sim::CountCalls("CloseHandle"), 1);
  EXPECT_EQ(g_krNetwork.bPlayerThreadRunning, 0);
  EXPECT_EQ(KRNetworkGetPlayerCount(-1, 500), 3);  // within the interval: no new pass
  EXPECT_EQ(sim::CountCalls("CreateThread"), 1);
  KRNETWORKPLAYERORGROUPINFO info;
  KRNetworkGetPlayerInfo(&info, 2);
  EXPECT_EQ(info.id, 0x13u);
}

TEST_F(PlayerThreadTest, NoSecondPassWhileOneIsHeldAtTheGate) {
  ASSERT_EQ(KRNetworkGetPlayerCount(-1, 0), 3);
  sim::AddPlayMember({0x14, DPPLAYERTYPE_PLAYER, "P", {}});
  sim::CloseEnumPlayersGate();
  sim::AdvanceClock(1000);
  EXPECT_EQ(KRNetworkGetPlayerCount(-1, 10), 3);
  ASSERT_TRUE(sim::WaitForEnumPlayersCallbacks(2, 5000));
  sim::AdvanceClock(1000);
  EXPECT_EQ(KRNetworkGetPlayerCount(-1, 10), 3);  // still running: the old list
  EXPECT_EQ(sim::CountCalls("CreateThread"), 1);
  sim::OpenEnumPlayersGate();
  ASSERT_TRUE(sim::WaitForThreads(5000));
  EXPECT_EQ(g_krNetwork.nPlayerCount, 4);
}

TEST_F(PlayerThreadTest, CancelStopsAHeldPassWithoutPublishing) {
  ASSERT_EQ(KRNetworkGetPlayerCount(-1, 0), 3);
  sim::AddPlayMember({0x14, DPPLAYERTYPE_PLAYER, "P", {}});
  sim::CloseEnumPlayersGate();
  sim::AdvanceClock(1000);
  KRNetworkGetPlayerCount(-1, 10);
  ASSERT_TRUE(sim::WaitForEnumPlayersCallbacks(2, 5000));
  std::thread opener = OpenGateSoon();  // while the cancel waits
  EXPECT_EQ(KRNetworkGetPlayerCountCancel(), 1);
  opener.join();
  EXPECT_EQ(g_krNetwork.bPlayerThreadRunning, 0);
  EXPECT_EQ(g_krNetwork.bPlayerCancel, 0);
  EXPECT_EQ(g_krNetwork.nPlayerCount, 3);
  EXPECT_EQ(KRNetworkGetPlayerCountCancel(), 0);
  ASSERT_TRUE(sim::WaitForThreads(5000));
}

TEST_F(PlayerThreadTest, CancelEndsAPassWaitingForASessionListing) {
  ListSessions(1);
  sim::SetAsyncSessionsLeftOpen(true);
  sim::AdvanceClock(1);
  KRNetworkGetSessionCount(100);
  ASSERT_EQ(g_krNetwork.bSessionEnumerating, 1);
  KRNetworkGetPlayerCount(0, 10);
  EXPECT_EQ(KRNetworkGetPlayerCountCancel(), 1);  // does not wait for the session pass
  ASSERT_TRUE(sim::WaitForThreads(5000));
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::EnumPlayers"), 0);
  EXPECT_EQ(KRNetworkGetSessionCountCancel(), 1);
}

TEST_F(PlayerThreadTest, PassKeepsTheSessionGuidTakenAtItsStart) {
  ListSessions(2);
  sim::AddPlayMember({0x31, DPPLAYERTYPE_PLAYER, "R", SessionGuid(1)});
  sim::SetAsyncSessionsLeftOpen(true);
  sim::AdvanceClock(1);
  KRNetworkGetSessionCount(100);  // a session pass runs: the thread waits for it
  KRNetworkGetPlayerCount(1, 10);
  sim::FinishAsyncSessionPass();  // publishes a list of other sessions
  ASSERT_TRUE(sim::WaitForThreads(5000));
  EXPECT_EQ(g_krNetwork.nPlayerCount, 1);
  KRNETWORKPLAYERORGROUPINFO info;
  KRNetworkGetPlayerInfo(&info, 0);
  EXPECT_EQ(info.id, 0x31u);
}

TEST_F(PlayerThreadTest, FailedPassZeroesTheCountAndFailedThreadCreationRetries) {
  ASSERT_EQ(KRNetworkGetPlayerCount(-1, 0), 3);
  sim::FailNext("IDirectPlay4A::EnumPlayers", DPERR_GENERIC);
  sim::AdvanceClock(1000);
  KRNetworkGetPlayerCount(-1, 10);
  ASSERT_TRUE(sim::WaitForThreads(5000));
  EXPECT_EQ(g_krNetwork.nPlayerCount, 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetFailed);
  EXPECT_EQ(g_krNetwork.bPlayerThreadRunning, 0);

  sim::AdvanceClock(1000);
  sim::FailNext("CreateThread", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(KRNetworkGetPlayerCount(-1, 10), 0);
  EXPECT_EQ(g_krNetwork.bPlayerThreadRunning, 0);
  sim::AdvanceClock(1000);
  KRNetworkGetPlayerCount(-1, 10);  // tries again
  EXPECT_EQ(sim::CountCalls("CreateThread"), 3);
  ASSERT_TRUE(sim::WaitForThreads(5000));
  EXPECT_EQ(g_krNetwork.nPlayerCount, 3);
}

// The thread's failure and the application's own meet in the last-error slot:
// every read gives one failure's whole text, and the code that goes with it.
TEST_F(PlayerThreadTest, FailuresOnBothThreadsKeepEachCodeWithItsText) {
  const std::string threadText = "KRNetwork : 不明なエラーが発生しました";
  const std::string ownText = "KRNetwork : 不正な値です";
  sim::FailNext("IDirectPlay4A::EnumPlayers", DPERR_GENERIC);
  KRNetworkGetPlayerCount(-1, 10);
  KRNETWORKPLAYERORGROUPINFO info;
  do {
    KRNetworkGetPlayerInfo(&info, -1);
    const std::string text = LastErrorText();
    ASSERT_TRUE(text == threadText || text == ownText) << text;
  } while (g_krNetwork.bPlayerThreadRunning.load());
  EXPECT_EQ(sim::PendingFailures(), 0);
  const unsigned long code = KRErrorGetLastError();
  EXPECT_EQ(LastErrorText(), code == kNetFailed ? threadText : ownText) << std::hex << code;
}

TEST_F(PlayerThreadTest, CallsThatReplaceStateCancelARunningPassFirst) {
  sim::CloseEnumPlayersGate();
  KRNetworkGetPlayerCount(-1, 10);
  ASSERT_TRUE(sim::WaitForEnumPlayersCallbacks(2, 5000));
  std::thread opener = OpenGateSoon();
  EXPECT_EQ(KRNetworkGetPlayerCount(-1, 0), 3);  // the synchronous pass cancels first
  opener.join();
  ASSERT_TRUE(sim::WaitForThreads(5000));

  sim::CloseEnumPlayersGate();
  sim::AdvanceClock(1000);
  KRNetworkGetPlayerCount(-1, 10);
  ASSERT_TRUE(sim::WaitForEnumPlayersCallbacks(4, 5000));
  std::thread opener2 = OpenGateSoon();
  KRNetworkCleanup();  // ends the pass before the tables go
  opener2.join();
  EXPECT_EQ(sim::RunningThreads(), 0);
}

TEST_F(PlayerThreadTest, WaitOnTheTickCountIsWrapSafe) {
  sim::SetNow(0xFFFFFFF0u);
  KRNetworkStartupConnection(0, nullptr);  // next pass time: now
  KRNetworkGetPlayerCount(-1, 100);  // next pass at 0x54, past the wrap
  ASSERT_TRUE(sim::WaitForThreads(5000));
  sim::SetNow(0xFFFFFFF8u);
  KRNetworkGetPlayerCount(-1, 100);
  EXPECT_EQ(sim::CountCalls("CreateThread"), 1);
  sim::SetNow(0x60);
  KRNetworkGetPlayerCount(-1, 100);
  EXPECT_EQ(sim::CountCalls("CreateThread"), 2);
  ASSERT_TRUE(sim::WaitForThreads(5000));
}

}  // namespace
