#include "driver/PacketHeader.h"

namespace {

void PutWord(unsigned char* out, std::uint32_t value) {
  out[0] = static_cast<unsigned char>(value >> 24);
  out[1] = static_cast<unsigned char>(value >> 16);
  out[2] = static_cast<unsigned char>(value >> 8);
  out[3] = static_cast<unsigned char>(value);
}

std::uint32_t GetWord(const unsigned char* in) {
  return (static_cast<std::uint32_t>(in[0]) << 24) | (static_cast<std::uint32_t>(in[1]) << 16) |
         (static_cast<std::uint32_t>(in[2]) << 8) | static_cast<std::uint32_t>(in[3]);
}

}  // namespace

void PacketHeader::Pack(unsigned char out[kSize]) const {
  PutWord(out, type);
  PutWord(out + 4, static_cast<std::uint32_t>(length));
  PutWord(out + 8, static_cast<std::uint32_t>(param1));
  PutWord(out + 12, static_cast<std::uint32_t>(param2));
  PutWord(out + 16, static_cast<std::uint32_t>(param3));
  PutWord(out + 20, static_cast<std::uint32_t>(param4));
}

std::string PacketHeader::Packed() const {
  unsigned char bytes[kSize];
  Pack(bytes);
  return std::string(reinterpret_cast<const char*>(bytes), kSize);
}

PacketHeader PacketHeader::Unpack(const unsigned char in[kSize]) {
  PacketHeader h;
  h.type = GetWord(in);
  h.length = static_cast<std::int32_t>(GetWord(in + 4));
  h.param1 = static_cast<std::int32_t>(GetWord(in + 8));
  h.param2 = static_cast<std::int32_t>(GetWord(in + 12));
  h.param3 = static_cast<std::int32_t>(GetWord(in + 16));
  h.param4 = static_cast<std::int32_t>(GetWord(in + 20));
  return h;
}
