#include "app/desktop_instance.h"

#include <unistd.h>

#include <QLocalSocket>

namespace tessel::app {
namespace {
constexpr int kConnectTimeoutMs = 1000;
}  // namespace

QString DesktopInstanceName() {
    return QStringLiteral("tessel-desktop-%1").arg(getuid());
}

DesktopInstance::DesktopInstance(const QString& name) {
    {
        QLocalSocket other;
        other.connectToServer(name);
        if (other.waitForConnected(kConnectTimeoutMs)) {
            other.write("activate\n");
            other.waitForBytesWritten(kConnectTimeoutMs);
            other.disconnectFromServer();
            return;
        }
    }
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        // Nobody answered above: the name is a dead copy's socket file.
        QLocalServer::removeServer(name);
        if (!server->listen(name)) {
            return;
        }
    }
    QObject::connect(server.get(), &QLocalServer::newConnection, server.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket,
                             &QLocalSocket::deleteLater);
            if (activate_) {
                activate_();
            }
        }
    });
    server_ = std::move(server);
}

void DesktopInstance::OnActivate(std::function<void()> activate) {
    activate_ = std::move(activate);
}

}  // namespace tessel::app
