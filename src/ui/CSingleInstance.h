#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Finds a running Tamsel of the same user and talks to it. The running
// program listens on a local socket named after the main window class; a
// second start connects and sends one line: "raise" to bring the running
// window to the front, "open" to also open the most recent command line the
// second start has just stored.
class CSingleInstance : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kRaiseLine = "raise\n";
  static constexpr const char* kOpenLine = "open\n";

  explicit CSingleInstance(QString serverName = DefaultServerName(), QObject* parent = nullptr);

  // "WinTamsel32-<uid>", inside $XDG_RUNTIME_DIR when there is one.
  static QString DefaultServerName();

  // True when a running program answers on the socket.
  bool FindRunning() const;
  // Sends one protocol line to the running program; false when none took it.
  bool Tell(const char* line) const;

  // Starts answering second starts. A socket left by a crashed program is
  // replaced; false when another live program holds the name.
  bool Listen();
  bool IsListening() const;

 signals:
  void RaiseRequested();
  void OpenMostRecentRequested();

 private:
  void OnNewConnection();
  void ReadLines(QLocalSocket* socket);

  QString serverName;
  QLocalServer* server = nullptr;
};
