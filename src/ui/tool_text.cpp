#include "ui/tool_text.h"

#include <cstdio>
#include <vector>

#include "platform/text.h"

namespace tessel::ui {
namespace {

constexpr char16_t kFirstStrongIsolate = u'\u2068';
constexpr char16_t kPopDirectionalIsolate = u'\u2069';

std::u16string Fill(int block, ToolText id, const std::vector<std::u16string_view>& args) {
    const std::size_t index = static_cast<std::size_t>(id);
    if (block < 0 || block >= kUiLanguageBlockCount || index >= kToolTextCount) {
        return {};
    }
    const std::u16string_view text = ToolTextTable[static_cast<std::size_t>(block)][index].text;
    // Inside a right-to-left sentence a number, a time or a path must keep its own order.
    const bool isolate = block == kBlockHebrew;
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'{' && i + 2 < text.size() && text[i + 1] >= u'1' &&
            text[i + 1] <= u'9' && text[i + 2] == u'}') {
            const std::size_t arg = static_cast<std::size_t>(text[i + 1] - u'1');
            if (arg < args.size()) {
                if (isolate) {
                    out += kFirstStrongIsolate;
                }
                out += args[arg];
                if (isolate) {
                    out += kPopDirectionalIsolate;
                }
            }
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string FillUtf8(int block, ToolText id, std::initializer_list<std::string_view> args) {
    std::vector<std::u16string> wide;
    wide.reserve(args.size());
    for (std::string_view arg : args) {
        wide.push_back(platform::Utf8ToUtf16(arg));
    }
    return platform::Utf16ToUtf8(Fill(block, id, {wide.begin(), wide.end()}));
}

}  // namespace

std::u16string ToolTextIn(int block, ToolText id,
                          std::initializer_list<std::u16string_view> args) {
    return Fill(block, id, std::vector<std::u16string_view>(args));
}

std::u16string GetToolText(ToolText id, std::initializer_list<std::u16string_view> args) {
    return ToolTextIn(UiLanguageBlock(), id, args);
}

std::string ToolTextUtf8(ToolText id, std::initializer_list<std::string_view> args) {
    return FillUtf8(UiLanguageBlock(), id, args);
}

std::string ToolTextEnglish(ToolText id, std::initializer_list<std::string_view> args) {
    return FillUtf8(kBlockEnglish, id, args);
}

std::u16string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%llu",
                  static_cast<unsigned long long>(bytes / 1'000'000),
                  static_cast<unsigned long long>(bytes % 1'000'000 / 100'000));
    std::u16string out = platform::Utf8ToUtf16(text);
    const std::u16string separator = GetToolText(ToolText::kDecimalSeparator);
    const std::size_t dot = out.find(u'.');
    out.replace(dot, 1, separator);
    return out;
}

std::u16string MinutesSeconds(std::int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return platform::Utf8ToUtf16(text);
}

}  // namespace tessel::ui
