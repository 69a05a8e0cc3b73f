// Print queues on Linux: asked of the CUPS scheduler that the usual CUPS settings name
// (CUPS_SERVER, client.conf, the default socket). A queue's port is its device URI.
#include <cups/cups.h>

#include <strings.h>
#include <cstring>
#include <map>

#include "platform/print_spooler.h"
#include "platform/text.h"

namespace tessel::platform {
namespace {

// Bounds on a scheduler that accepts but does not answer: the check must never hang.
constexpr int kConnectMs = 5000;
constexpr double kAnswerSeconds = 10.0;

const char* NoPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}
int GiveUp(http_t*, void*) {
    return 0;
}

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

class Connection {
  public:
    Connection() {
        // Read the server setting afresh, so a changed CUPS_SERVER takes effect, and never
        // let libcups ask for a password on the terminal.
        cupsSetServer(nullptr);
        cupsSetPasswordCB2(NoPassword, nullptr);
        http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             kConnectMs, nullptr);
        if (http_) {
            httpSetTimeout(http_, kAnswerSeconds, GiveUp, nullptr);
        }
    }
    ~Connection() {
        if (http_) {
            httpClose(http_);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    explicit operator bool() const { return http_ != nullptr; }

    // Sends `request` (consumed); the answer, or null when the exchange failed. "Not found"
    // is an empty answer: the scheduler has no such objects.
    ipp_t* Ask(ipp_t* request, bool& empty) {
        empty = false;
        ipp_t* response = cupsDoRequest(http_, request, "/");
        const ipp_status_t status = cupsLastError();
        if (status == IPP_STATUS_ERROR_NOT_FOUND) {
            ippDelete(response);
            empty = true;
            return nullptr;
        }
        if (!response || status > IPP_STATUS_OK_EVENTS_COMPLETE) {
            ippDelete(response);
            return nullptr;
        }
        return response;
    }

  private:
    http_t* http_ = nullptr;
};

// Calls `visit` with the attributes of each group of `tag` in the response, group by group.
template <typename Visit>
void ForEachGroup(ipp_t* response, ipp_tag_t tag, Visit visit) {
    ipp_attribute_t* attr = ippFirstAttribute(response);
    while (attr) {
        while (attr && ippGetGroupTag(attr) != tag) {
            attr = ippNextAttribute(response);
        }
        if (!attr) {
            break;
        }
        std::map<std::string, ipp_attribute_t*> group;
        while (attr && ippGetGroupTag(attr) == tag) {
            if (const char* name = ippGetName(attr)) {
                group.emplace(name, attr);
            }
            attr = ippNextAttribute(response);
        }
        visit(group);
    }
}

const char* StringOf(const std::map<std::string, ipp_attribute_t*>& group, const char* name) {
    auto it = group.find(name);
    return it == group.end() ? nullptr : ippGetString(it->second, 0, nullptr);
}

class CupsPrintSpooler final : public PrintSpooler {
  public:
    std::optional<std::vector<PrintQueue>> Queues() override {
        Connection connection;
        if (!connection) {
            return std::nullopt;
        }

        // Active jobs per queue name. "Not completed" means pending, held, processing or
        // stopped while processing; all of them still claim the printer.
        std::map<std::string, std::uint32_t, CaseInsensitiveLess> jobs;
        {
            ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                         "ipp://localhost/");
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                         cupsUser());
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
                         "not-completed");
            static const char* const kJobAttributes[] = {"job-printer-uri", "job-state"};
            ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                          nullptr, kJobAttributes);
            bool empty = false;
            ipp_t* response = connection.Ask(request, empty);
            if (!response && !empty) {
                return std::nullopt;
            }
            ForEachGroup(response, IPP_TAG_JOB, [&](const auto& group) {
                const char* printer_uri = StringOf(group, "job-printer-uri");
                auto state = group.find("job-state");
                if (!printer_uri || state == group.end()) {
                    return;
                }
                const int value = ippGetInteger(state->second, 0);
                if (value < IPP_JSTATE_PENDING || value > IPP_JSTATE_STOPPED) {
                    return;
                }
                const char* slash = std::strrchr(printer_uri, '/');
                ++jobs[slash ? slash + 1 : printer_uri];
            });
            ippDelete(response);
        }

        // The queues in the scheduler's order with their device URIs.
        std::vector<PrintQueue> queues;
        ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                     cupsUser());
        static const char* const kPrinterAttributes[] = {"printer-name", "device-uri"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                      nullptr, kPrinterAttributes);
        bool empty = false;
        ipp_t* response = connection.Ask(request, empty);
        if (!response) {
            return empty ? std::optional(queues) : std::nullopt;
        }
        ForEachGroup(response, IPP_TAG_PRINTER, [&](const auto& group) {
            const char* name = StringOf(group, "printer-name");
            if (!name) {
                return;
            }
            const char* device_uri = StringOf(group, "device-uri");
            auto count = jobs.find(name);
            queues.push_back(PrintQueue{device_uri ? Utf8ToUtf16(device_uri) : std::u16string(),
                                        count == jobs.end() ? 0u : count->second});
        });
        ippDelete(response);
        return queues;
    }
};

}  // namespace

PrintSpooler& SystemPrintSpooler() {
    static CupsPrintSpooler spooler;
    return spooler;
}

}  // namespace tessel::platform
