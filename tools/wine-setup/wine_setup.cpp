// Prepares a Wine prefix for the Windows tests: Windows 10, as on the machines the tool is for,
// windows that need no window manager, and fonts for every script the tool's texts use, so
// that no text shows as empty boxes.
//
// The tests run on a bare X server. A window that Wine leaves to a window manager waits for one
// whenever it is hidden (two seconds, each time a dialog closes); Wine manages them itself.
//
// Wine has none of the faces that the texts and the dialog templates name ("宋体", "Times
// New Roman", "Arial", and Tahoma for "MS Shell Dlg"). Each is replaced by an installed font
// (Wine's own font replacements): the sans-serif faces by one that holds Latin, Cyrillic and
// Hebrew, which in turn is linked to one that holds Chinese and Japanese. Hebrew must be in the
// replacing font itself: right-to-left text is laid out without font links. Prints what it
// did; exits 1 when a script has no font.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

struct Font {
    const wchar_t* face;
    const wchar_t* file;  // as Wine knows it, for font links
};

// Fonts from Debian's packages, best first.
const Font kSans[] = {{L"DejaVu Sans", L"DejaVuSans.ttf"}};  // Latin, Cyrillic, Hebrew
// Liberation Serif has Times New Roman's widths, but Wine spaces its capital B apart from the
// letter after it ("B exlot"); DejaVu Serif draws cleanly.
const Font kSerif[] = {{L"DejaVu Serif", L"DejaVuSerif.ttf"},
                       {L"Liberation Serif", L"LiberationSerif-Regular.ttf"}};  // Latin, Cyrillic
const Font kCjk[] = {{L"Droid Sans Fallback", L"DroidSansFallbackFull.ttf"},
                     {L"Noto Sans CJK SC", L"NotoSansCJK-Regular.ttc"},
                     {L"WenQuanYi Zen Hei", L"wqy-zenhei.ttc"}};

std::set<std::wstring> InstalledFaces() {
    std::set<std::wstring> faces;
    HDC dc = GetDC(nullptr);
    LOGFONTW all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(
        dc, &all,
        [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
            reinterpret_cast<std::set<std::wstring>*>(found)->insert(font->lfFaceName);
            return 1;
        },
        reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, dc);
    return faces;
}

template <std::size_t N>
const Font* FirstInstalled(const Font (&fonts)[N], const std::set<std::wstring>& installed) {
    for (const Font& font : fonts) {
        if (installed.count(font.face) != 0) {
            return &font;
        }
    }
    return nullptr;
}

bool SetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status =
        RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
    return status == ERROR_SUCCESS;
}

bool SetMultiString(HKEY root, const wchar_t* key, const wchar_t* name,
                    const std::vector<std::wstring>& values) {
    std::wstring data;
    for (const std::wstring& value : values) {
        data += value;
        data += L'\0';
    }
    data += L'\0';
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status =
        RegSetValueExW(opened, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    RegCloseKey(opened);
    return status == ERROR_SUCCESS;
}

void Say(const std::wstring& line) {
    std::fputws((line + L"\n").c_str(), stdout);
}

// Window captions draw their buttons with glyphs of the "Marlett" face ('r' is the close cross).
// Wine carries the font but, as packaged here, does not find it by itself: without it the close
// button shows a plain "r". Copies Wine's own file into the prefix's font folder, which Wine
// reads when a program starts.
bool InstallCaptionGlyphs(const std::set<std::wstring>& installed) {
    if (installed.count(L"Marlett") != 0) {
        return true;
    }
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    const std::wstring target = std::wstring(windows) + L"\\Fonts\\marlett.ttf";
    for (const wchar_t* source : {L"Z:\\usr\\share\\wine\\fonts\\marlett.ttf",
                                  L"Z:\\opt\\wine-stable\\share\\wine\\fonts\\marlett.ttf"}) {
        if (CopyFileW(source, target.c_str(), FALSE)) {
            Say(L"Marlett (caption buttons) copied into the prefix");
            return true;
        }
    }
    Say(L"missing font: Marlett (caption buttons), not found in Wine's font folder");
    return false;
}

}  // namespace

int wmain() {
    const wchar_t* kReplacements = L"Software\\Wine\\Fonts\\Replacements";
    const wchar_t* kSystemLink =
        L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";
    bool ok = SetString(HKEY_CURRENT_USER, L"Software\\Wine", L"Version", L"win10");
    Say(L"Windows version: win10");
    ok = SetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed", L"N") && ok;
    Say(L"Windows managed by Wine itself");

    const std::set<std::wstring> installed = InstalledFaces();
    const Font* sans = FirstInstalled(kSans, installed);
    const Font* serif = FirstInstalled(kSerif, installed);
    const Font* cjk = FirstInstalled(kCjk, installed);
    if (sans == nullptr || serif == nullptr || cjk == nullptr) {
        Say(L"missing fonts: the tests need fonts-dejavu-core, fonts-liberation and "
            L"fonts-droid-fallback");
        return 1;
    }
    const struct {
        const wchar_t* named;
        const wchar_t* label;  // for the report, in ASCII
        const Font* font;
    } replacements[] = {
        {L"Tahoma", L"Tahoma (MS Shell Dlg)", sans},
        {L"\u5B8B\u4F53", L"SimSun (Chinese name)", sans},
        {L"Arial", L"Arial", sans},
        {L"Times New Roman", L"Times New Roman", serif},
    };
    ok = InstallCaptionGlyphs(installed) && ok;
    for (const auto& r : replacements) {
        ok = SetString(HKEY_CURRENT_USER, kReplacements, r.named, r.font->face) && ok;
        Say(std::wstring(r.label) + L" -> " + r.font->face);
    }
    // Bold text is drawn with the bold face, which Wine knows by its full name ("DejaVu Sans
    // Bold"): it needs a link of its own, or bold Chinese and Japanese show as boxes.
    for (const Font* font : {sans, serif}) {
        for (const std::wstring& face :
             {std::wstring(font->face), font->face + std::wstring(L" Bold")}) {
            ok = SetMultiString(HKEY_LOCAL_MACHINE, kSystemLink, face.c_str(),
                                {std::wstring(cjk->file) + L"," + cjk->face}) &&
                 ok;
            Say(face + L" links " + cjk->face);
        }
    }
    // Edit controls lay their text out by script and take a missing script's glyphs from the
    // faces Windows would use for it, not through font links.
    for (const wchar_t* named : {L"SimSun", L"MS Song", L"Microsoft YaHei", L"Microsoft JhengHei",
                                 L"PMingLiU", L"MingLiU", L"MS Mincho", L"MS Gothic",
                                 L"MS UI Gothic", L"Meiryo", L"Yu Gothic"}) {
        ok = SetString(HKEY_CURRENT_USER, kReplacements, named, cjk->face) && ok;
    }
    Say(std::wstring(L"Chinese and Japanese faces -> ") + cjk->face);
    return ok ? 0 : 1;
}
