// A pseudo-terminal in raw mode that stands in for a printer's USB device node. The emulator
// serves the master; the client opens the slave. The emulator holds a slave descriptor of its
// own as long as the printer is on the bus, so the master never sees a hang-up between the
// client's opens; closing both (destruction) makes the client's open handles fail.
#pragma once

#include <memory>
#include <string>

namespace tessel::sim {

class Pty {
  public:
    // `zero_reads`: the client's reads return 0 bytes after 0.1 s without data instead of
    // blocking. Returns null and sets `error` when no pseudo-terminal can be had.
    static std::unique_ptr<Pty> Open(bool zero_reads, std::string& error);
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return master_; }

    // Makes the client's reads return 0 bytes after 0.1 s without data instead of blocking.
    // A client that sets its own terminal mode on open undoes this, so it is applied again
    // whenever the client has sent something. Returns false when the terminal refuses.
    bool TimeOutReads();
    // "/dev/pts/N"
    const std::string& slave_path() const { return slave_path_; }

  private:
    Pty(int master, int slave, std::string slave_path);
    int master_;
    int slave_;
    std::string slave_path_;
};

}  // namespace tessel::sim
