#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/PacketHeader.h"

class CDBDescRec;

// Builds the bytes of every request (header and body as they go on the wire)
// and reads every reply body. Reply readers never read past the body: a
// driver that announces more than it sent gets what is there.
class CPacketCodec {
 public:
  struct FieldEntry {
    bool includedByDefault;
    std::string name;
    std::string caption;
  };
  struct Record {
    std::vector<std::pair<std::int32_t, std::int32_t>> termPositions;
    std::string text;
  };
  struct InfoRequest {
    std::string prompt;
    std::string caption;
    std::string okLabel;
    std::string cancelLabel;
  };

  // A request of header alone (MSG_GET_TITLE, MSG_CLOSE, MSG_ECHO, ...).
  static std::string HeaderOnly(std::uint32_t type, std::int32_t param1 = 0,
                                std::int32_t param2 = 0, std::int32_t param3 = 0);
  static std::string Open(const CDBDescRec& db);
  static std::string Search(int termRecords, int limitStrings, const std::string& body);
  // `fieldList` is sent only for a full record of a database with a field list;
  // an empty one goes as a single uncounted zero byte.
  static std::string GetRecord(int number, int kind, int labelStyle, bool sendFieldList,
                               const std::string& fieldList);
  static std::string InfoAnswer(int ok, const std::string& answer);
  static std::string Browse(int sequence, char command, int number1, int number2,
                            const std::string& listName, const std::string& argument);

  // The zero-terminated text at `offset` (to the end of the body when the
  // zero byte is missing); `offset` moves past it.
  static std::string ReadString(const std::string& body, std::size_t& offset);
  static std::string BodyText(const std::string& body);
  static Record ReadRecord(const PacketHeader& header, const std::string& body);
  static std::vector<FieldEntry> ReadFieldList(const PacketHeader& header, const std::string& body);
  static InfoRequest ReadInfoRequest(const std::string& body);
};
