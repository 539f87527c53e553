#include "ui/CSingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include "app/AppNames.h"

namespace {

constexpr int kConnectTimeoutMs = 2000;
// Protocol lines are a few bytes; a peer sending more without a line end is
// not a Tamsel.
constexpr qint64 kMaxLineBytes = 64;

}  // namespace

CSingleInstance::CSingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName(std::move(serverName)) {}

QString CSingleInstance::DefaultServerName() {
  QString name = QString("%1-%2").arg(kWindowClassName).arg(getuid());
  QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtimeDir.isEmpty() && QDir(runtimeDir).exists()) {
    return QDir(runtimeDir).filePath(name);
  }
  return name;
}

bool CSingleInstance::FindRunning() const {
  QLocalSocket socket;
  socket.connectToServer(serverName);
  bool found = socket.waitForConnected(kConnectTimeoutMs);
  socket.abort();
  return found;
}

bool CSingleInstance::Tell(const char* line) const {
  QLocalSocket socket;
  socket.connectToServer(serverName);
  if (!socket.waitForConnected(kConnectTimeoutMs)) {
    return false;
  }
  socket.write(line);
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(kConnectTimeoutMs)) {
      return false;
    }
  }
  socket.disconnectFromServer();
  return true;
}

bool CSingleInstance::Listen() {
  if (server == nullptr) {
    server = new QLocalServer(this);
    // Only this user may hand paths to the program.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
  }
  // Never take the name from a live program, whatever listen() would do.
  if (FindRunning()) {
    return false;
  }
  if (server->listen(serverName)) {
    return true;
  }
  if (server->serverError() != QAbstractSocket::AddressInUseError || FindRunning()) {
    return false;
  }
  QLocalServer::removeServer(serverName);
  return server->listen(serverName);
}

bool CSingleInstance::IsListening() const {
  return server != nullptr && server->isListening();
}

void CSingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadLines(socket); });
    ReadLines(socket);
  }
}

void CSingleInstance::ReadLines(QLocalSocket* socket) {
  while (socket->canReadLine()) {
    QByteArray line = socket->readLine(kMaxLineBytes + 1).trimmed();
    // Acted on from the event loop: an open may run a modal dialog, and the
    // socket must not go away under this loop meanwhile.
    if (line == "raise" || line == "open") {
      bool open = line == "open";
      QMetaObject::invokeMethod(
          this,
          [this, open] {
            emit RaiseRequested();
            if (open) {
              emit OpenMostRecentRequested();
            }
          },
          Qt::QueuedConnection);
    }
  }
  if (socket->bytesAvailable() > kMaxLineBytes) {
    socket->abort();
  }
}
