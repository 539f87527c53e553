#pragma once

#include <sys/socket.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "output/CSmtpReplyReader.h"

class EventLoop;
class Ui;

// Sends one message through an SMTP host: greeting, HELO, MAIL FROM, RCPT TO,
// DATA, a short header, the body and the end-of-data line. Each reply is
// waited for in place on the event loop, at most one minute without socket
// activity per wait, so a dead or silent host cannot hang the program. Every
// failure is shown to the user before the send returns false. One object per
// message; destroying it closes the connection (no QUIT is sent).
class CSendMail {
 public:
  static constexpr const char* kSenderName = "WinTamsel";
  static constexpr int kDefaultPort = 25;
  static constexpr int kReplyWaitMs = 60000;
  static constexpr std::size_t kFileChunk = 4096;

  CSendMail(Ui& ui, EventLoop& loop);
  ~CSendMail();
  CSendMail(const CSendMail&) = delete;
  CSendMail& operator=(const CSendMail&) = delete;

  // Makes the stream socket; false when the system has none to give.
  bool Create();

  // `host` is "machine.domain" or "machine.domain:port" (port 25 otherwise).
  // The body file already has CR LF line ends.
  bool SendMailFile(const std::string& host, const std::string& to, const std::string& subject,
                    const std::string& bodyPath);
  bool SendMailText(const std::string& host, const std::string& to, const std::string& subject,
                    const std::string& body);

  // The last complete reply (at most 255 characters).
  const std::string& ReplyText() const { return reader.ReplyText(); }

  // Splits the mail host setting; false when the port is not a number in 1..65535.
  static bool ParseHost(const std::string& setting, std::string& host, int& port);
  // True when text could break out of its header or command line.
  static bool HasLineBreak(std::string_view text);
  // Doubles the period at the start of each line, across calls: `atLineStart`
  // carries whether the next byte begins a line.
  static void AppendDotStuffed(std::string_view bytes, bool& atLineStart, std::string& out);

  // The envelope sender, also named in the message header.
  std::string SenderAddress() const;
  // The header lines put in front of every body, ending with the empty line.
  static std::string MessageHeader(const std::string& to, const std::string& subject,
                                   const std::string& sender);

  // The name we greet with; the machine's host name unless a test sets it.
  std::function<std::string()> localHostName;

 private:
  enum class Reply { Accepted, Rejected, ReadError };
  struct Address {
    int family = 0;
    sockaddr_storage storage{};
    socklen_t length = 0;
  };

  bool SendMessage(const std::string& host, const std::string& to, const std::string& subject,
                   const std::function<bool()>& sendBody);
  bool Connect(const std::string& hostSetting);
  bool ConnectNext();
  bool Converse(const std::string& to, const std::string& subject);
  Reply Command(const std::string& command, char expectedFirst);
  bool WaitReply();
  void SingleWait();
  void OnReadable();
  void SendAll(std::string_view bytes);
  void SendBodyPiece(std::string_view bytes);
  bool SendFileBody(const std::string& path);
  bool EndData();
  void CloseSocket();
  void Fail(const std::string& text);
  std::string HostName() const;

  Ui& ui;
  EventLoop& loop;
  int socketFd = -1;
  int socketFamily = 0;
  int watchId = 0;
  bool connecting = false;
  std::vector<Address> addresses;
  std::size_t nextAddress = 0;
  int connectError = 0;

  CSmtpReplyReader reader;
  bool replyComplete = false;
  int readError = 0;
  bool activity = false;
  bool bodyAtLineStart = true;
};
