// The main dialog: the tool's only window, built from its template, with the title, the icon,
// the grey ground, and the start and exit buttons of the start screen. It shows the portable
// MainDisplayModel; a way out (exit button, Escape, the Close item, Alt+F4) ends it only when
// the model allows (never while an upgrade runs).
#pragma once

#include <windows.h>

#include "ui/main_display_model.h"
#include "ui/win32/dialog.h"

namespace tessel::ui::win32 {

class CTesselDlg final : public Dialog {
  public:
    explicit CTesselDlg(MainDisplayModel& model);
    ~CTesselDlg() override;

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    bool OnEraseBackground(HDC dc) override;
    HBRUSH OnControlColour(HDC dc, HWND control) override;
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

  private:
    // The text of the system menu's Close item, empty when it has none.
    std::u16string SystemCloseText() const;
    void Show(const MainDisplayView& view);
    void PaintMinimised();

    MainDisplayModel& model_;
    HICON icon_ = nullptr;
    HICON small_icon_ = nullptr;
    HBRUSH background_brush_;
};

}  // namespace tessel::ui::win32
