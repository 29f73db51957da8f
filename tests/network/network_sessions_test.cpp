// Sessions: create with the accepted group, join, close, and the listing in
// its three modes on the virtual clock, across the tick count's wrap.
#include <algorithm>

#include "network_fixture.h"

namespace {

std::vector<sim::CallRecord> CallsOf(const std::string& function) {
  std::vector<sim::CallRecord> found;
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function == function) found.push_back(call);
  }
  return found;
}

TEST_F(NetworkTest, CreateOpensTheDescriptionAndMakesTheAcceptedGroup) {
  Connect();
  sim::SetNextPlayId(0x80000010u);
  KRNETWORKSESSIONINFO info;
  memset(&info, 0, sizeof(info));
  info.dwMaxPlayers = 6;
  strcpy(info.szName, "Room");
  ASSERT_EQ(KRNetworkCreateSession(&info), 1);
  const std::vector<sim::PlayOpenRecord> opens = sim::PlayOpens();
  ASSERT_EQ(opens.size(), 1u);
  const sim::PlayOpenRecord& open = opens[0];
  EXPECT_EQ((std::vector<DWORD>{open.size, open.sessionFlags, open.application.Data1, open.maxPlayers, open.flags}),
            (std::vector<DWORD>{sizeof(DPSESSIONDESC2), DPSESSION_MIGRATEHOST, 0xCAFEF00D, 6, DPOPEN_CREATE}));
  EXPECT_EQ(open.name, "Room");
  EXPECT_EQ(static_cast<DWORD>(KRNetworkGetAcceptedGroup()), 0x80000010u);
  EXPECT_EQ(g_krNetwork.bHost, 1);
  const std::vector<sim::PlayMember> members = sim::PlayMembers();
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].type, static_cast<DWORD>(DPPLAYERTYPE_GROUP));
  EXPECT_EQ(*members[0].name, "KRNETWORK_ACCEPTED");
}

TEST_F(NetworkTest, RefusedCreateIsNotLoggedAndMakesNoGroup) {
  Connect();
  KRNETWORKSESSIONINFO info;
  memset(&info, 0, sizeof(info));
  sim::FailNext("IDirectPlay4A::Open", DPERR_CANTCREATESESSION);
  EXPECT_EQ(KRNetworkCreateSession(&info), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetConnection);
  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::CreateGroup"), 0);
  EXPECT_EQ(g_krNetwork.bHost, 0);
}

TEST_F(NetworkTest, CreateStillSucceedsWhenTheAcceptedGroupIsRefused) {
  Connect();
  KRNETWORKSESSIONINFO info;
  memset(&info, 0, sizeof(info));
  sim::FailNext("IDirectPlay4A::CreateGroup", DPERR_CANTCREATEGROUP);
  EXPECT_EQ(KRNetworkCreateSession(&info), 1);
  EXPECT_EQ(KRNetworkGetAcceptedGroup(), 0);
  EXPECT_EQ(g_krNetwork.bHost, 1);
}

TEST_F(NetworkTest, SynchronousListingPublishesThePassItReturns) {
  Connect();
  EXPECT_EQ(KRNetworkGetSessionCount(0), 0);  // no session on the network
  KRNETWORKSESSIONINFO info;
  KRNetworkGetSessionInfo(&info, 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetInvalid);

  AddSessions(3);
  sim::AddRemoteSession({SessionGuid(3), std::nullopt});
  sim::AddRemoteSession({SessionGuid(4), std::string(80, 'n')});
  Clear();
  ASSERT_EQ(KRNetworkGetSessionCount(0), 5);
  const std::vector<sim::CallRecord> calls = CallsOf("IDirectPlay4A::EnumSessions");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_NE(calls[0].arguments.find(", 0, ptr, 0x1234, 0x2"), std::string::npos) << calls[0].arguments;
  memset(&info, 'q', sizeof(info));
  info.dwMaxPlayers = 99;
  KRNetworkGetSessionInfo(&info, 1);
  EXPECT_STREQ(info.szName, "S1");
  EXPECT_EQ(info.dwMaxPlayers, 99u);
  KRNetworkGetSessionInfo(&info, 3);
  EXPECT_STREQ(info.szName, "");
  KRNetworkGetSessionInfo(&info, 4);
  EXPECT_EQ(std::string(info.szName), std::string(63, 'n'));
  EXPECT_EQ(KRNetworkPublishedSessions()[2].guidInstance.Data1, SessionGuid(2).Data1);

  sim::FailNext("IDirectPlay4A::EnumSessions", DPERR_GENERIC);
  EXPECT_EQ(KRNetworkGetSessionCount(0), -1);
  EXPECT_EQ(KRErrorGetLastError(), kNetFailed);
  KRNetworkGetSessionInfo(&info, 4);  // the last published pass stays
  EXPECT_EQ(std::string(info.szName), std::string(63, 'n'));
}

TEST_F(NetworkTest, ListingHoldsTheFirstSixtyFour) {
  Connect();
  AddSessions(70);
  for (bool ignoresStop : {false, true}) {  // calls after the stop, time-out included, change nothing
    sim::SetEnumerationIgnoresStop(ignoresStop);
    ASSERT_EQ(KRNetworkGetSessionCount(0), 64);
    KRNETWORKSESSIONINFO info;
    KRNetworkGetSessionInfo(&info, 63);
    EXPECT_STREQ(info.szName, "S63");
    EXPECT_EQ(g_krNetwork.bSessionEnumerating, 0);
  }
}

TEST_F(NetworkTest, AsynchronousListingKeepsItsIntervalAcrossTheWrap) {
  sim::SetNow(0xFFFFFF00u);
  Connect();
  AddSessions(2);
  ASSERT_EQ(KRNetworkGetSessionCount(1000), 2);  // reported to its end inside the call
  const std::vector<sim::CallRecord> calls = CallsOf("IDirectPlay4A::EnumSessions");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_NE(calls[0].arguments.find(", 0x12"), std::string::npos);
  sim::AddRemoteSession({SessionGuid(2), "S2"});
  sim::AdvanceClock(0x80);  // before the wrap, the next pass after it
  EXPECT_EQ(KRNetworkGetSessionCount(1000), 2);
  sim::AdvanceClock(500);  // the count has wrapped; the interval has not passed
  EXPECT_EQ(KRNetworkGetSessionCount(1000), 2);
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::EnumSessions"), 1);
  sim::AdvanceClock(500);
  EXPECT_EQ(KRNetworkGetSessionCount(1000), 3);
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::EnumSessions"), 2);
}

TEST_F(NetworkTest, OpenPassRunsUntilTimedOutOrStopped) {
  Connect();
  ListSessions(2);
  sim::AddRemoteSession({SessionGuid(2), "S2"});
  sim::SetAsyncSessionsLeftOpen(true);
  EXPECT_EQ(KRNetworkGetSessionCount(100), 2);  // the old list while the pass runs
  EXPECT_EQ(g_krNetwork.bSessionEnumerating, 1);
  sim::AdvanceClock(1000);
  EXPECT_EQ(KRNetworkGetSessionCount(100), 2);  // still running: no second pass
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::EnumSessions"), 2);
  sim::FinishAsyncSessionPass();
  EXPECT_EQ(g_krNetwork.bSessionEnumerating, 0);
  EXPECT_EQ(KRNetworkGetSessionCount(100), 3);

  // Restart: the running pass is stopped and a new one starts at once.
  Clear();
  EXPECT_EQ(KRNetworkGetSessionCount(-1), 3);
  EXPECT_EQ(KRNetworkGetSessionCount(-1), 3);
  const std::vector<sim::CallRecord> calls = CallsOf("IDirectPlay4A::EnumSessions");
  ASSERT_EQ(calls.size(), 4u);  // a pass was running: stop, start; stop, start
  EXPECT_NE(calls[0].arguments.find(", 0x20"), std::string::npos);
  EXPECT_NE(calls[1].arguments.find(", 0x12"), std::string::npos);
  EXPECT_NE(calls[2].arguments.find(", 0x20"), std::string::npos);

  // Cancel: 1 with a pass running, 0 without; the stopped pass is not published.
  sim::SetNow(5000);
  EXPECT_EQ(KRNetworkGetSessionCountCancel(), 1);
  EXPECT_EQ(g_krNetwork.dwSessionNextTime, 5000u);
  EXPECT_EQ(KRNetworkGetSessionCountCancel(), 0);
  EXPECT_EQ(KRNetworkGetSessionCount(0), 3);
}

TEST_F(NetworkTest, FailedStopKeepsThePassRunning) {
  Connect();
  sim::SetAsyncSessionsLeftOpen(true);
  KRNetworkGetSessionCount(100);
  sim::FailNext("IDirectPlay4A::EnumSessions", DPERR_GENERIC);
  EXPECT_EQ(KRNetworkGetSessionCountCancel(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetFailed);
  EXPECT_EQ(g_krNetwork.bSessionEnumerating, 1);
  EXPECT_EQ(KRNetworkGetSessionCountCancel(), 1);
}

TEST_F(NetworkTest, FailedAsynchronousPassZeroesThePublishedCount) {
  Connect();
  ListSessions(2);
  sim::FailNext("IDirectPlay4A::EnumSessions", DPERR_CONNECTING);
  KRErrorSetLastError(0);
  EXPECT_EQ(KRNetworkGetSessionCount(10), 0);
  EXPECT_EQ(KRErrorGetLastError(), 0u);
  EXPECT_EQ(g_krNetwork.nSessionCount, 0);
  EXPECT_EQ(g_krNetwork.bSessionEnumerating, 0);

  sim::AdvanceClock(10);
  sim::FailNext("IDirectPlay4A::EnumSessions", DPERR_GENERIC);
  EXPECT_EQ(KRNetworkGetSessionCount(10), -1);
  EXPECT_EQ(KRErrorGetLastError(), kNetFailed);
  EXPECT_EQ(g_krNetwork.bSessionEnumerating, 0);
}

TEST_F(NetworkTest, JoinOpensOnlyTheInstanceAfterStoppingBothListings) {
  Connect();
  ListSessions(3);
  sim::SetAsyncSessionsLeftOpen(true);
  sim::AdvanceClock(1);
  KRNetworkGetSessionCount(100);
  KRNetworkGetPlayerCount(0, 0x1000000);  // its pass waits for the session listing
  sim::SetTickStep(1);
  Clear();
  ASSERT_EQ(KRNetworkJoinToSession(2), 1);
  // The session listing stops first: the player pass, freed, may list before its stop.
  EXPECT_LT(g_krNetwork.dwSessionNextTime, g_krNetwork.dwPlayerNextTime);
  std::vector<std::string> calls = PlayCalls();
  calls.erase(std::remove(calls.begin(), calls.end(), "IDirectPlay4A::EnumPlayers"), calls.end());
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], "IDirectPlay4A::EnumSessions");  // the stop
  EXPECT_EQ(calls[1], "IDirectPlay4A::Open");
  const sim::PlayOpenRecord open = sim::PlayOpens().back();
  EXPECT_EQ(open.instance.Data1, SessionGuid(2).Data1);
  EXPECT_EQ(open.application.Data1, 0u);
  EXPECT_EQ(open.sessionFlags, 0u);
  EXPECT_EQ(open.name, "");
  EXPECT_EQ(open.size, sizeof(DPSESSIONDESC2));
  EXPECT_EQ(open.flags, static_cast<DWORD>(DPOPEN_JOIN));
  EXPECT_EQ(g_krNetwork.bHost, 0);
}

TEST_F(NetworkTest, FailedJoinIsLoggedAndBadIndexesChangeNothing) {
  Host();
  ListSessions(2);
  for (int index : {-1, 2}) {
    Clear();
    EXPECT_EQ(KRNetworkJoinToSession(index), 0);
    EXPECT_EQ(KRErrorGetLastError(), kNetInvalid);
    EXPECT_TRUE(PlayCalls().empty());
  }
  sim::FailNext("IDirectPlay4A::Open", DPERR_NOSESSIONS);
  EXPECT_EQ(KRNetworkJoinToSession(0), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetJoin);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DPERR_NOSESSIONS"});
  EXPECT_EQ(g_krNetwork.bHost, 1);  // unchanged by a failed join
  // A join forgets this machine's host player: the request goes to all players.
  KRNETWORKPLAYERORGROUPINFO player = {0, "H"};
  const int id = KRNetworkCreatePlayer(&player);
  ASSERT_EQ(g_krNetwork.dpidHostPlayer, static_cast<DPID>(id));
  ASSERT_EQ(KRNetworkJoinToSession(0), 1);
  KRNetworkRequestToJoin(id);
  ASSERT_EQ(sim::PlaySends().size(), 1u);
  EXPECT_EQ(sim::PlaySends()[0].to, 0u);
}

TEST_F(NetworkTest, CloseChangesNoFlagAndLogsAFailure) {
  Host();
  DPID host = 0;
  KRNETWORKPLAYERORGROUPINFO player = {0, "H"};
  host = static_cast<DPID>(KRNetworkCreatePlayer(&player));
  KRNetworkCloseSession();
  EXPECT_EQ(g_krNetwork.bHost, 1);
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, host);
  EXPECT_EQ(KRNetworkGetAcceptedGroup(), 0x500);
  EXPECT_TRUE(LogLines().empty());
  sim::FailNext("IDirectPlay4A::Close", DPERR_NOCONNECTION);
  KRNetworkCloseSession();
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DPERR_NOCONNECTION"});
}

}  // namespace
