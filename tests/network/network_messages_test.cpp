// Messages: the wire bytes of the sends, receiving with the translation of
// every system message, capacity cuts, hostile and oversized input, and the
// join handshake on both sides and after a host migration.
#include "network_fixture.h"

namespace {

struct Delivery {
  int result;
  std::vector<uint8_t> bytes;
  int from;
  int to;
};

// One receive with `capacity`; the buffer is pre-filled with 0xEE.
Delivery Receive(DWORD capacity = 256) {
  std::vector<uint8_t> buffer(capacity + 8, 0xEE);
  DWORD size = capacity;
  int from = -7;
  int to = -7;
  Delivery delivery;
  delivery.result = KRNetworkReceiveMessage(buffer.data(), &size, &from, &to);
  if (size > capacity + 8) size = capacity + 8;
  delivery.bytes.assign(buffer.begin(), buffer.begin() + size);
  delivery.from = from;
  delivery.to = to;
  return delivery;
}

class MessageTest : public NetworkTest {
 protected:
  // Hosting with the accepted group 0x500 and the host player 0x501.
  void HostWithPlayer() {
    Host(0x500);
    KRNETWORKPLAYERORGROUPINFO info = {0, "Host"};
    ASSERT_EQ(KRNetworkCreatePlayer(&info), 0x501);
    Clear();
  }
  // Joined session, one local player 0x42; the host is unknown.
  void Join() {
    Connect();
    ListSessions(1);
    ASSERT_EQ(KRNetworkJoinToSession(0), 1);
    sim::SetNextPlayId(0x42);
    KRNETWORKPLAYERORGROUPINFO info = {0, "Guest"};
    ASSERT_EQ(KRNetworkCreatePlayer(&info), 0x42);
    Clear();
  }
};

TEST_F(MessageTest, SendsPutTheirTagInFrontOfTheBytes) {
  HostWithPlayer();
  BYTE data[3] = {1, 2, 3};
  EXPECT_EQ(KRNetworkSendSystemMessage(data, 3, 0x501, 0), 1);
  EXPECT_EQ(KRNetworkSendDataMessage(data, 3, 0x501, static_cast<int>(0x80000009u)), 1);
  char text[] = "hello";
  EXPECT_EQ(KRNetworkSendChatMessage(text, 0x501, 0x77), 1);
  EXPECT_EQ(KRNetworkSendSystemMessage(data, 0, 0x501, 0), 1);
  const std::vector<sim::PlaySend> sends = sim::PlaySends();
  ASSERT_EQ(sends.size(), 4u);
  EXPECT_EQ(sends[0].method, "Send");
  EXPECT_EQ(sends[0].flags, static_cast<DWORD>(DPSEND_GUARANTEED));
  EXPECT_EQ(sends[0].bytes, (std::vector<uint8_t>{0x00, 1, 2, 3}));
  EXPECT_EQ(sends[1].method, "SendEx");
  EXPECT_EQ(sends[1].to, 0x80000009u);
  EXPECT_EQ(sends[1].flags, 0x601u);
  EXPECT_EQ(sends[1].bytes, (std::vector<uint8_t>{0xFF, 1, 2, 3}));
  EXPECT_EQ(sends[2].method, "SendChatMessage");
  EXPECT_EQ(sends[2].flags, static_cast<DWORD>(DPSEND_GUARANTEED));
  EXPECT_EQ(sends[2].bytes, (std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(g_krNetwork.chat.dwSize, sizeof(DPCHAT));
  EXPECT_EQ(sends[3].bytes, std::vector<uint8_t>{0x00});
  const std::string sendEx = LastArgumentsOf("IDirectPlay4A::SendEx");
  EXPECT_NE(sendEx.find(", 0, 0, NULL, NULL"), std::string::npos) << sendEx;
}

TEST_F(MessageTest, SendsOverTheBufferAreRefusedAndFailuresLogged) {
  HostWithPlayer();
  std::vector<BYTE> data(2049, 7);
  EXPECT_EQ(KRNetworkSendSystemMessage(data.data(), 2049, 0x501, 0), 0);
  EXPECT_EQ(KRErrorGetLastError(), kNetInvalid);
  EXPECT_EQ(KRNetworkSendDataMessage(data.data(), 2049, 0x501, 0), 0);
  EXPECT_TRUE(PlayCalls().empty());
  EXPECT_EQ(KRNetworkSendSystemMessage(data.data(), 2048, 0x501, 0), 1);
  EXPECT_EQ(sim::PlaySends().back().bytes.size(), 2049u);
  EXPECT_EQ(KRNetworkSendDataMessage(data.data(), 2048, 0x501, 0), 1);

  sim::FailNext("IDirectPlay4A::SendEx", DPERR_PENDING);
  EXPECT_EQ(KRNetworkSendDataMessage(data.data(), 4, 0x501, 0), 1);  // queued counts as sent
  Clear();
  sim::FailNext("IDirectPlay4A::Send", DPERR_INVALIDPLAYER);
  sim::FailNext("IDirectPlay4A::SendEx", DPERR_INVALIDPLAYER);
  sim::FailNext("IDirectPlay4A::SendChatMessage", DPERR_INVALIDPLAYER);
  char text[] = "x";
  EXPECT_EQ(KRNetworkSendSystemMessage(data.data(), 4, 0x501, 0), 0);
  EXPECT_EQ(KRNetworkSendDataMessage(data.data(), 4, 0x501, 0), 0);
  EXPECT_EQ(KRNetworkSendChatMessage(text, 0x501, 0), 0);
  EXPECT_EQ(LogLines(), std::vector<std::string>(3, "DPERR_INVALIDPLAYER"));
}

TEST_F(MessageTest, NothingQueuedReturnsZeroWithEverythingUntouched) {
  HostWithPlayer();
  const Delivery delivery = Receive(16);
  EXPECT_EQ(delivery.result, 0);
  EXPECT_EQ(delivery.bytes.size(), 16u);  // the size as given
  EXPECT_EQ(delivery.from, -7);
  EXPECT_EQ(delivery.to, -7);
  EXPECT_TRUE(LogLines().empty());
  sim::FailNext("IDirectPlay4A::Receive", DPERR_GENERIC);
  EXPECT_EQ(Receive().result, 0);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DDERR_GENERIC"});
}

TEST_F(MessageTest, PlayerMessagesLoseTheirTag) {
  HostWithPlayer();
  sim::QueuePlayMessage(0x80000042u, 0x501, {0xFF, 'd', 'a', 't', 'a'});
  sim::QueuePlayMessage(0x42, 0x501, {0x7F, 'x'});
  sim::QueuePlayMessage(0x42, 0x501, {0x00, 'l', 'i', 'b', 'r', 'a'});
  sim::QueuePlayMessage(0x42, 0x501, {0x00, 1, 2});  // under a code's length
  Delivery delivery = Receive();
  EXPECT_EQ(delivery.result, 1);
  EXPECT_EQ(delivery.bytes, (std::vector<uint8_t>{'d', 'a', 't', 'a'}));
  EXPECT_EQ(static_cast<DWORD>(delivery.from), 0x80000042u);
  EXPECT_EQ(delivery.to, 0x501);
  delivery = Receive(0);
  EXPECT_EQ(delivery.result, 1);
  EXPECT_TRUE(delivery.bytes.empty());  // cut to a capacity of 0
  delivery = Receive();
  EXPECT_EQ(delivery.from, 0);
  EXPECT_EQ(delivery.bytes, (std::vector<uint8_t>{'l', 'i', 'b', 'r', 'a'}));
  delivery = Receive();
  EXPECT_EQ(delivery.bytes, (std::vector<uint8_t>{1, 2}));
  // The capacity handed to the platform is the full buffer at every call.
  for (const sim::CallRecord& call : sim::Calls()) {
    if (call.function == "IDirectPlay4A::Receive") {
      EXPECT_NE(call.arguments.find(", 2049"), std::string::npos);
    }
  }
}

TEST_F(MessageTest, EmptyPlayerMessageAndOversizedMessageAreDropped) {
  HostWithPlayer();
  sim::QueuePlayMessage(0x42, 0x501, {});
  sim::QueuePlayMessage(0x42, 0x501, std::vector<uint8_t>(3000, 0xFF));
  sim::QueuePlayMessage(0x42, 0x501, {0xFF, 'n'});
  Delivery delivery = Receive(8);
  EXPECT_EQ(delivery.result, 0);
  EXPECT_EQ(delivery.to, 0x501);
  EXPECT_EQ(delivery.bytes.size(), 8u);
  // Without room to take it off, the oversized message waits for a call that has room.
  sim::FailNext("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, ", 3016");
  EXPECT_EQ(Receive(8).result, 0);
  EXPECT_EQ(sim::PendingFailures(), 0);
  EXPECT_EQ(sim::QueuedPlayMessages(), 2);
  EXPECT_EQ(Receive(8).result, 0);
  EXPECT_EQ(LogLines(), std::vector<std::string>(2, "DPERR_BUFFERTOOSMALL"));
  delivery = Receive(8);
  EXPECT_EQ(delivery.result, 1);
  EXPECT_EQ(delivery.bytes, std::vector<uint8_t>{'n'});
  EXPECT_EQ(sim::QueuedPlayMessages(), 0);
}

TEST_F(MessageTest, SystemMessagesBecomeRecords) {
  Join();
  sim::QueueSystemCreate(0x42, DPPLAYERTYPE_PLAYER, 0x80000077u, "Someone");
  sim::QueueSystemCreate(0x42, DPPLAYERTYPE_GROUP, 0x78, nullptr);
  sim::QueueSystemDestroy(0x42, DPPLAYERTYPE_PLAYER, 0x77);
  sim::QueueSystemDestroy(0x42, DPPLAYERTYPE_GROUP, 0x78);
  sim::QueueSystemGroupMember(0x42, DPSYS_ADDPLAYERTOGROUP, 0x500, 0x42);
  sim::QueueSystemGroupMember(0x42, DPSYS_DELETEPLAYERFROMGROUP, 0x500, 0x42);
  sim::QueueSystemSimple(0x42, DPSYS_SESSIONLOST);
  sim::QueueSystemSimple(0x42, DPSYS_SECUREMESSAGE);
  sim::QueueSystemSimple(0x42, DPSYS_STARTSESSION);
  sim::QueueSystemSimple(0x42, DPSYS_SETSESSIONDESC);
  const std::vector<std::vector<uint8_t>> expected = {
      Words({0xFFFF7000, 0x80000077u}), Words({0xFFFF7002, 0x78}), Words({0xFFFF7001, 0x77}),
      Words({0xFFFF7001, 0x78}),        Words({0x7, 0x500, 0x42}),  Words({0x21, 0x500, 0x42}),
      Words({0x31}),                    Words({0xFFFF7F00}),       Words({0xFFFF7F00}),
      Words({DPSYS_SETSESSIONDESC})};
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const Delivery delivery = Receive();
    EXPECT_EQ(delivery.result, 1);
    EXPECT_EQ(delivery.from, 0);
    EXPECT_EQ(delivery.to, 0x42);
    EXPECT_EQ(delivery.bytes, expected[i]);
  }
  EXPECT_TRUE(sim::PlaySends().empty());  // not the host: no host-player message
  EXPECT_EQ(g_krNetwork.bHost, 0);
}

TEST_F(MessageTest, UnknownPlayerTypeReturnsOneAndDeliversNothing) {
  Join();
  sim::QueueSystemCreate(0x42, 7, 0x77, nullptr);
  sim::QueueSystemDestroy(0x42, 7, 0x77);
  for (int i = 0; i < 2; ++i) {
    const Delivery delivery = Receive(16);
    EXPECT_EQ(delivery.result, 1);
    EXPECT_EQ(delivery.bytes, std::vector<uint8_t>(16, 0xEE));
    EXPECT_EQ(delivery.from, -7);
    EXPECT_EQ(delivery.to, 0x42);
  }
}

TEST_F(MessageTest, ChatRecordHoldsTheTextCutAndZeroFilled) {
  Join();
  sim::QueueSystemChat(0x42, 0x43, "hi there");
  sim::QueueSystemChat(0x42, 0x43, "hi there");
  sim::QueueSystemChat(0x42, 0x43, (std::string(62, 'c') + "\x82\xA0").c_str());
  Delivery delivery = Receive(100);
  ASSERT_EQ(delivery.bytes.size(), 68u);
  EXPECT_EQ(delivery.bytes, [] {
    std::vector<uint8_t> record = Words({0x109});
    const char* text = "hi there";
    record.insert(record.end(), text, text + 8);
    record.resize(68, 0);
    return record;
  }());
  delivery = Receive(8);
  EXPECT_EQ(delivery.bytes, (std::vector<uint8_t>{0x09, 0x01, 0, 0, 'h', 'i', ' ', 't'}));
  delivery = Receive(100);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(delivery.bytes.data()) + 4), std::string(62, 'c'));
}

TEST_F(MessageTest, HostAnswersACreatedPlayerWithTheHostPlayer) {
  HostWithPlayer();
  sim::QueueSystemCreate(0x90, DPPLAYERTYPE_PLAYER, 0x43, "New");
  sim::QueueSystemCreate(0x90, DPPLAYERTYPE_GROUP, 0x44, "G");
  EXPECT_EQ(Receive().bytes, Words({0xFFFF7000, 0x43}));
  EXPECT_EQ(Receive().bytes, Words({0xFFFF7002, 0x44}));
  const std::vector<sim::PlaySend> sends = sim::PlaySends();
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(sends[0].from, 0x501u);
  EXPECT_EQ(sends[0].to, 0x90u);  // the system message's receiver
  EXPECT_EQ(sends[0].bytes, Tagged(0x00, Words({0xFFFF7100, 0x501})));
}

TEST_F(MessageTest, HandshakeOnTheAskingSide) {
  Join();
  KRNetworkRequestToJoin(0x42);  // host unknown: to all players
  KRNetworkAcceptJoining(0x42);   // not the host: nothing
  KRNetworkCancelJoining(0x42);
  std::vector<sim::PlaySend> sends = sim::PlaySends();
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(sends[0].from, 0x42u);
  EXPECT_EQ(sends[0].to, 0u);
  EXPECT_EQ(sends[0].bytes, Tagged(0x00, Words({0xFFFF7101, 0x42})));
  EXPECT_TRUE(sim::PlayGroupMemberships().empty());

  // A request reaching a machine that is not the host is dropped, the receiver id still written.
  sim::QueuePlayMessage(0x43, 0x42, Tagged(0x00, Words({0xFFFF7101, 0x43})));
  Delivery delivery = Receive();
  EXPECT_EQ(delivery.result, 0);
  EXPECT_EQ(delivery.to, 0x42);
  EXPECT_EQ(delivery.from, -7);

  // The host's answers, with trailing bytes cut to the code's length.
  sim::QueuePlayMessage(0x501, 0x42, Tagged(0x00, Words({0xFFFF7100, 0x501})));
  sim::QueuePlayMessage(0x501, 0x42, Tagged(0x00, Words({0xFFFF7102, 0x500, 0x501, 0xDEAD})));
  sim::QueuePlayMessage(0x501, 0x42, Tagged(0x00, Words({0xFFFF7103, 0xDEAD})));
  EXPECT_EQ(Receive().bytes, Words({0xFFFF7100, 0x501}));
  EXPECT_EQ(Receive().bytes, Words({0xFFFF7102, 0x500, 0x501}));
  delivery = Receive();
  EXPECT_EQ(delivery.bytes, Words({0xFFFF7103}));
  EXPECT_EQ(delivery.from, 0);
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, 0u);  // peer bytes change no host state
  EXPECT_EQ(sim::PlaySends().size(), 1u);
}

TEST_F(MessageTest, HandshakeOnTheHostSide) {
  HostWithPlayer();
  KRNetworkRequestToJoin(0x501);  // the host asks nobody
  EXPECT_TRUE(sim::PlaySends().empty());
  sim::QueuePlayMessage(0x42, 0x501, Tagged(0x00, Words({0xFFFF7101, 0x42, 0xDEAD})));
  const Delivery delivery = Receive();
  EXPECT_EQ(delivery.result, 1);
  EXPECT_EQ(delivery.from, 0);
  EXPECT_EQ(delivery.bytes, Words({0xFFFF7101, 0x42}));

  KRNetworkAcceptJoining(0x42);
  KRNetworkCancelJoining(0x43);
  const std::vector<sim::PlaySend> sends = sim::PlaySends();
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sim::PlayGroupMemberships().back(), std::make_pair(DWORD{0x500}, DWORD{0x42}));
  EXPECT_EQ(sends[0].from, 0x501u);
  EXPECT_EQ(sends[0].to, 0x42u);
  EXPECT_EQ(sends[0].bytes, Tagged(0x00, Words({0xFFFF7102, 0x500, 0x501})));
  EXPECT_EQ(sends[1].to, 0x43u);
  EXPECT_EQ(sends[1].bytes, Tagged(0x00, Words({0xFFFF7103})));
}

TEST_F(MessageTest, HostMigrationMakesThisMachineTheHost) {
  Join();
  sim::QueueSystemSimple(0x42, DPSYS_HOST);
  EXPECT_EQ(Receive().bytes, Words({0x101}));
  EXPECT_EQ(g_krNetwork.bHost, 1);
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, 0x42u);
  sim::QueuePlayMessage(0x55, 0x42, Tagged(0x00, Words({0xFFFF7101, 0x55})));
  EXPECT_EQ(Receive().bytes, Words({0xFFFF7101, 0x55}));
  KRNetworkAcceptJoining(0x55);
  ASSERT_EQ(sim::PlaySends().size(), 1u);
  EXPECT_EQ(sim::PlaySends()[0].from, 0x42u);
  KRNetworkRequestToJoin(0x42);
  EXPECT_EQ(sim::PlaySends().size(), 1u);
}

TEST_F(MessageTest, PeerBytesThatLookLikeSystemMessagesStayPeerBytes) {
  HostWithPlayer();
  // A player's library message shaped like DPSYS_HOST, a chat record and a create.
  sim::QueuePlayMessage(0x66, 0x501, Tagged(0x00, Words({DPSYS_HOST})));
  sim::QueuePlayMessage(0x66, 0x501, Tagged(0x00, Words({DPSYS_CHAT, 0, 1, 2, 3, 0x41414141, 0x41414141})));
  sim::QueuePlayMessage(0x66, 0x501, Tagged(0x00, Words({DPSYS_CREATEPLAYERORGROUP, 1, 0x99})));
  EXPECT_EQ(Receive().bytes, Words({DPSYS_HOST}));
  EXPECT_EQ(Receive().bytes, Words({DPSYS_CHAT, 0, 1, 2, 3, 0x41414141, 0x41414141}));
  EXPECT_EQ(Receive().bytes, Words({DPSYS_CREATEPLAYERORGROUP, 1, 0x99}));
  EXPECT_EQ(g_krNetwork.dpidHostPlayer, 0x501u);
  EXPECT_TRUE(sim::PlaySends().empty());
  // A system message too short for its record is delivered as received.
  sim::QueuePlayMessage(0, 0x501, Words({DPSYS_CHAT, 5}));
  EXPECT_EQ(Receive().bytes, Words({DPSYS_CHAT, 5}));
  sim::QueuePlayMessage(0, 0x501, {1, 2});
  EXPECT_EQ(Receive().bytes, (std::vector<uint8_t>{1, 2}));
  // On a machine that joined, a chat forgery long enough for the platform's record: its pointer is never read.
  ListSessions(1);
  ASSERT_EQ(KRNetworkJoinToSession(0), 1);
  const std::vector<uint8_t> chat = Words({DPSYS_CHAT, 0, 1, 2, 3, 0x41414141, 0x41414141, 0x41414141, 0x41414141, 5});
  sim::QueuePlayMessage(0x66, 0x501, Tagged(0x00, chat));
  EXPECT_EQ(Receive().bytes, chat);
}

}  // namespace
