// tessel.exe itself under Windows (Wine): what it carries, and that only one copy runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/single_instance.h"
#include "payloads/payload_format.h"
#include "windows_process.h"

namespace tessel::app {
namespace {

using tessel::testing::EnvironmentBlock;
using tessel::testing::WindowsPath;
using tessel::testing::WindowsProcess;

// Bounds for a program's start and end under Wine; each look is 20 ms apart.
constexpr DWORD kStartBoundMs = 30'000;

// Resource types, wide.
const wchar_t* const kDialog = MAKEINTRESOURCEW(5);
const wchar_t* const kGroupIcon = MAKEINTRESOURCEW(14);
const wchar_t* const kManifest = MAKEINTRESOURCEW(24);

class TesselExe : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryExW(exe_.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << GetLastError();
    }
    void TearDown() override { FreeLibrary(module_); }

    std::string_view Resource(const wchar_t* type, int id) const {
        HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        if (info == nullptr) {
            return {};
        }
        const void* data = LockResource(LoadResource(module_, info));
        return {static_cast<const char*>(data), SizeofResource(module_, info)};
    }

    const std::wstring exe_ = WindowsPath(TESSEL_EXE_PATH);
    HMODULE module_ = nullptr;
};

struct Pixel {
    BYTE r, g, b;
};

TEST_F(TesselExe, CarriesBitmapsOfTheDescribedSizeAndGround) {
    const struct {
        int id;
        LONG width, height;
        COLORREF ground;
        POINT inside;  // a point of the sign itself
        bool (*sign_colour)(Pixel);
    } cases[] = {
        {175,
         97,
         90,
         RGB(236, 237, 236),
         {48, 75},
         [](Pixel p) { return p.r > 200 && p.g > 140 && p.b < 100; }},  // yellow
        {176,
         98,
         93,
         RGB(236, 237, 236),
         {20, 46},
         [](Pixel p) { return p.g > p.r + 40 && p.g > p.b + 40; }},  // green
        {177,
         45,
         40,
         RGB(255, 255, 255),
         {12, 32},
         [](Pixel p) { return p.r > 200 && p.g > 140 && p.b < 100; }},
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& c : cases) {
        auto* bitmap = static_cast<HBITMAP>(
            LoadImageW(module_, MAKEINTRESOURCEW(c.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << c.id;
        BITMAP info = {};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, c.width) << c.id;
        EXPECT_EQ(info.bmHeight, c.height) << c.id;
        HGDIOBJ old = SelectObject(dc, bitmap);
        for (POINT corner : {POINT{0, 0}, POINT{c.width - 1, 0}, POINT{0, c.height - 1},
                             POINT{c.width - 1, c.height - 1}}) {
            EXPECT_EQ(GetPixel(dc, corner.x, corner.y), c.ground)
                << c.id << " at " << corner.x << "," << corner.y;
        }
        const COLORREF inside = GetPixel(dc, c.inside.x, c.inside.y);
        EXPECT_TRUE(c.sign_colour({GetRValue(inside), GetGValue(inside), GetBValue(inside)}))
            << c.id << ": " << std::hex << inside;
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
}

TEST_F(TesselExe, CarriesTheIconInThreeSizesTheDialogsAndBothPayloads) {
    // The icon group: a header of three words, then 14-byte entries led by width and height.
    const std::string_view group = Resource(kGroupIcon, 128);
    ASSERT_GE(group.size(), 6u);
    const auto count = static_cast<std::size_t>(static_cast<unsigned char>(group[4]));
    ASSERT_EQ(group.size(), 6 + 14 * count);
    std::string sizes;
    for (std::size_t i = 0; i < count; ++i) {
        sizes += std::to_string(static_cast<unsigned char>(group[6 + 14 * i])) + " ";
    }
    EXPECT_EQ(sizes, "16 32 48 ");

    EXPECT_FALSE(Resource(kDialog, 102).empty());
    EXPECT_FALSE(Resource(kDialog, 174).empty());
    EXPECT_EQ(Resource(L"BINARY", 179).size(), payloads::kFirmwareSpec.size);
    EXPECT_EQ(Resource(L"BINARY", 180).size(), payloads::kLoaderSpec.size);
}

TEST_F(TesselExe, ManifestAsksForAdministratorRightsDpiAwarenessAndCommonControls6) {
    const std::string manifest(Resource(kManifest, 1));
    for (const char* part : {
             R"(level="requireAdministrator")",
             R"(uiAccess="false")",
             R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true<)",
             R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
             R"(<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>)",
         }) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

// Both programs carry the project's version, the description, company, product and copyright.
TEST(WindowsPrograms, CarryTheVersionResource) {
    const struct {
        const char* path;
        const wchar_t* description;
    } programs[] = {{TESSEL_EXE_PATH, L"Tessel printer firmware upgrade"},
                    {TESSEL_CLI_PATH, L"Tessel printer firmware upgrade, command line"}};
    const std::string version = TESSEL_VERSION;
    const std::wstring wide_version(version.begin(), version.end());
    for (const auto& program : programs) {
        const std::wstring path = WindowsPath(program.path);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_GT(size, 0u) << program.path;
        std::string data(size, '\0');
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                    std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                    std::to_string(HIWORD(fixed->dwFileVersionLS));
        EXPECT_EQ(numbers, version) << program.path;
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        const auto text = [&](const wchar_t* name) {
            wchar_t* value = nullptr;
            UINT chars = 0;
            const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
            if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars) ||
                value == nullptr) {
                return std::wstring();
            }
            return std::wstring(value);
        };
        EXPECT_EQ(text(L"FileVersion"), wide_version);
        EXPECT_EQ(text(L"ProductVersion"), wide_version);
        EXPECT_EQ(text(L"ProductName"), L"Tessel");
        EXPECT_EQ(text(L"FileDescription"), program.description);
        EXPECT_EQ(text(L"CompanyName"), L"The Tessel developers");
        EXPECT_EQ(text(L"LegalCopyright"), L"Copyright 2026 The Tessel developers");
    }
}

// A second start while the first one shows the English texts: the first window comes back from
// the taskbar and stays, the second process shows nothing and ends.
TEST_F(TesselExe, ASecondStartBringsTheFirstForwardAndEnds) {
    const std::u16string key = SingleInstanceKey();
    const std::wstring title(key.begin(), key.end());
    ASSERT_EQ(FindWindowW(nullptr, title.c_str()), nullptr) << "tessel.exe runs already";
    const std::wstring english = EnvironmentBlock(
        {{L"LANG", L"en_US.UTF-8"}, {L"LC_ALL", L"en_US.UTF-8"}, {L"LC_MESSAGES", L""}});

    WindowsProcess first(exe_, {}, english, nullptr, false);
    ASSERT_TRUE(first.started()) << first.start_error();
    HWND window = nullptr;
    for (DWORD waited = 0; waited < kStartBoundMs && !(window && IsWindowVisible(window));
         waited += 20) {
        Sleep(20);
        window = FindWindowW(nullptr, title.c_str());
        ASSERT_FALSE(first.Wait(0)) << "tessel.exe ended";
    }
    ASSERT_NE(window, nullptr) << "no window titled with the key";
    ASSERT_TRUE(IsWindowVisible(window));
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));

    WindowsProcess second(exe_, {}, english, nullptr, false);
    ASSERT_TRUE(second.started()) << second.start_error();
    EXPECT_EQ(second.Wait(kStartBoundMs), std::optional<DWORD>(0));

    EXPECT_FALSE(first.Wait(0)) << "the first tessel.exe ended";
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));

    // The exit button ends it.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(first.Wait(kStartBoundMs), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace tessel::app
