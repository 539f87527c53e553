#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempDir.h"
#include "driver/CPacketTrace.h"

namespace {

PacketHeader Header(std::uint32_t type, std::int32_t length, std::int32_t p1 = 0,
                    std::int32_t p2 = 0) {
  PacketHeader h;
  h.type = type;
  h.length = length;
  h.param1 = p1;
  h.param2 = p2;
  return h;
}

}  // namespace

TEST(PacketTraceTest, EntryNamesTheHeaderAndDumpsTheBodyInLinesOfSixteen) {
  std::string body("1.0\0catalogue\0\x01\xff\0", 18);
  std::string entry = CPacketTrace::FormatEntry(CPacketTrace::Direction::Sent,
                                                Header(MSG_OPEN, 18, 7, -1), body, 42);
  EXPECT_EQ(entry,
            "42 ms sent MSG_OPEN type=0 length=18 param1=7 param2=-1 param3=0 param4=0\n"
            "  000000  31 2e 30 00 63 61 74 61 6c 6f 67 75 65 00 01 ff  1.0.catalogue...\n"
            "  000010  00 00                                            ..\n");
  // No body: the header line alone; an unknown type still shows its number.
  EXPECT_EQ(CPacketTrace::FormatEntry(CPacketTrace::Direction::Received, Header(77, 0), {}, 0),
            "0 ms received unknown type=77 length=0 param1=0 param2=0 param3=0 param4=0\n");
}

TEST(PacketTraceTest, LongBodiesAreCutWithTheirFullLength) {
  std::string body(10000, 'x');
  std::string entry = CPacketTrace::FormatEntry(CPacketTrace::Direction::Received,
                                                Header(MSG_RECORD, 10000), body, 5);
  EXPECT_NE(entry.find("  ... 10000 bytes in all, 4096 shown\n"), std::string::npos);
  EXPECT_EQ(entry.find("  001000  "), std::string::npos);  // offset 4096 is not dumped
  EXPECT_NE(entry.find("  000ff0  "), std::string::npos);
}

TEST(PacketTraceTest, AppendsTimedEntriesAndRefusesWhatIsNotAFile) {
  TempDir dir;
  std::string path = dir.Write("trace.txt", "earlier\n");
  CPacketTrace trace;
  ASSERT_TRUE(trace.Start(path, 1000));
  trace.Record(CPacketTrace::Direction::Sent, Header(MSG_ECHO, 0), {}, 1250);
  // Held entries are in the file once the last hold ends, not before.
  std::string echo = "250 ms sent MSG_ECHO type=10 length=0 param1=0 param2=0 param3=0 param4=0\n";
  EXPECT_EQ(ReadWholeFile(path), "earlier\n# trace started\n" + echo);
  trace.Hold();
  trace.Hold();
  trace.Record(CPacketTrace::Direction::Sent, Header(MSG_ECHO, 0), {}, 1250);
  trace.Release();
  EXPECT_EQ(ReadWholeFile(path), "earlier\n# trace started\n" + echo);
  trace.Release();
  EXPECT_EQ(ReadWholeFile(path), "earlier\n# trace started\n" + echo + echo);
  trace.Stop();
  trace.Record(CPacketTrace::Direction::Sent, Header(MSG_CLOSE, 0), {}, 1300);  // not traced
  EXPECT_EQ(ReadWholeFile(path), "earlier\n# trace started\n" + echo + echo);

  EXPECT_FALSE(trace.Start(dir.Path(), 0));
  std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(trace.Start(fifo, 0));  // and does not block
  EXPECT_FALSE(trace.Active());
}
