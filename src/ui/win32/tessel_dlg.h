// The main dialog: the tool's only window, built from its template. It is the upgrade session's
// Windows front end: the session holds the display, and the dialog paints each view it is given
// (the texts, the progress bar, the result image, the buttons, the Close item of its system menu
// and the hidden printer list) and forwards the user's requests: the start button starts the
// upgrade, and every way out (exit button, Escape, the Close item, Alt+F4) asks the session,
// which refuses while an upgrade runs. The message dialog opens modally over it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "ui/upgrade_session.h"
#include "ui/win32/dialog.h"
#include "ui/win32/win32_ui_loop.h"

namespace tessel::ui::win32 {

class CTesselDlg final : public Dialog, private SessionFrontEnd {
  public:
    // The session runs on `clock`. Without `langid` the dialog shows the user's UI language.
    explicit CTesselDlg(platform::Clock& clock, std::optional<std::uint16_t> langid = {});
    ~CTesselDlg() override;

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    bool OnEraseBackground(HDC dc) override;
    HBRUSH OnControlColour(HDC dc, HWND control) override;
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

  private:
    // SessionFrontEnd
    void Render(const MainDisplayView& previous, const MainDisplayView& current,
                const ViewChanges& changes) override;
    std::optional<std::int32_t> AskMessageDialog(const MessageDialogView& dialog) override;

    struct TextControl {
        HWND hwnd = nullptr;
        int id = 0;
        const wchar_t* window_class = L"STATIC";
        LONG base_style = 0;  // without the visibility and the alignment
    };

    // The text of the system menu's Close item, empty when it has none.
    std::u16string SystemCloseText() const;
    // Creates the fonts for `face` when they are not those of it; whether it did.
    bool UseFontFace(const std::u16string& face);
    HFONT FontOf(FontKind kind) const;
    void ShowText(TextControl& control, const TextControlView& view, bool state, bool text);
    // The window of a text control of the view; null before its first rendering.
    HWND TextWindow(TextControlView MainDisplayView::* control) const;
    void ShowProgress(const ProgressView& view);
    void ShowResultImage(const ImageView& view);
    void ShowCloseItem(const MainDisplayView& view);
    void ShowPrinterList(const PrinterListView& view);
    void FocusInstruction();
    void PaintMinimised();

    platform::Clock& clock_;
    std::optional<std::uint16_t> langid_;
    Win32UiLoop loop_;  // outlives the session
    std::unique_ptr<UpgradeSession> session_;

    HICON icon_ = nullptr;
    HICON small_icon_ = nullptr;
    HBRUSH background_brush_;
    HBITMAP warning_bitmap_ = nullptr;
    HBITMAP success_bitmap_ = nullptr;
    std::u16string font_face_;
    HFONT normal_font_ = nullptr;
    HFONT bold_font_ = nullptr;

    // One a row of kTextControls.
    std::array<TextControl, kTextControls.size()> texts_;
    HWND progress_ = nullptr;
};

}  // namespace tessel::ui::win32
