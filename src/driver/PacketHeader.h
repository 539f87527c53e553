#pragma once

#include <cstdint>
#include <string>

// Message type codes of the driver protocol.
enum MessageType : std::uint32_t {
  MSG_OPEN = 0,
  MSG_CONNECTED = 1,
  MSG_STATUS = 2,
  MSG_SEARCH = 3,
  MSG_HIT_COUNT = 4,
  MSG_GET_TITLE = 5,
  MSG_TITLE = 6,
  MSG_GET_RECORD = 7,
  MSG_RECORD = 8,
  MSG_CLOSE = 9,
  MSG_ECHO = 10,
  MSG_CANCEL_SEARCH = 12,
  MSG_DATABASE_INFO = 13,
  MSG_GET_EXTENSION_DATA = 14,
  MSG_EXTENSION_DATA = 15,
  MSG_INFO_REQUEST = 16,
  MSG_INFO_ANSWER = 17,
  MSG_BROWSE = 18,
  MSG_BROWSE_REPLY = 19
};

// Kinds of MSG_STATUS.
enum StatusKind {
  STATUS_ERROR_CLOSED = 0,
  STATUS_SEARCH_ERROR = 1,
  STATUS_CLOSED = 2,
  STATUS_PROGRESS = 3,
  STATUS_PROTOCOL_MISMATCH = 4,
  STATUS_WARNING = 5
};

// Kinds of MSG_INFO_REQUEST.
enum InfoRequestKind { INFO_MESSAGE = 0, INFO_TEXT = 1, INFO_PASSWORD = 2 };

// The protocol version the client speaks.
inline constexpr const char* kProtocolVersion = "1.0";

// The 24-byte header in front of every packet: six 32-bit big-endian words.
struct PacketHeader {
  static constexpr std::size_t kSize = 24;
  // Bodies above this are a protocol error, never an allocation.
  static constexpr std::int32_t kMaxBodyLength = 64 * 1024 * 1024;

  std::uint32_t type = 0;
  std::int32_t length = 0;
  std::int32_t param1 = 0;
  std::int32_t param2 = 0;
  std::int32_t param3 = 0;
  std::int32_t param4 = 0;

  void Pack(unsigned char out[kSize]) const;
  std::string Packed() const;
  static PacketHeader Unpack(const unsigned char in[kSize]);

  bool LengthAcceptable() const { return length >= 0 && length <= kMaxBodyLength; }
};
