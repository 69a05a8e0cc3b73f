// Only one copy of the desktop application runs per user, whatever its title or language: the
// first copy listens on a local socket named for the user; a second start connects to it, which
// brings the first window forward, and ends.
#pragma once

#include <QLocalServer>
#include <QString>
#include <functional>
#include <memory>

namespace tessel::app {

// The socket's name for the user running this process.
QString DesktopInstanceName();

class DesktopInstance {
  public:
    // Claims `name`. When another copy holds it, tells that copy to come forward and is not
    // primary. A name left over by a copy that died is taken over.
    explicit DesktopInstance(const QString& name);
    bool primary() const { return server_ != nullptr; }
    // Runs on the GUI thread whenever a later start asks this copy to come forward.
    void OnActivate(std::function<void()> activate);

  private:
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> activate_;
};

}  // namespace tessel::app
