#include "ui/win32/tessel_dlg.h"

#include "ui/win32/colour.h"
#include "ui/win32/resource.h"

namespace tessel::ui::win32 {

static_assert(IDR_MAINFRAME == kIconApplication);
static_assert(IDB_WARNING == kBitmapWarning);
static_assert(IDB_SUCCESS == kBitmapSuccess);

namespace {

HICON LoadAppIcon(int size_metric) {
    const int size = GetSystemMetrics(size_metric);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void ShowButton(HWND dialog, HWND button, const ButtonView& view) {
    SetText(button, view.label);
    MoveToPlace(dialog, button, view.place);
    EnableWindow(button, view.enabled ? TRUE : FALSE);
    ShowWindow(button, view.visible ? SW_SHOW : SW_HIDE);
}

}  // namespace

CTesselDlg::CTesselDlg(MainDisplayModel& model)
    : Dialog(IDD_TESSEL_DIALOG),
      model_(model),
      background_brush_(CreateSolidBrush(ColourRef(kBackgroundRgb))) {}

CTesselDlg::~CTesselDlg() {
    DeleteObject(background_brush_);
    if (icon_) {
        DestroyIcon(icon_);
    }
    if (small_icon_) {
        DestroyIcon(small_icon_);
    }
}

std::u16string CTesselDlg::SystemCloseText() const {
    HMENU menu = GetSystemMenu(hwnd(), FALSE);
    if (menu == nullptr) {
        return {};
    }
    wchar_t text[256] = {};
    const int length = GetMenuStringW(menu, SC_CLOSE, text, 256, MF_BYCOMMAND);
    return std::u16string(text, text + (length > 0 ? length : 0));
}

bool CTesselDlg::OnInitDialog() {
    icon_ = LoadAppIcon(SM_CXICON);
    small_icon_ = LoadAppIcon(SM_CXSMICON);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));

    model_.Initialise(GetUserDefaultUILanguage(), SystemCloseText());
    const MainDisplayView view = model_.Snapshot();
    if (view.rtl_reading) {
        SetWindowLongW(hwnd(), GWL_EXSTYLE, WS_EX_RTLREADING);
    }
    Show(view);
    return true;
}

void CTesselDlg::Show(const MainDisplayView& view) {
    SetText(hwnd(), view.title);
    ShowButton(hwnd(), Item(IDC_BUTTON_START), view.start_button);
    ShowButton(hwnd(), Item(IDCANCEL), view.exit_button);
}

bool CTesselDlg::OnCommand(int id, int, HWND) {
    switch (id) {
        case IDCANCEL:  // the exit button, Escape, the Close item, Alt+F4
            if (model_.RequestQuit()) {
                EndDialog(IDCANCEL);
            }
            return true;
        case IDOK:  // Enter
            return true;
        default:
            return false;
    }
}

bool CTesselDlg::OnEraseBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, background_brush_);
    return true;
}

HBRUSH CTesselDlg::OnControlColour(HDC, HWND) {
    return background_brush_;
}

bool CTesselDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_PAINT:
            if (!IsIconic(hwnd())) {
                return false;
            }
            PaintMinimised();
            result = 0;
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(icon_);
            return true;
        default:
            return false;
    }
}

void CTesselDlg::PaintMinimised() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd(), &paint);
}

}  // namespace tessel::ui::win32
