#include <gtest/gtest.h>

#include "config/CDBDescRec.h"
#include "driver/CPacketCodec.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) {
    out += static_cast<char>(v);
  }
  return out;
}

TEST(PacketCodec, HeadersAreSixBigEndianWords) {
  EXPECT_EQ(CPacketCodec::HeaderOnly(MSG_GET_TITLE, 1),
            Bytes({0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  PacketHeader h;
  h.type = 0x01020304;
  h.length = -2;
  h.param1 = 0x7fffffff;
  h.param4 = 78;
  std::string packed = h.Packed();
  PacketHeader back = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(packed.data()));
  EXPECT_EQ(back.type, 0x01020304u);
  EXPECT_EQ(back.length, -2);
  EXPECT_EQ(back.param1, 0x7fffffff);
  EXPECT_EQ(back.param4, 78);
  EXPECT_EQ(packed.substr(0, 4), Bytes({1, 2, 3, 4}));
  EXPECT_FALSE(back.LengthAcceptable());
  back.length = PacketHeader::kMaxBodyLength + 1;
  EXPECT_FALSE(back.LengthAcceptable());
}

TEST(PacketCodec, OpenRequestCarriesTheUncountedZeroOfAnEmptyBlock) {
  CDBDescRec db;
  db.internalName = "abc";
  std::string open = CPacketCodec::Open(db);
  ASSERT_EQ(open.size(), 24u + 12u);
  PacketHeader h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(open.data()));
  EXPECT_EQ(h.type, static_cast<std::uint32_t>(MSG_OPEN));
  EXPECT_EQ(h.length, 11);
  EXPECT_EQ(open.substr(24), std::string("1.0\0abc\0\0\0\0\0", 12));

  db.titleFields = "T";
  db.summaryFields = "S";
  db.extensionFields = "E";
  db.environment = std::string(
      "A\0"
      "1\0",
      4);
  db.environmentLength = 4;
  open = CPacketCodec::Open(db);
  h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(open.data()));
  EXPECT_EQ(h.length, 4 + 4 + 2 + 2 + 2 + 4);
  EXPECT_EQ(open.substr(24), std::string("1.0\0abc\0T\0S\0E\0A\0"
                                         "1\0",
                                         18));
}

TEST(PacketCodec, RequestBodies) {
  // Full record with a field list of which nothing is included.
  std::string rec = CPacketCodec::GetRecord(4, 0, 1, true, "");
  ASSERT_EQ(rec.size(), 25u);
  PacketHeader h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(rec.data()));
  EXPECT_EQ(h.length, 0);
  EXPECT_EQ(h.param1, 4);
  EXPECT_EQ(h.param3, 1);
  EXPECT_EQ(rec[24], '\0');
  // With fields, and a summary without any body.
  rec = CPacketCodec::GetRecord(2, 0, 0, true, std::string("A\0B\0", 4));
  EXPECT_EQ(rec.size(), 28u);
  rec = CPacketCodec::GetRecord(7, 1, 1, false, std::string("A\0", 2));
  h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(rec.data()));
  EXPECT_EQ(rec.size(), 24u);
  EXPECT_EQ(h.param1, 7);
  EXPECT_EQ(h.param2, 1);
  EXPECT_EQ(h.param3, 1);

  std::string browse = CPacketCodec::Browse(3, 'N', 5, -1, "Sections", "net");
  h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(browse.data()));
  EXPECT_EQ(h.param1, 3);
  EXPECT_EQ(h.param2, 78);
  EXPECT_EQ(h.param4, -1);
  EXPECT_EQ(h.length, 13);
  EXPECT_EQ(browse.substr(24), std::string("Sections\0net\0", 13));
  // A character above 127 is widened as a signed byte.
  browse = CPacketCodec::Browse(1, static_cast<char>(0xE9), 0, 0, "L", "");
  h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(browse.data()));
  EXPECT_EQ(h.param2, -23);

  std::string answer = CPacketCodec::InfoAnswer(0, "");
  h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(answer.data()));
  EXPECT_EQ(h.type, static_cast<std::uint32_t>(MSG_INFO_ANSWER));
  EXPECT_EQ(h.length, 1);
  EXPECT_EQ(answer.size(), 25u);

  std::string search = CPacketCodec::Search(2, 1, std::string("x\0y", 3));
  h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(search.data()));
  EXPECT_EQ(h.param1, 2);
  EXPECT_EQ(h.param2, 1);
  EXPECT_EQ(h.length, 3);
}

TEST(PacketCodec, ReplyReadersStayInsideTheBody) {
  PacketHeader h;
  h.type = MSG_RECORD;
  h.param3 = 0;
  EXPECT_EQ(CPacketCodec::ReadRecord(h, std::string("text\0", 5)).text, "text");
  h.param3 = 3;
  std::string body(24, '\0');
  body[3] = 5;
  body[7] = 9;
  body += std::string("record\0", 7);
  CPacketCodec::Record record = CPacketCodec::ReadRecord(h, body);
  EXPECT_EQ(record.text, "record");
  ASSERT_EQ(record.termPositions.size(), 3u);
  EXPECT_EQ(record.termPositions[0], std::make_pair(5, 9));
  // More pairs announced than sent, and no zero byte: nothing read past the end.
  h.param3 = 1000000;
  EXPECT_EQ(CPacketCodec::ReadRecord(h, "abc").text, "");
  h.param3 = -5;
  EXPECT_EQ(CPacketCodec::ReadRecord(h, "abc").text, "abc");

  h.type = MSG_DATABASE_INFO;
  h.param1 = 1;
  h.param2 = 3;
  std::string fields = std::string("\1TI\0Title\0\0AB\0Abstract\0\2", 24);
  auto list = CPacketCodec::ReadFieldList(h, fields);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_TRUE(list[0].includedByDefault);
  EXPECT_EQ(list[0].name, "TI");
  EXPECT_EQ(list[0].caption, "Title");
  EXPECT_FALSE(list[1].includedByDefault);
  EXPECT_FALSE(list[2].includedByDefault);
  EXPECT_EQ(list[2].name, "");
  h.param2 = 1000000;
  EXPECT_EQ(CPacketCodec::ReadFieldList(h, fields).size(), 3u);

  auto request = CPacketCodec::ReadInfoRequest(std::string("Password?\0Login\0 \0Quit\0", 23));
  EXPECT_EQ(request.prompt, "Password?");
  EXPECT_EQ(request.caption, "Login");
  EXPECT_EQ(request.okLabel, " ");
  EXPECT_EQ(request.cancelLabel, "Quit");
  EXPECT_EQ(CPacketCodec::ReadInfoRequest("only").caption, "");
}

}  // namespace
