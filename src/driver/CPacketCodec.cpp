#include "driver/CPacketCodec.h"

#include "config/CDBDescRec.h"

namespace {

std::string WithZero(const std::string& text) {
  std::string out = text;
  out += '\0';
  return out;
}

std::int32_t ReadWord(const std::string& body, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    v = (v << 8) | static_cast<unsigned char>(body[at + i]);
  }
  return static_cast<std::int32_t>(v);
}

}  // namespace

std::string CPacketCodec::HeaderOnly(std::uint32_t type, std::int32_t param1, std::int32_t param2,
                                     std::int32_t param3) {
  PacketHeader h;
  h.type = type;
  h.param1 = param1;
  h.param2 = param2;
  h.param3 = param3;
  return h.Packed();
}

std::string CPacketCodec::Open(const CDBDescRec& db) {
  std::string body = WithZero(kProtocolVersion) + WithZero(db.internalName) +
                     WithZero(db.titleFields) + WithZero(db.summaryFields) +
                     WithZero(db.extensionFields);
  // The block goes with the count the description keeps.
  std::size_t blockLength =
      db.environmentLength > 0 ? static_cast<std::size_t>(db.environmentLength) : 0;
  if (blockLength > db.environment.size()) {
    blockLength = db.environment.size();
  }
  PacketHeader h;
  h.type = MSG_OPEN;
  h.length = static_cast<std::int32_t>(body.size() + blockLength);
  if (blockLength == 0) {
    // An empty block still travels as one zero byte, not counted.
    return h.Packed() + body + std::string(1, '\0');
  }
  return h.Packed() + body + db.environment.substr(0, blockLength);
}

std::string CPacketCodec::Search(int termRecords, int limitStrings, const std::string& body) {
  PacketHeader h;
  h.type = MSG_SEARCH;
  h.length = static_cast<std::int32_t>(body.size());
  h.param1 = termRecords;
  h.param2 = limitStrings;
  return h.Packed() + body;
}

std::string CPacketCodec::GetRecord(int number, int kind, int labelStyle, bool sendFieldList,
                                    const std::string& fieldList) {
  PacketHeader h;
  h.type = MSG_GET_RECORD;
  h.param1 = number;
  h.param2 = kind;
  h.param3 = labelStyle;
  if (!sendFieldList) {
    return h.Packed();
  }
  h.length = static_cast<std::int32_t>(fieldList.size());
  return h.Packed() + (fieldList.empty() ? std::string(1, '\0') : fieldList);
}

std::string CPacketCodec::InfoAnswer(int ok, const std::string& answer) {
  PacketHeader h;
  h.type = MSG_INFO_ANSWER;
  h.param1 = ok;
  h.length = static_cast<std::int32_t>(answer.size() + 1);
  return h.Packed() + WithZero(answer);
}

std::string CPacketCodec::Browse(int sequence, char command, int number1, int number2,
                                 const std::string& listName, const std::string& argument) {
  PacketHeader h;
  h.type = MSG_BROWSE;
  h.param1 = sequence;
  h.param2 = static_cast<std::int32_t>(static_cast<signed char>(command));
  h.param3 = number1;
  h.param4 = number2;
  std::string body = WithZero(listName) + WithZero(argument);
  h.length = static_cast<std::int32_t>(body.size());
  return h.Packed() + body;
}

std::string CPacketCodec::ReadString(const std::string& body, std::size_t& offset) {
  if (offset >= body.size()) {
    return "";
  }
  std::size_t zero = body.find('\0', offset);
  std::size_t end = zero == std::string::npos ? body.size() : zero;
  std::string text = body.substr(offset, end - offset);
  offset = zero == std::string::npos ? body.size() : zero + 1;
  return text;
}

std::string CPacketCodec::BodyText(const std::string& body) {
  std::size_t offset = 0;
  return ReadString(body, offset);
}

CPacketCodec::Record CPacketCodec::ReadRecord(const PacketHeader& header, const std::string& body) {
  Record record;
  std::size_t pairs = header.param3 > 0 ? static_cast<std::size_t>(header.param3) : 0;
  std::size_t offset = 0;
  for (std::size_t i = 0; i < pairs && offset + 8 <= body.size(); ++i, offset += 8) {
    record.termPositions.emplace_back(ReadWord(body, offset), ReadWord(body, offset + 4));
  }
  // The text follows all announced pairs, even when the body is short.
  offset = pairs > body.size() / 8 ? body.size() : pairs * 8;
  record.text = ReadString(body, offset);
  return record;
}

std::vector<CPacketCodec::FieldEntry> CPacketCodec::ReadFieldList(const PacketHeader& header,
                                                                  const std::string& body) {
  std::vector<FieldEntry> fields;
  std::size_t offset = 0;
  for (std::int32_t i = 0; i < header.param2 && offset < body.size(); ++i) {
    FieldEntry entry;
    entry.includedByDefault = body[offset] == 1;
    ++offset;
    entry.name = ReadString(body, offset);
    entry.caption = ReadString(body, offset);
    fields.push_back(std::move(entry));
  }
  return fields;
}

CPacketCodec::InfoRequest CPacketCodec::ReadInfoRequest(const std::string& body) {
  InfoRequest request;
  std::size_t offset = 0;
  request.prompt = ReadString(body, offset);
  request.caption = ReadString(body, offset);
  request.okLabel = ReadString(body, offset);
  request.cancelLabel = ReadString(body, offset);
  return request;
}
