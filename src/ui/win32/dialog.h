// The thin layer under the tool's dialogs: a dialog built from a template in this executable,
// run modally on the calling thread, with its window messages dispatched to member functions.
#pragma once

#include <windows.h>

#include <string>

#include "ui/display_geometry.h"

namespace tessel::ui::win32 {

class Dialog {
  public:
    explicit Dialog(int template_id) : template_id_(template_id) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the dialog from its template, runs its modal loop on the calling thread until
    // EndDialog, and returns the value given to EndDialog; -1 when the dialog could not be
    // created. `owner` (may be null) is disabled meanwhile.
    INT_PTR DoModal(HWND owner);

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  protected:
    void EndDialog(INT_PTR result);

    // WM_INITDIALOG. True lets the dialog manager give the focus to the first control.
    virtual bool OnInitDialog() { return true; }
    // WM_COMMAND; true when handled. The dialog manager turns Escape, Alt+F4 and the Close
    // item into IDCANCEL and Enter into IDOK (or the default button's id).
    virtual bool OnCommand(int id, int notification, HWND control);
    // WM_ERASEBKGND; true when the background was erased.
    virtual bool OnEraseBackground(HDC dc);
    // WM_CTLCOLOR* for the dialog (control null) and its controls; null for the default.
    virtual HBRUSH OnControlColour(HDC dc, HWND control);
    // Every other message; true when handled, with the message's result in `result`.
    virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

  private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

    int template_id_;
    HWND hwnd_ = nullptr;
};

// What ToPixels needs for `dialog`: its template font's base units and its monitor's DPI.
DialogMetrics MetricsOf(HWND dialog);
// `place` in `dialog`'s client pixels (ToPixels with the dialog's metrics): dialog units as the
// dialog manager lays out the template's controls, pixels scaled by the DPI.
RECT PlaceRect(HWND dialog, const Place& place);
// Moves `control` to `place` in its dialog.
void MoveToPlace(HWND dialog, HWND control, const Place& place);

// The text of a window, as UTF-16.
std::u16string WindowText(HWND window);
void SetText(HWND window, std::u16string_view text);

}  // namespace tessel::ui::win32
