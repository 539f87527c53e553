// The protocol's own cost of a title list: a client with nothing but a
// blocking socket opens the sample catalogue, searches for every record and
// asks for titles 1 to COUNT, one request at a time, each sent once the
// previous title has arrived, the way Tamsel asks for them.
//
//   tamsel_bare_titles PORT [COUNT]
//
// Prints "titles N", "connect-to-last-title SECONDS",
// "search-to-last-title SECONDS" and "first-to-last-title SECONDS"; exits 1
// when the driver misbehaves.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/CDBDescRec.h"
#include "driver/CPacketCodec.h"
#include "driver/PacketHeader.h"

namespace {

using Clock = std::chrono::steady_clock;

int fd = -1;

bool SendAll(const std::string& bytes) {
  for (std::size_t sent = 0; sent < bytes.size();) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      return false;
    }
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadExactly(std::size_t count, std::string& into) {
  into.resize(count);
  for (std::size_t got = 0; got < count;) {
    ssize_t n = recv(fd, into.data() + got, count - got, 0);
    if (n <= 0) {
      return false;
    }
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool Next(PacketHeader& header, std::string& body) {
  std::string head;
  if (!ReadExactly(PacketHeader::kSize, head)) {
    return false;
  }
  header = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(head.data()));
  return header.LengthAcceptable() && ReadExactly(static_cast<std::size_t>(header.length), body);
}

int Fail(const char* what) {
  std::fprintf(stderr, "tamsel_bare_titles: %s\n", what);
  return 1;
}

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: tamsel_bare_titles PORT [COUNT]\n");
    return 2;
  }
  const int port = std::atoi(argv[1]);
  const int count = argc == 3 ? std::atoi(argv[2]) : 3000;

  Clock::time_point start = Clock::now();
  fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  // Small requests go out at once, as the client's own connection sends them.
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return Fail("cannot connect");
  }

  // The catalogue as data/sample/sample.tcf describes it, so the driver does
  // the same work for both clients.
  CDBDescRec db;
  db.internalName = "catalogue";
  db.titleFields = "Package Version Description";
  db.summaryFields = "Package Version Section Maintainer Description";
  db.extensionFields = "Package Version Homepage";
  for (const char* text :
       {"HIT_MESSAGE", "Packages matching your search: %d", "TITLE_SEPARATOR", "-"}) {
    db.environment += text;
    db.environment += '\0';
  }
  db.environmentLength = static_cast<int>(db.environment.size());
  PacketHeader header;
  std::string body;
  if (!SendAll(CPacketCodec::Open(db))) {
    return Fail("cannot send the open request");
  }
  // Connected, then the description and the field list.
  for (int replies = 0; replies < 3;) {
    if (!Next(header, body)) {
      return Fail("the driver closed during the open");
    }
    if (header.type == MSG_CONNECTED || header.type == MSG_DATABASE_INFO) {
      ++replies;
    } else if (header.type == MSG_STATUS && header.param1 != STATUS_WARNING) {
      return Fail("the open was refused");
    }
  }

  // Every record: "*" in any field, the term record Tamsel sends for it.
  const std::string term = std::string(1, '\0') + "*" + '\0' + "any" + '\0';
  Clock::time_point search = Clock::now();
  if (!SendAll(CPacketCodec::Search(1, 0, term))) {
    return Fail("cannot send the search");
  }
  int matches = 0;
  for (;;) {
    if (!Next(header, body)) {
      return Fail("the driver closed during the search");
    }
    if (header.type == MSG_HIT_COUNT) {
      matches = header.param2;
      break;
    }
    if (header.type == MSG_STATUS && header.param1 != STATUS_PROGRESS) {
      return Fail("the search failed");
    }
  }
  if (matches < count) {
    return Fail("too few matches");
  }

  Clock::time_point first = Clock::now();
  int titles = 0;
  for (int n = 1; n <= count; ++n) {
    if (!SendAll(CPacketCodec::HeaderOnly(MSG_GET_TITLE, n)) || !Next(header, body) ||
        header.type != MSG_TITLE || header.param1 != n) {
      return Fail("a title did not come");
    }
    ++titles;
  }
  Clock::time_point last = Clock::now();
  SendAll(CPacketCodec::HeaderOnly(MSG_CLOSE));
  close(fd);

  std::printf(
      "titles %d\nconnect-to-last-title %.6f\nsearch-to-last-title %.6f\nfirst-to-last-title "
      "%.6f\n",
      titles, Seconds(start, last), Seconds(search, last), Seconds(first, last));
  return 0;
}
