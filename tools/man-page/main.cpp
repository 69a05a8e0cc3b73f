// Writes the manual pages tessel-cli(1) and tessel(1). tessel-cli's synopsis, commands, options
// and exit statuses are its English --help text, taken apart and set in roff, so the page and
// --help cannot disagree; what --help does not say (environment, files) is written here.
//
//   tessel-man-pages <output folder> <version> <date YYYY-MM-DD>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "ui/tool_text.h"
#include "ui/ui_text.h"

namespace {

using namespace tessel;

// A word of --help as roff: options in bold, with `arguments` (in usage lines) the argument
// names (SERIAL) in italics, backslashes and minus signs escaped.
std::string Word(std::string_view word, bool arguments) {
    std::string out;
    for (const char c : word) {
        out += c == '\\' ? std::string("\\e") : c == '-' ? std::string("\\-") : std::string(1, c);
    }
    const bool option = word.size() > 1 && word[0] == '-';
    bool argument = arguments && word.size() > 1;
    for (const char c : word) {
        argument = argument && ((c >= 'A' && c <= 'Z') || c == '_');
    }
    if (option) {
        return "\\fB" + out + "\\fR";
    }
    if (argument) {
        return "\\fI" + out + "\\fR";
    }
    return out;
}

// A line of --help text as roff: each run of option characters set by Word, and a line that
// would start with a control character protected.
std::string Text(std::string_view line, bool arguments = false) {
    std::string out;
    std::size_t i = 0;
    auto word_char = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    };
    while (i < line.size()) {
        if (word_char(line[i])) {
            std::size_t end = i;
            while (end < line.size() && word_char(line[end])) {
                ++end;
            }
            out += Word(line.substr(i, end - i), arguments);
            i = end;
        } else {
            out += line[i] == '\\' ? std::string("\\e") : std::string(1, line[i]);
            ++i;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

std::string Trim(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// A usage line as roff: the program's name and its command in bold, then Text.
std::string Synopsis(std::string_view line) {
    std::string out;
    for (int bold = 0; bold < 2 && !line.empty() && line[0] != '-' && line[0] != '['; ++bold) {
        const std::size_t end = std::min(line.find(' '), line.size());
        out += (out.empty() ? "" : " ") + ("\\fB" + Text(line.substr(0, end)) + "\\fR");
        line.remove_prefix(std::min(end + 1, line.size()));
    }
    return line.empty() ? out : out + " " + Text(line, true);
}

// An entry's name as the label of its paragraph, in bold, with the argument the usage lines
// give it ("--printer SERIAL|PORT").
std::string Label(const std::string& name, const std::vector<std::string>& usage) {
    std::string label = name;
    for (const std::string& line : usage) {
        const std::size_t at = line.find("[" + name + " ");
        if (at != std::string::npos) {
            const std::size_t end = line.find(']', at);
            label = line.substr(at + 1, end == std::string::npos ? end : end - at - 1);
            break;
        }
    }
    const std::size_t space = label.find(' ');
    const std::string head = label.substr(0, space);
    std::string out = head.starts_with("-") ? Text(head) : "\\fB" + Text(head) + "\\fR";
    return space == std::string::npos ? out : out + " " + Text(label.substr(space + 1), true);
}

struct Entry {
    std::string name;
    std::string text;
};

// --help taken apart: the usage lines (a line that does not start with the program's name
// continues the one before), the entries (a name at the start of a line, its text indented
// below it) and the closing paragraph on the exit statuses.
struct Help {
    std::vector<std::string> usage;
    std::vector<Entry> entries;
    std::string exit_statuses;
};

bool ParseHelp(const std::string& help, Help& out, std::string& error) {
    std::vector<std::string> lines;
    std::istringstream in(help);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    constexpr std::string_view kUsage = "usage: ";
    std::size_t i = 0;
    if (lines.empty() || !lines[0].starts_with(kUsage)) {
        error = "the help does not start with \"usage: \"";
        return false;
    }
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        const std::string line = Trim(i == 0 ? lines[i].substr(kUsage.size()) : lines[i]);
        if (line.starts_with("tessel-cli")) {
            out.usage.push_back(line);
        } else if (!out.usage.empty()) {
            out.usage.back() += " " + line;
        }
    }
    for (++i; i < lines.size() && !lines[i].empty(); ++i) {
        if (lines[i][0] != ' ') {
            const std::size_t end = lines[i].find(' ');
            out.entries.push_back({lines[i].substr(0, end),
                                   end == std::string::npos ? "" : Trim(lines[i].substr(end))});
        } else if (!out.entries.empty()) {
            out.entries.back().text += " " + Trim(lines[i]);
        }
    }
    for (++i; i < lines.size(); ++i) {
        out.exit_statuses += (out.exit_statuses.empty() ? "" : " ") + Trim(lines[i]);
    }
    if (out.usage.empty() || out.entries.empty() || out.exit_statuses.empty()) {
        error = "the help has not its three parts: usage, commands and options, exit statuses";
        return false;
    }
    return true;
}

std::string Header(std::string_view name, std::string_view version, std::string_view date) {
    std::string upper(name);
    for (char& c : upper) {
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return ".TH " + upper + " 1 \"" + std::string(date) + "\" \"Tessel " + std::string(version) +
           "\" \"User Commands\"\n";
}

// What both programs honour and keep.
constexpr std::string_view kEnvironment =
    ".SH ENVIRONMENT\n"
    ".TP\n"
    ".BR LC_ALL \", \" LC_MESSAGES \", \" LANG\n"
    "The first of them that is set chooses the language of every text: Simplified or\n"
    "Traditional Chinese, English, Hebrew, Italian, Japanese, Russian or Turkish; any other\n"
    "language gets English.\n"
    ".TP\n"
    ".B XDG_STATE_HOME\n"
    "Where the run logs are kept (see FILES).\n"
    ".TP\n"
    ".B TESSEL_TIME_SCALE\n"
    "A number above 0 and at most 1 that shortens every wait and time limit by that factor\n"
    "(0.01 runs them 100 times as fast), for the printer emulator. Only a build that carries\n"
    "stand-in payloads honours it; a build with the maker's payloads ignores it and says so.\n"
    ".TP\n"
    ".B CUPS_SERVER\n"
    "The print scheduler that is asked whether a queue still holds jobs for the printer's\n"
    "port before an upgrade starts.\n";

constexpr std::string_view kFiles =
    ".SH FILES\n"
    ".TP\n"
    ".I $XDG_STATE_HOME/tessel/\n"
    "The log of each upgrade run, the last ten runs kept\n"
    "(\\fI~/.local/state/tessel/\\fR when \\fBXDG_STATE_HOME\\fR is not set).\n"
    ".TP\n"
    ".I /usr/lib/udev/rules.d/70\\-tessel.rules\n"
    "Gives the user at the seat access to the supported printers' device files. A printer\n"
    "plugged in before the package was installed must be plugged in again.\n";

std::string CliPage(const Help& help, std::string_view version, std::string_view date) {
    std::string page = Header("tessel-cli", version, date);
    page += ".SH NAME\n"
            "tessel\\-cli \\- upgrade the firmware of an R7000 USB laser printer from the "
            "command line\n"
            ".SH SYNOPSIS\n"
            ".nf\n";
    for (const std::string& line : help.usage) {
        page += Synopsis(line) + "\n";
    }
    page += ".fi\n"
            ".SH DESCRIPTION\n"
            ".B tessel\\-cli\n"
            "upgrades the firmware of the connected printer of the R7000 family, as the desktop\n"
            "program\n"
            ".BR tessel (1)\n"
            "does in its window, and shows what it would find without upgrading. Its texts are\n"
            "in the user's language (see ENVIRONMENT); this page gives them in English.\n"
            ".SH COMMANDS AND OPTIONS\n";
    for (const Entry& entry : help.entries) {
        page += ".TP\n" + Label(entry.name, help.usage) + "\n" + Text(entry.text) + "\n";
    }
    page += ".SH EXIT STATUS\n" + Text(help.exit_statuses) + "\n";
    page += kEnvironment;
    page += kFiles;
    page += ".SH SEE ALSO\n.BR tessel (1)\n";
    return page;
}

std::string DesktopPage(std::string_view version, std::string_view date) {
    std::string page = Header("tessel", version, date);
    page += ".SH NAME\n"
            "tessel \\- upgrade the firmware of an R7000 USB laser printer\n"
            ".SH SYNOPSIS\n"
            ".B tessel\n"
            ".SH DESCRIPTION\n"
            ".B tessel\n"
            "opens a window that upgrades the firmware of the connected printer of the R7000\n"
            "family (R7100, R7200, R7300, R7400): it checks that the printer is ready and which\n"
            "firmware it runs, asks before it installs the same version again, sends the loader\n"
            "and the firmware it carries, and waits while the printer writes it to its flash.\n"
            "Do not switch the printer off or unplug it while the window says the upgrade runs.\n"
            "With several printers connected it upgrades the first one listed; to choose\n"
            "another, use\n"
            ".BR tessel\\-cli (1)\n"
            "with its \\fB\\-\\-printer\\fR option. A second start brings the open window to the\n"
            "front.\n"
            ".PP\n"
            "It takes no arguments.\n";
    page += kEnvironment;
    page += kFiles;
    page += ".SH SEE ALSO\n.BR tessel\\-cli (1)\n";
    return page;
}

bool Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "tessel-man-pages: cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: tessel-man-pages <output folder> <version> <date>\n";
        return 64;
    }
    const std::string folder = argv[1];
    const std::string help = platform::Utf16ToUtf8(
        ui::ToolTextIn(ui::kBlockEnglish, ui::ToolText::kHelp));
    Help parsed;
    std::string error;
    if (!ParseHelp(help, parsed, error)) {
        std::cerr << "tessel-man-pages: " << error << "\n";
        return 1;
    }
    return Write(folder + "/tessel-cli.1", CliPage(parsed, argv[2], argv[3])) &&
                   Write(folder + "/tessel.1", DesktopPage(argv[2], argv[3]))
               ? 0
               : 1;
}
