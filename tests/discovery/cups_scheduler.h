// A throwaway CUPS scheduler for tests: its own configuration in a temporary folder, reached
// only through a Unix socket, with a dummy usb backend so queues on usb:// URIs can be made.
// CUPS_SERVER points at it while it lives.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tessel::testing {

class CupsScheduler {
  public:
    // The full path of a CUPS program, or nothing when it is not installed.
    static std::optional<std::string> FindProgram(const std::string& name);

    CupsScheduler();
    ~CupsScheduler();
    CupsScheduler(const CupsScheduler&) = delete;
    CupsScheduler& operator=(const CupsScheduler&) = delete;

    // Starts cupsd and waits (a bounded while) until it answers; on failure `why` says why.
    bool Start(std::string& why);
    void Stop();

    // Runs a CUPS command line tool against this scheduler; true when it exits with 0.
    bool Run(const std::vector<std::string>& argv);

    // A queue on `device_uri`, enabled and accepting jobs.
    bool AddQueue(const std::string& name, const std::string& device_uri);
    // A job that stays held on `queue`; its id in `job_id`.
    bool AddHeldJob(const std::string& queue, std::string& job_id);

    const std::filesystem::path root;
    const std::filesystem::path socket;

    // What cupsd and the tools wrote, for failure messages.
    std::string Log() const;

  private:
    pid_t pid_ = -1;
    std::optional<std::string> saved_server_;
};

}  // namespace tessel::testing
