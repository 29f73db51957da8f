// Shared by the network component's host tests: a started library, helpers
// that bring the component to a state (started, connected, hosting, listing),
// readers of the log, and a watchdog that ends the test program when a wait
// on the listing thread never returns, so a deadlock fails instead of hanging.
#ifndef KR_TESTS_NETWORK_NETWORK_FIXTURE_H
#define KR_TESTS_NETWORK_NETWORK_FIXTURE_H

#include <dplay.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/last_error.h"
#include "network/network_state.h"
#include "platform/sim/ddraw_control.h"  // sim::SetEnumerationIgnoresStop
#include "platform/sim/dplay_control.h"
#include "support/started_library_test.h"

// Ends the program if not disarmed within `seconds`: a hung wait fails the test.
class Watchdog {
 public:
  explicit Watchdog(int seconds) : thread_([this, seconds] {
      for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        if (disarmed_) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      if (!disarmed_) {
        fprintf(stderr, "watchdog: a wait on the listing thread did not end\n");
        std::_Exit(3);
      }
    }) {}
  ~Watchdog() {
    disarmed_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> disarmed_{false};
  std::thread thread_;
};

constexpr unsigned long kNetAlreadyStarted = 0x8001;
constexpr unsigned long kNetNotStarted = 0x8002;
constexpr unsigned long kNetStartupFailed = 0x8003;
constexpr unsigned long kNetFailed = 0x8004;
constexpr unsigned long kNetInvalid = 0x8005;
constexpr unsigned long kNetConnection = 0x8100;
constexpr unsigned long kNetJoin = 0x8101;

class NetworkTest : public KRTest {
 protected:
  void SetUp() override {
    KRTest::SetUp();
    StartLibrary();
  }

  void TearDown() override {
    sim::OpenEnumPlayersGate();
    {
      Watchdog watchdog(10);
      if (KRNetworkIsStarted()) KRNetworkGetPlayerCountCancel();
      EXPECT_TRUE(sim::WaitForThreads(5000));
    }
    KRCleanup();
    KRTest::TearDown();
  }

  void StartNetwork() { ASSERT_EQ(KRNetworkStartup(), 1); }

  // Started, listed and connected on TCP/IP (entry 0) to "127.0.0.1".
  void Connect() {
    StartNetwork();
    ASSERT_EQ(KRNetworkGetConnectionCount(), 4);
    KRNETWORKSTARTUPCONNECTIONINFO info;
    memset(&info, 0, sizeof(info));
    strcpy(info.szAddress, "127.0.0.1");
    ASSERT_EQ(KRNetworkStartupConnection(0, &info), 1);
    Clear();
  }

  // Connected and hosting a session; the accepted group is id `group`.
  void Host(DPID group = 0x500) {
    Connect();
    sim::SetNextPlayId(group);
    KRNETWORKSESSIONINFO session;
    memset(&session, 0, sizeof(session));
    session.dwMaxPlayers = 8;
    strcpy(session.szName, "Game");
    ASSERT_EQ(KRNetworkCreateSession(&session), 1);
    Clear();
  }

  static GUID SessionGuid(int n) {
    GUID guid = {};
    guid.Data1 = 0x5E550000u + static_cast<uint32_t>(n);
    return guid;
  }

  // `count` remote sessions "S0", "S1", ...; ListSessions lists them synchronously too.
  static void AddSessions(int count) {
    for (int i = 0; i < count; ++i) sim::AddRemoteSession({SessionGuid(i), "S" + std::to_string(i)});
  }
  static void ListSessions(int count) {
    AddSessions(count);
    ASSERT_EQ(KRNetworkGetSessionCount(0), count < KRNETWORK_SESSION_MAX ? count : KRNETWORK_SESSION_MAX);
  }

  static void Clear() {
    sim::ClearCalls();
    sim::ClearDebugOutput();
  }

  static std::vector<std::string> LogLines() { return DebugOutputLines(true); }

  // The calls of the DirectPlay objects, "Method(arguments)", in order.
  static std::vector<std::string> PlayCalls() {
    std::vector<std::string> calls;
    for (const sim::CallRecord& call : sim::Calls()) {
      if (call.function.rfind("IDirectPlay", 0) == 0) calls.push_back(call.function);
    }
    return calls;
  }

  static std::vector<uint8_t> Words(std::initializer_list<DWORD> words) {
    std::vector<uint8_t> bytes(words.size() * 4);
    size_t at = 0;
    for (DWORD word : words) {
      memcpy(bytes.data() + at, &word, 4);
      at += 4;
    }
    return bytes;
  }

  static std::vector<uint8_t> Tagged(uint8_t tag, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> bytes{tag};
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
  }
};

#endif
