// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/instance_link.h"

#include <QLocalSocket>

namespace parlatone {

InstanceLink::InstanceLink(QString server_name, QObject* parent)
    : QObject(parent), server_name_(std::move(server_name)) {
  connect(&server_, &QLocalServer::newConnection, this, &InstanceLink::Accept);
}

bool InstanceLink::Listen() {
  // Only the holder of the single-instance lock listens, so a socket that is
  // there already was left by an editor that is gone.
  QLocalServer::removeServer(server_name_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  return server_.listen(server_name_);
}

void InstanceLink::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        return;
      }
      const QString file = QString::fromUtf8(socket->readLine()).chopped(1);
      socket->write("ok\n");
      socket->flush();
      // Never from inside the socket's own signal: taking the file may ask
      // the operator, and while that question is open the second start ends,
      // its socket closes and is deleted under this very handler.
      QMetaObject::invokeMethod(
          this, [this, file] { Q_EMIT HandedOver(file); }, Qt::QueuedConnection);
    });
  }
}

bool InstanceLink::HandOver(const QString& server_name, const QString& file, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(server_name);
  if (!socket.waitForConnected(timeout_ms)) {
    return false;
  }
  socket.write(file.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(timeout_ms)) {
    return false;
  }
  // The answer says the editor took it, not only that the bytes left.
  return socket.waitForReadyRead(timeout_ms) && socket.readLine() == "ok\n";
}

}  // namespace parlatone
