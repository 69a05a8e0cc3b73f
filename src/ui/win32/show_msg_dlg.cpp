#include "ui/win32/show_msg_dlg.h"

#include "ui/win32/colour.h"
#include "ui/win32/resource.h"

namespace tessel::ui::win32 {

static_assert(IDB_MESSAGE_ICON == kBitmapMessageIcon);

namespace {

// The template's bitmap static: the one child that shows a bitmap.
HWND IconControl(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            return child;
        }
    }
    return nullptr;
}

LONG AlignmentStyle(TextAlign align) {
    switch (align) {
        case TextAlign::kCenter:
            return SS_CENTER;
        case TextAlign::kRight:
            return SS_RIGHT;
        case TextAlign::kLeft:
            break;
    }
    return SS_LEFT;
}

}  // namespace

CShowMsgDlg::CShowMsgDlg(const MessageDialogView& view)
    : Dialog(IDD_SHOW_MSG_DIALOG),
      view_(view),
      white_brush_(CreateSolidBrush(ColourRef(kMessageBackgroundRgb))),
      result_(view.dismissed_answer) {}

CShowMsgDlg::~CShowMsgDlg() {
    DeleteObject(white_brush_);
}

std::int32_t CShowMsgDlg::Show(const MessageDialogView& view, HWND owner) {
    CShowMsgDlg dialog(view);
    dialog.DoModal(owner);
    return SanitizeAnswer(view.layout, dialog.result());
}

int CShowMsgDlg::ButtonControl(std::int32_t answer) {
    switch (answer) {
        case upgrade::kAnswerOk:
            return IDOK;
        case upgrade::kAnswerYes:
            return IDC_BUTTON_YES;
        case upgrade::kAnswerNo:
            return IDC_BUTTON_NO;
        default:
            return 0;
    }
}

bool CShowMsgDlg::OnInitDialog() {
    SetText(hwnd(), view_.caption);
    HWND text = Item(IDC_MESSAGE_TEXT);
    SetText(text, view_.text);
    MoveToPlace(hwnd(), text, view_.text_place);
    if (HWND icon = IconControl(hwnd())) {
        // The bitmap keeps its own size; only its corner comes from the view.
        const RECT at = PlaceRect(hwnd(), view_.icon_place);
        SetWindowPos(icon, nullptr, at.left, at.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const MessageButtonView& button : view_.buttons) {
        HWND control = Item(ButtonControl(button.answer));
        SetText(control, button.label);
        MoveToPlace(hwnd(), control, button.place);
        ShowWindow(control, button.visible ? SW_SHOW : SW_HIDE);
        if (button.visible && button.is_default) {
            SendMessageW(hwnd(), DM_SETDEFID, static_cast<WPARAM>(ButtonControl(button.answer)), 0);
        }
    }
    LONG style = GetWindowLongW(text, GWL_STYLE) & ~static_cast<LONG>(SS_CENTER | SS_RIGHT);
    SetWindowLongW(text, GWL_STYLE, style | AlignmentStyle(view_.text_align));
    if (view_.rtl_reading) {
        SetWindowLongW(hwnd(), GWL_EXSTYLE, WS_EX_RTLREADING);
        SetWindowLongW(text, GWL_EXSTYLE, WS_EX_RTLREADING);
    }
    return true;
}

bool CShowMsgDlg::OnCommand(int id, int notification, HWND) {
    if (notification != BN_CLICKED) {
        return false;
    }
    if (id == IDCANCEL) {  // Escape, Alt+F4
        result_ = view_.dismissed_answer;
        EndDialog(IDCANCEL);
        return true;
    }
    for (const MessageButtonView& button : view_.buttons) {
        if (ButtonControl(button.answer) == id) {
            result_ = button.answer;
            EndDialog(IDOK);
            return true;
        }
    }
    return true;
}

bool CShowMsgDlg::OnEraseBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, white_brush_);
    return true;
}

HBRUSH CShowMsgDlg::OnControlColour(HDC dc, HWND control) {
    if (control != nullptr && control == Item(IDC_MESSAGE_TEXT)) {
        SetBkColor(dc, ColourRef(kMessageBackgroundRgb));
    }
    return white_brush_;
}

}  // namespace tessel::ui::win32
