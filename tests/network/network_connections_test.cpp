// The connection listing (both passes), connection information, starting a
// connection with its address, and handing out the play object.
#include "network_fixture.h"

namespace {

sim::PlayProvider Provider(uint32_t n, const char* name, size_t blockSize = 60) {
  sim::PlayProvider provider;
  provider.guid.Data1 = n;
  if (name != nullptr) {
    provider.name = name;
    provider.wideName = std::u16string(name, name + strlen(name));
  }
  provider.connection.assign(blockSize, static_cast<uint8_t>(n));
  return provider;
}

KRNETWORKSTARTUPCONNECTIONINFO Address(const std::string& host) {
  KRNETWORKSTARTUPCONNECTIONINFO info;
  memset(&info, 0, sizeof(info));
  strncpy(info.szAddress, host.c_str(), sizeof(info.szAddress) - 1);
  return info;
}

TEST_F(NetworkTest, ListingRunsTwoPassesOverTheSameTable) {
  StartNetwork();
  Clear();
  ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
  const std::vector<std::string> calls = PlayCalls();
  const std::vector<std::string> expected = {
      "IDirectPlay::QueryInterface", "IDirectPlay::Release", "IDirectPlay4A::EnumConnections",
      "IDirectPlay4A::Release",      "IDirectPlay::QueryInterface", "IDirectPlay::Release",
      "IDirectPlay4::EnumConnections", "IDirectPlay4::Release"};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(sim::LivePlayObjects(), 0);
  KRNETWORKCONNECTIONINFO info;
  KRNetworkGetConnectionInfo(&info, 0);
  EXPECT_STREQ(info.szName, "Internet TCP/IP Connection For DirectPlay");
  EXPECT_STREQ(info.szName2, "Internet TCP/IP Connection For DirectPlay");
  KRNetworkGetConnectionInfo(&info, 3);
  EXPECT_STREQ(info.szName, "Serial Connection For DirectPlay");
  EXPECT_EQ(memcmp(&g_krNetwork.lpConnections[1].guidServiceProvider, &DPSPGUID_IPX, sizeof(GUID)), 0);
  EXPECT_EQ(g_krNetwork.lpConnections[1].connection[0], 0x50);
  // Each pass names the application.
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function.find("EnumConnections") != std::string::npos) {
      EXPECT_EQ(call.arguments.rfind("{CAFEF00D-0000-0000-0000-000000000000}", 0), 0u) << call.arguments;
    }
  }
}

TEST_F(NetworkTest, ListingStopsAtSixtyFourAndBoundsOddNamesAndBlocks) {
  StartNetwork();
  sim::ClearPlayProviders();
  sim::AddPlayProvider(Provider(1, nullptr, 2000));             // null name, oversized block
  sim::AddPlayProvider(Provider(2, std::string(100, 'a').c_str()));
  // 62 'b' and a double-byte character across the 63rd and 64th byte: cut before it.
  std::string dbcs = std::string(62, 'b') + "\x82\xA0" + "c";
  sim::AddPlayProvider(Provider(3, dbcs.c_str()));
  for (uint32_t n = 4; n <= 70; ++n) sim::AddPlayProvider(Provider(n, "x"));
  ASSERT_EQ(KRNetworkGetConnectionCount(), 64);
  KRNETWORKCONNECTIONINFO info;
  KRNetworkGetConnectionInfo(&info, 0);
  EXPECT_STREQ(info.szName, "");
  EXPECT_STREQ(info.szName2, "");
  EXPECT_EQ(g_krNetwork.lpConnections[0].connection[1023], 1);
  KRNetworkGetConnectionInfo(&info, 1);
  EXPECT_EQ(std::string(info.szName), std::string(63, 'a'));
  EXPECT_EQ(std::string(info.szName2), std::string(63, 'a'));
  KRNetworkGetConnectionInfo(&info, 2);
  EXPECT_EQ(std::string(info.szName), std::string(62, 'b'));
  EXPECT_EQ(memcmp(&g_krNetwork.lpConnections[63].guidServiceProvider.Data1, "\x40\0\0\0", 4), 0);
  sim::SetEnumerationIgnoresStop(true);  // calls after the stop change nothing
  ASSERT_EQ(KRNetworkGetConnectionCount(), 64);
  EXPECT_EQ(memcmp(&g_krNetwork.lpConnections[63].guidServiceProvider.Data1, "\x40\0\0\0", 4), 0);
}

TEST_F(NetworkTest, WideNamesAreConvertedInScratchRoomThenCut) {
  StartNetwork();
  sim::ClearPlayProviders();
  sim::PlayProvider provider = Provider(1, "Ansi");
  provider.wideName = std::u16string(300, u'w');  // too long even for the scratch room
  sim::AddPlayProvider(provider);
  provider = Provider(2, "Ansi");
  provider.wideName = std::u16string(u"Wide\u0100");  // in no OEM code page
  sim::AddPlayProvider(provider);
  provider = Provider(3, "Ansi");
  provider.wideName = std::u16string(100, u'v');
  sim::AddPlayProvider(provider);
  ASSERT_EQ(KRNetworkGetConnectionCount(), 3);
  KRNETWORKCONNECTIONINFO info;
  KRNetworkGetConnectionInfo(&info, 0);
  EXPECT_STREQ(info.szName, "Ansi");
  EXPECT_STREQ(info.szName2, "");
  KRNetworkGetConnectionInfo(&info, 1);
  EXPECT_STREQ(info.szName2, "Wide?");
  KRNetworkGetConnectionInfo(&info, 2);
  EXPECT_EQ(std::string(info.szName2), std::string(63, 'v'));
  // The OEM code page, the whole string with its NUL.
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function == "WideCharToMultiByte") {
      EXPECT_EQ(call.arguments.rfind("1, 0x0, ptr, -1, ptr, ", 0), 0u);
    }
  }

  sim::FailNext("WideCharToMultiByte", ERROR_INVALID_PARAMETER);
  ASSERT_EQ(KRNetworkGetConnectionCount(), 3);
  KRNetworkGetConnectionInfo(&info, 0);
  EXPECT_STREQ(info.szName2, "");
}

TEST_F(NetworkTest, FailedPassesKeepOrLeaveTheTableAsTheySay) {
  StartNetwork();
  ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
  // Pass 1 cannot make its object: the old table and count stay.
  sim::FailNext("CoCreateInstance", E_OUTOFMEMORY);
  EXPECT_EQ(KRNetworkGetConnectionCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetStartupFailed);
  KRNETWORKCONNECTIONINFO info;
  KRNetworkGetConnectionInfo(&info, 3);
  EXPECT_STREQ(info.szName, "Serial Connection For DirectPlay");

  sim::FailNext("IDirectPlay::QueryInterface", E_NOINTERFACE);
  EXPECT_EQ(KRNetworkGetConnectionCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetStartupFailed);
  EXPECT_EQ(sim::LivePlayObjects(), 0);

  sim::FailNext("IDirectPlay4A::EnumConnections", DPERR_GENERIC);
  EXPECT_EQ(KRNetworkGetConnectionCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetFailed);
  EXPECT_EQ(sim::LivePlayObjects(), 0);

  // Pass 2 fails: the count is what pass 2 entered (nothing), as the build index restarted.
  sim::FailNext("IDirectPlay4::EnumConnections", DPERR_GENERIC);
  EXPECT_EQ(KRNetworkGetConnectionCount(), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetFailed);
  EXPECT_EQ(g_krNetwork.nConnectionCount, 0);
  EXPECT_EQ(sim::LivePlayObjects(), 0);

  sim::ClearPlayProviders();
  EXPECT_EQ(KRNetworkGetConnectionCount(), 0);  // a machine without providers
}

TEST_F(NetworkTest, ConnectionInfoIndexOutsideTheListLeavesTheRecord) {
  StartNetwork();
  ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
  for (int index : {-1, 4, 64}) {
    KRNETWORKCONNECTIONINFO info;
    memset(&info, 'q', sizeof(info));
    KRErrorSetLastError(0);
    KRNetworkGetConnectionInfo(&info, index);
    EXPECT_EQ(KRErrorGetLastError(), kNetInvalid);
    EXPECT_EQ(info.szName[0], 'q');
    EXPECT_EQ(info.szName2[63], 'q');
  }
}

// The address: a total-size chunk, then the elements, each behind a 20-byte header.
TEST_F(NetworkTest, TcpIpStartBuildsTheAddressWithTheHostString) {
  StartNetwork();
  ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
  Clear();
  KRNETWORKSTARTUPCONNECTIONINFO info = Address("127.0.0.1");
  ASSERT_EQ(KRNetworkStartupConnection(0, &info), 1);
  const std::vector<uint8_t> address = sim::LastCompoundAddress();
  ASSERT_EQ(address.size(), 24u + 36u + 20u + 10u);
  EXPECT_EQ(memcmp(address.data() + 24, &DPAID_ServiceProvider, 16), 0);
  EXPECT_EQ(memcmp(address.data() + 44, &DPSPGUID_TCPIP, 16), 0);
  EXPECT_EQ(memcmp(address.data() + 60, &DPAID_INet, 16), 0);
  EXPECT_EQ(address[76], 10);
  EXPECT_EQ(memcmp(address.data() + 80, "127.0.0.1", 10), 0);
  EXPECT_EQ(memcmp(g_krNetwork.lpAddress, address.data(), address.size()), 0);
  const std::vector<std::string> expected = {
      "IDirectPlayLobby3A::CreateCompoundAddress", "IDirectPlay::QueryInterface", "IDirectPlay::Release",
      "IDirectPlay4A::Initialize", "IDirectPlay4A::InitializeConnection"};
  EXPECT_EQ(PlayCalls(), expected);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"KRNetwork : DirectPlay4ACreate"});
  EXPECT_EQ(sim::LivePlayObjects(), 1);

  // An empty host string still carries the INet element, of size 1.
  info = Address("");
  ASSERT_EQ(KRNetworkStartupConnection(0, &info), 1);
  EXPECT_EQ(sim::LastCompoundAddress().size(), 24u + 36u + 20u + 1u);
  EXPECT_EQ(sim::LivePlayObjects(), 1);  // the old play object was released
}

TEST_F(NetworkTest, AddressRunsOutOfRoomAtFortyEightCharacters) {
  StartNetwork();
  ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
  KRNETWORKSTARTUPCONNECTIONINFO info = Address(std::string(47, 'h'));
  ASSERT_EQ(KRNetworkStartupConnection(0, &info), 1);
  EXPECT_EQ(sim::LastCompoundAddress().size(), 128u);
  Clear();
  info = Address(std::string(48, 'h'));
  EXPECT_EQ(KRNetworkStartupConnection(0, &info), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetConnection);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DPERR_BUFFERTOOSMALL"});
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::Release"), 0);  // failed before the play object
}

TEST_F(NetworkTest, OtherProvidersAndNullInfoGetOnlyTheProviderElement) {
  StartNetwork();
  ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
  KRNETWORKSTARTUPCONNECTIONINFO info = Address("10.0.0.1");
  const GUID* providers[] = {&DPSPGUID_TCPIP, &DPSPGUID_IPX, &DPSPGUID_MODEM, &DPSPGUID_SERIAL};
  for (int i = 0; i < 4; ++i) {
    for (KRNETWORKSTARTUPCONNECTIONINFO* given : {&info, static_cast<KRNETWORKSTARTUPCONNECTIONINFO*>(nullptr)}) {
      if (i == 0 && given != nullptr) continue;
      SCOPED_TRACE(i);
      ASSERT_EQ(KRNetworkStartupConnection(i, given), 1);
      const std::vector<uint8_t> address = sim::LastCompoundAddress();
      ASSERT_EQ(address.size(), 60u);
      EXPECT_EQ(memcmp(address.data() + 44, providers[i], 16), 0);
    }
  }
}

TEST_F(NetworkTest, AlreadyInitializedCountsAsSuccessAtEveryStep) {
  StartNetwork();
  ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
  KRNETWORKSTARTUPCONNECTIONINFO info = Address("127.0.0.1");
  sim::FailNext("IDirectPlayLobby3A::CreateCompoundAddress", DPERR_ALREADYINITIALIZED);
  sim::FailNext("IDirectPlay4A::InitializeConnection", DPERR_ALREADYINITIALIZED);
  KRErrorSetLastError(0);
  EXPECT_EQ(KRNetworkStartupConnection(0, &info), 1);
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::Initialize"), 1);  // answers DPERR_ALREADYINITIALIZED itself
  EXPECT_EQ(KRErrorGetLastError(), 0u);
}

TEST_F(NetworkTest, EachFailingStepOfTheStartHasItsCodeAndLine) {
  StartNetwork();
  ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
  KRNETWORKSTARTUPCONNECTIONINFO info = Address("127.0.0.1");
  struct Step {
    const char* function;
    unsigned long code;
    bool logged;
  };
  const Step steps[] = {{"IDirectPlayLobby3A::CreateCompoundAddress", kNetConnection, true},
                        {"CoCreateInstance", kNetStartupFailed, false},
                        {"IDirectPlay::QueryInterface", kNetStartupFailed, true},
                        {"IDirectPlay4A::Initialize", kNetStartupFailed, true},
                        {"IDirectPlay4A::InitializeConnection", kNetConnection, true}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.function);
    Clear();
    sim::FailNext(step.function, DPERR_UNAVAILABLE);
    EXPECT_EQ(KRNetworkStartupConnection(0, &info), 0);
    EXPECT_EQ(KRErrorGetLastError(), step.code);
    std::vector<std::string> lines = LogLines();
    const bool hasName = std::find(lines.begin(), lines.end(), "DPERR_UNAVAILABLE") != lines.end();
    EXPECT_EQ(hasName, step.logged);
  }
  // No double release: the forgotten play object is not released again.
  EXPECT_EQ(KRNetworkStartupConnection(0, &info), 1);
  KRNetworkCleanup();
  EXPECT_EQ(sim::LivePlayObjects(), 0);
  EXPECT_TRUE(sim::ContractViolations().empty());
}

TEST_F(NetworkTest, StartWithAnIndexOutsideTheListChangesNothing) {
  Host();
  for (int index : {-1, 4}) {
    Clear();
    EXPECT_EQ(KRNetworkStartupConnection(index, nullptr), 0);
    EXPECT_EQ(KRErrorGetLastError(), kNetInvalid);
    EXPECT_TRUE(PlayCalls().empty());
    EXPECT_EQ(g_krNetwork.bHost, 1);
  }
}

TEST_F(NetworkTest, StartResetsTheSessionStateOfThePreviousConnection) {
  Host();
  sim::SetAsyncSessionsLeftOpen(true);
  ASSERT_EQ(KRNetworkGetSessionCount(100), 0);  // a pass left open
  sim::SetNow(0xFFFFFFF0u);
  ASSERT_EQ(KRNetworkStartupConnection(1, nullptr), 1);
  EXPECT_EQ(g_krNetwork.bHost, 0);
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, 0u);
  EXPECT_EQ(g_krNetwork.dwSessionNextTime, 0xFFFFFFF0u);
  EXPECT_EQ(g_krNetwork.dwPlayerNextTime, 0xFFFFFFF0u);
  // The next interval call lists again, past the wrap too.
  sim::AdvanceClock(0x20);
  sim::ClearCalls();
  KRNetworkGetSessionCount(100);
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::EnumSessions"), 1);
}

TEST_F(NetworkTest, InterfaceIsHandedOutWithAReference) {
  Connect();
  IDirectPlay4* play = nullptr;
  KRNetworkGetDirectPlayInterface(&play);
  ASSERT_EQ(play, g_krNetwork.lpDirectPlay);
  EXPECT_EQ(sim::CountCalls("IDirectPlay4A::AddRef"), 1);
  KRNetworkCleanup();
  EXPECT_EQ(sim::LivePlayObjects(), 1);  // the caller's reference keeps it
  play->Release();
  EXPECT_EQ(sim::LivePlayObjects(), 0);
}

}  // namespace
