// The text console of a command-line front end: standard output and error, answers typed on
// standard input, and the interrupt keys (Ctrl+C and its kin), whose default would end the
// process in the middle of whatever it was doing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessel::platform {

class Console {
  public:
    virtual ~Console() = default;

    // Whether standard output and standard input are an interactive terminal.
    virtual bool OutputIsTerminal() = 0;
    virtual bool InputIsTerminal() = 0;

    // Writes UTF-8 text to standard output or standard error and flushes it. A failed write
    // (a closed pipe, a vanished terminal) is dropped: losing output must never end the
    // process.
    virtual void Write(std::string_view utf8) = 0;
    virtual void WriteError(std::string_view utf8) = 0;

    // Reads one line from standard input, without its line end. Nothing at the end of input,
    // on a read error, or when CancelRead came while it waited or before it began.
    virtual std::optional<std::string> ReadLine() = 0;

    // Ends the read that waits now, or else the next one, with nothing. Sticky on purpose: an
    // interrupt that lands between a prompt and its read must still end that read.
    virtual void CancelRead() = 0;

    // Takes over the interrupt keys and termination requests (Linux: SIGINT, SIGTERM,
    // SIGHUP, SIGQUIT; Windows: the console control events). `handler` runs on a thread of its
    // own, never in a signal context, once per request; the process goes on unless the handler
    // ends it. Call once, before the process starts other threads. Writes to a closed pipe
    // no longer end the process from then on either.
    virtual void TakeInterrupts(std::function<void()> handler) = 0;
};

// The process's console.
Console& SystemConsole();

}  // namespace tessel::platform
