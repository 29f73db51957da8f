// Start-up and clean-up of the network component, and every call before
// start-up, after clean-up or without a play object.
#include "core/last_error.h"
#include "network_fixture.h"

namespace {

const char* const kStartupLines[] = {"KRNetwork : Startup", "KRNetwork : DirectPlayLobby3Create"};

TEST_F(NetworkTest, StartupMakesTheLobbyThenTheSixTablesAndCleanupUndoesIt) {
  KRSTARTUPINFO info = StartupInfo(KRSTARTUP_ALLOCTRACE);
  KRCleanup();
  ASSERT_EQ(KRStartup(&info), 1);
  Clear();
  ASSERT_EQ(KRNetworkStartup(), 1);
  EXPECT_EQ(KRNetworkIsStarted(), 1);
  std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], kStartupLines[0]);
  EXPECT_EQ(lines[1], kStartupLines[1]);
  const char* tags[] = {"KRNE:CONNECT", "KRNE:SESSIO0", "KRNE:SESSIO1", "KRNE:PLAYER0", "KRNE:PLAYER1",
                        "KRNE:ADDRESS"};
  for (int i = 0; i < 6; ++i) EXPECT_NE(lines[2 + i].find(tags[i]), std::string::npos) << lines[2 + i];
  EXPECT_EQ(sim::LiveLobbyObjects(), 1);
  EXPECT_EQ(g_krNetwork.name.dwSize, sizeof(DPNAME));
  EXPECT_EQ(g_krNetwork.chat.dwSize, sizeof(DPCHAT));

  // The lobby is asked for the first interface in-process, then queried on.
  const std::string create = LastArgumentsOf("CoCreateInstance");
  EXPECT_NE(create.find("{2FE8F810-B2A5-11D0-A787-0000F803ABFC}, NULL, 0x3, {26C66A70"), std::string::npos) << create;

  Clear();
  KRNetworkCleanup();
  lines = LogLines();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "KRNetwork : Cleanup");
  for (int i = 0; i < 6; ++i) EXPECT_NE(lines[1 + i].find(tags[i]), std::string::npos) << lines[1 + i];
  // Without a play object the line still stands.
  EXPECT_EQ(lines[7], "KRNetwork : Release DirectPlay4A");
  EXPECT_EQ(lines[8], "KRNetwork : Release DirectPlayLobby3");
  EXPECT_EQ(KRNetworkIsStarted(), 0);
  EXPECT_EQ(sim::LiveLobbyObjects(), 0);
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::Release"), 0);
}

TEST_F(NetworkTest, SecondStartupAndCleanupWhileStoppedAreRefusedBeforeAnyLine) {
  StartNetwork();
  Clear();
  EXPECT_EQ(KRNetworkStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetAlreadyStarted);
  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(sim::LiveLobbyObjects(), 1);
  KRNetworkCleanup();
  Clear();
  KRNetworkCleanup();
  EXPECT_EQ(KRErrorGetLastError(), kNetNotStarted);
  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(KRNetworkStartup(), 1);  // a start after a clean-up is allowed
}

TEST_F(NetworkTest, LobbyThatCannotBeMadeOrQueriedLeavesNothingBehind) {
  sim::FailNext("CoCreateInstance", E_OUTOFMEMORY);
  EXPECT_EQ(KRNetworkStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetStartupFailed);
  EXPECT_EQ(KRNetworkIsStarted(), 0);

  sim::FailNext("IDirectPlayLobby3A::QueryInterface", E_NOINTERFACE);
  EXPECT_EQ(KRNetworkStartup(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetStartupFailed);
  EXPECT_EQ(KRNetworkIsStarted(), 0);
  // The first interface is released whatever the query gave.
  EXPECT_EQ(sim::LiveLobbyObjects(), 0);
  EXPECT_EQ(g_krNetwork.lpConnections, nullptr);
}

TEST_F(NetworkTest, ExhaustedHeapFreesTheTablesMadeAndReleasesTheLobby) {
  const int heapBefore = sim::LiveHeapBlocks();
  const int header = 16;
  for (int size : {static_cast<int>(64 * sizeof(KRNETWORKCORECONNECTIONINFO)),
                   static_cast<int>(64 * sizeof(KRNETWORKCOREPLAYERINFO)), 128}) {
    SCOPED_TRACE(size);
    sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, ", " + std::to_string(size + header));
    EXPECT_EQ(KRNetworkStartup(), 0);
    EXPECT_EQ(sim::PendingFailures(), 0);
    EXPECT_EQ(KRErrorGetLastError(), kNetStartupFailed);
    EXPECT_EQ(KRNetworkIsStarted(), 0);
    EXPECT_EQ(sim::LiveHeapBlocks(), heapBefore);
    EXPECT_EQ(sim::LiveLobbyObjects(), 0);
    EXPECT_EQ(g_krNetwork.lpSessions[0], nullptr);
    EXPECT_EQ(g_krNetwork.lpAddress, nullptr);
  }
  EXPECT_EQ(KRNetworkStartup(), 1);
}

TEST_F(NetworkTest, CallsBeforeStartupAfterCleanupOrWithoutPlayObjectTouchNothing) {
  auto expectRefused = [](const char* when) {
    SCOPED_TRACE(when);
    KRNETWORKCONNECTIONINFO connection;
    memset(&connection, 'x', sizeof(connection));
    KRNETWORKSESSIONINFO session;
    memset(&session, 'x', sizeof(session));
    KRNETWORKPLAYERORGROUPINFO player;
    memset(&player, 'x', sizeof(player));
    IDirectPlay4* play = reinterpret_cast<IDirectPlay4*>(&player);
    char name[8] = "keep";
    DWORD size = 16;
    int from = 7;
    int to = 7;
    BYTE buffer[16];
    const size_t callsBefore = PlayCalls().size() + sim::CountCalls("CreateThread");

    EXPECT_EQ(KRNetworkCreateSession(&session), 0);
    EXPECT_EQ(KRNetworkJoinToSession(0), 0);
    KRNetworkCloseSession();
    EXPECT_EQ(KRNetworkGetSessionCount(0), -1);
    EXPECT_EQ(KRNetworkGetPlayerCount(-1, 0), -1);
    EXPECT_EQ(KRNetworkCreatePlayer(&player), 0);
    EXPECT_EQ(KRNetworkCreateGroup(&player), 0);
    KRNetworkDestroyPlayer(1);
    KRNetworkDestroyGroup(1);
    KRNetworkAddPlayerToGroup(1, 2);
    KRNetworkDeletePlayerFromGroup(1, 2);
    KRNetworkGetPlayerName(name, 1);
    KRNetworkGetGroupName(name, 1);
    EXPECT_EQ(KRNetworkReceiveMessage(buffer, &size, &from, &to), 0);
    EXPECT_EQ(KRNetworkSendSystemMessage(buffer, 4, 1, 2), 0);
    EXPECT_EQ(KRNetworkSendChatMessage(name, 1, 2), 0);
    KRNetworkRequestToJoin(1);
    KRNetworkAcceptJoining(1);
    KRNetworkCancelJoining(1);
    KRNetworkGetDirectPlayInterface(&play);
    EXPECT_EQ(play, nullptr);
    EXPECT_STREQ(name, "keep");
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(from, 7);
    EXPECT_EQ(KRErrorGetLastError(), kNetNotStarted);
    EXPECT_EQ(PlayCalls().size() + sim::CountCalls("CreateThread"), callsBefore);
    EXPECT_TRUE(sim::PlaySends().empty());
  };
  expectRefused("before start-up");
  // Each of these says itself that the network is not started.
  auto expectNotStarted = [](const char* call) {
    EXPECT_EQ(KRErrorGetLastError(), kNetNotStarted) << call;
    KRErrorSetLastError(0);
  };
  KRErrorSetLastError(0);
  KRNETWORKCONNECTIONINFO connection;
  KRNETWORKPLAYERORGROUPINFO player;
  EXPECT_EQ(KRNetworkGetConnectionCount(), 0);
  expectNotStarted("GetConnectionCount");
  KRNetworkGetConnectionInfo(&connection, 0);
  expectNotStarted("GetConnectionInfo");
  EXPECT_EQ(KRNetworkStartupConnection(0, nullptr), 0);
  expectNotStarted("StartupConnection");
  EXPECT_EQ(KRNetworkGetSessionCountCancel(), 0);
  EXPECT_EQ(KRNetworkGetPlayerCountCancel(), 0);
  expectNotStarted("GetPlayerCountCancel");
  KRNetworkGetPlayerInfo(&player, 0);
  expectNotStarted("GetPlayerInfo");
  EXPECT_EQ(KRNetworkGetAcceptedGroup(), 0);

  StartNetwork();
  expectRefused("started without a connection");
  KRNetworkCleanup();
  expectRefused("after clean-up");
}

TEST_F(NetworkTest, LibraryCleanupWarnsAndCleansUpAStartedNetwork) {
  Host();
  KRCleanup();
  const std::vector<std::string> lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "KR Warining : You didn't cleanup KRNetwork"), 1);
  EXPECT_EQ(KRNetworkIsStarted(), 0);
  EXPECT_EQ(sim::LivePlayObjects(), 0);
  EXPECT_EQ(sim::LiveLobbyObjects(), 0);
}

TEST_F(NetworkTest, StartupAndCleanupZeroEveryCount) {
  Host();
  AddSessions(2);
  sim::AddPlayMember({0x900, DPPLAYERTYPE_PLAYER, "P", {}});
  ASSERT_EQ(KRNetworkGetSessionCount(0), 2);
  ASSERT_EQ(KRNetworkGetPlayerCount(-1, 0), 1);
  KRNetworkCleanup();
  EXPECT_EQ(g_krNetwork.nConnectionCount, 0);
  EXPECT_EQ(g_krNetwork.nSessionCount, 0);
  EXPECT_EQ(g_krNetwork.nPlayerCount, 0);
  EXPECT_EQ(g_krNetwork.bHost, 0);
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, 0u);
  StartNetwork();
  KRNETWORKCONNECTIONINFO connection;
  KRNetworkGetConnectionInfo(&connection, 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetInvalid);
  EXPECT_EQ(g_krNetwork.nSessionCount, 0);
  EXPECT_EQ(g_krNetwork.dpidAcceptedGroup, 0u);
}

}  // namespace
