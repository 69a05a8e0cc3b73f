#include "ui/win32/dialog.h"

namespace tessel::ui::win32 {

INT_PTR Dialog::DoModal(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), owner,
                           &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) {
    ::EndDialog(hwnd_, result);
}

bool Dialog::OnCommand(int, int, HWND) {
    return false;
}

bool Dialog::OnEraseBackground(HDC) {
    return false;
}

HBRUSH Dialog::OnControlColour(HDC, HWND) {
    return nullptr;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lparam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) find no dialog object yet.
    return self ? self->Dispatch(message, wparam, lparam) : FALSE;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam))
                       ? TRUE
                       : FALSE;
        case WM_ERASEBKGND:
            if (OnEraseBackground(reinterpret_cast<HDC>(wparam))) {
                SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR: {
            HWND control = reinterpret_cast<HWND>(lparam);
            // The brush is the procedure's own result for these messages.
            return reinterpret_cast<INT_PTR>(OnControlColour(reinterpret_cast<HDC>(wparam),
                                                             control == hwnd_ ? nullptr : control));
        }
        default: {
            LRESULT result = 0;
            if (OnMessage(message, wparam, lparam, result)) {
                SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
    }
}

DialogMetrics MetricsOf(HWND dialog) {
    // The dialog manager's own conversion of 4 by 8 dialog units gives the base units.
    RECT base = {0, 0, 4, 8};
    MapDialogRect(dialog, &base);
    DialogMetrics metrics;
    metrics.base_x = base.right;
    metrics.base_y = base.bottom;
    if (HDC dc = GetDC(dialog)) {
        metrics.dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(dialog, dc);
    }
    return metrics;
}

RECT PlaceRect(HWND dialog, const Place& place) {
    const PixelRect at = ToPixels(place, MetricsOf(dialog));
    return RECT{at.x, at.y, at.x + at.width, at.y + at.height};
}

void MoveToPlace(HWND dialog, HWND control, const Place& place) {
    const RECT rect = PlaceRect(dialog, place);
    MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

std::u16string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    return std::u16string(text.begin(), text.begin() + (copied > 0 ? copied : 0));
}

void SetText(HWND window, std::u16string_view text) {
    const std::wstring wide(text.begin(), text.end());
    SetWindowTextW(window, wide.c_str());
}

}  // namespace tessel::ui::win32
