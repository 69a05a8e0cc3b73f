#include "ui/win32/tessel_dlg.h"

#include <commctrl.h>

#include <array>

#include "ui/display_fonts.h"
#include "ui/win32/colour.h"
#include "ui/win32/resource.h"
#include "ui/win32/show_msg_dlg.h"

namespace tessel::ui::win32 {

static_assert(IDR_MAINFRAME == kIconApplication);
static_assert(IDB_WARNING == kBitmapWarning);
static_assert(IDB_SUCCESS == kBitmapSuccess);

namespace {

// Moves the keyboard focus to the instruction text once the activation's own handling is done.
constexpr UINT kFocusMessage = WM_APP + 2;

// The controls the dialog creates, without their visibility and alignment.
constexpr LONG kTipsStyle = WS_CHILD | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
                            ES_READONLY | ES_WANTRETURN;
constexpr LONG kStaticStyle = WS_CHILD;
constexpr LONG kProgressStyle = WS_CHILD | PBS_SMOOTH;
constexpr LONG kAlignmentBits = SS_CENTER | SS_RIGHT;  // the same bits as ES_CENTER, ES_RIGHT

// The control of each text of the view, row for row with kTextControls: its ID, its class and
// its style without the visibility and the alignment.
struct TextControlKind {
    int id;
    const wchar_t* window_class;
    LONG base_style;
};
constexpr std::array<TextControlKind, kTextControls.size()> kTextControlKinds = {{
    {IDC_TIPS_BOX, L"EDIT", kTipsStyle},
    {IDC_INSTRUCTION_TEXT, L"STATIC", kStaticStyle},
    {IDC_STATUS_LINE, L"STATIC", kStaticStyle},
    {IDC_MAIN_MESSAGE, L"STATIC", kStaticStyle},
    {IDC_RESULT_TEXT, L"STATIC", kStaticStyle},
}};

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

HICON LoadAppIcon(int size_metric) {
    const int size = GetSystemMetrics(size_metric);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HBITMAP LoadBitmapResource(int id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

HFONT CreateFontFor(FontKind kind, const std::u16string& face, int dpi) {
    const FontSpec spec = FontFor(kind, face);
    const std::wstring name(spec.face.begin(), spec.face.end());
    return CreateFontW(spec.LogicalHeight(dpi), 0, 0, 0, spec.weight, FALSE, FALSE, FALSE,
                       spec.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       spec.family, name.c_str());
}

void MoveTo(HWND dialog, HWND control, const Place& place) {
    const RECT rect = PlaceRect(dialog, place);
    SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowButton(HWND dialog, HWND button, const ButtonView& view) {
    SetText(button, view.label);
    MoveTo(dialog, button, view.place);
    EnableWindow(button, view.enabled ? TRUE : FALSE);
    ShowWindow(button, view.visible ? SW_SHOW : SW_HIDE);
}

}  // namespace

CTesselDlg::CTesselDlg(platform::Clock& clock, std::optional<std::uint16_t> langid)
    : Dialog(IDD_TESSEL_DIALOG),
      clock_(clock),
      langid_(langid),
      background_brush_(CreateSolidBrush(ColourRef(kBackgroundRgb))) {
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        texts_[i].id = kTextControlKinds[i].id;
        texts_[i].window_class = kTextControlKinds[i].window_class;
        texts_[i].base_style = kTextControlKinds[i].base_style;
    }
}

CTesselDlg::~CTesselDlg() {
    session_.reset();  // normally closed with the window already
    DeleteObject(background_brush_);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(warning_bitmap_),
                           static_cast<HGDIOBJ>(success_bitmap_),
                           static_cast<HGDIOBJ>(normal_font_), static_cast<HGDIOBJ>(bold_font_)}) {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
    for (HICON icon : {icon_, small_icon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
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
    warning_bitmap_ = LoadBitmapResource(IDB_WARNING);
    success_bitmap_ = LoadBitmapResource(IDB_SUCCESS);

    loop_.Attach(hwnd());
    SessionFrontEnd& front_end = *this;
    session_ = std::make_unique<UpgradeSession>(clock_, loop_, front_end);
    // The first render creates the controls.
    session_->Initialise(langid_ ? *langid_ : GetUserDefaultUILanguage(), SystemCloseText());
    FocusInstruction();
    return true;
}

bool CTesselDlg::UseFontFace(const std::u16string& face) {
    if (normal_font_ != nullptr && face == font_face_) {
        return false;
    }
    const int dpi = MetricsOf(hwnd()).dpi;
    HFONT normal = CreateFontFor(FontKind::kNormal, face, dpi);
    HFONT bold = CreateFontFor(FontKind::kBold, face, dpi);
    // The controls get the new fonts before the old ones go.
    std::swap(normal, normal_font_);
    std::swap(bold, bold_font_);
    font_face_ = face;
    if (normal != nullptr) {
        DeleteObject(normal);
    }
    if (bold != nullptr) {
        DeleteObject(bold);
    }
    return true;
}

HFONT CTesselDlg::FontOf(FontKind kind) const {
    return kind == FontKind::kBold ? bold_font_ : normal_font_;
}

void CTesselDlg::Render(const MainDisplayView&, const MainDisplayView& current,
                        const ViewChanges& changes) {
    bool fonts_changed = false;
    if (changes.window) {
        SetText(hwnd(), current.title);
        if (current.rtl_reading) {
            SetWindowLongW(hwnd(), GWL_EXSTYLE, WS_EX_RTLREADING);
        }
        fonts_changed = UseFontFace(current.font_face);
    }
    for (std::size_t i = 0; i < kTextControls.size(); ++i) {
        ShowText(texts_[i], current.*kTextControls[i], changes.texts[i].state || fonts_changed,
                 changes.texts[i].text);
    }
    if (changes.progress) {
        ShowProgress(current.progress);
    }
    if (changes.result_image) {
        ShowResultImage(current.result_image);
    }
    if (changes.start_button) {
        ShowButton(hwnd(), Item(IDC_BUTTON_START), current.start_button);
    }
    if (changes.exit_button) {
        ShowButton(hwnd(), Item(IDCANCEL), current.exit_button);
    }
    if (changes.close_item) {
        ShowCloseItem(current);
    }
    if (changes.printer_list) {
        ShowPrinterList(current.printer_list);
    }
}

void CTesselDlg::ShowText(TextControl& control, const TextControlView& view, bool state,
                          bool text) {
    if (control.hwnd == nullptr) {
        // Created at its place with its style, reading order and font; shown below.
        const RECT at = PlaceRect(hwnd(), view.place);
        control.hwnd = CreateWindowExW(
            view.rtl_reading ? WS_EX_RTLREADING : 0, control.window_class, L"",
            static_cast<DWORD>(control.base_style | AlignmentStyle(view.align)), at.left, at.top,
            at.right - at.left, at.bottom - at.top, hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), GetModuleHandleW(nullptr),
            nullptr);
        state = true;
        text = true;
    }
    HWND window = control.hwnd;
    if (state) {
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        const LONG aligned = (style & ~kAlignmentBits) | AlignmentStyle(view.align);
        if (aligned != style) {
            SetWindowLongW(window, GWL_STYLE, aligned);
        }
        // Only the reading order: the tips box keeps the client edge its border became.
        const LONG ex_style = GetWindowLongW(window, GWL_EXSTYLE);
        SetWindowLongW(window, GWL_EXSTYLE,
                       (ex_style & ~WS_EX_RTLREADING) | (view.rtl_reading ? WS_EX_RTLREADING : 0));
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(view.font)), FALSE);
        MoveTo(hwnd(), window, view.place);
    }
    if (text) {
        SetText(window, view.text);
    }
    if (state) {
        ShowWindow(window, view.visible ? SW_SHOWNA : SW_HIDE);
        InvalidateRect(window, nullptr, TRUE);
    }
}

void CTesselDlg::ShowProgress(const ProgressView& view) {
    if (progress_ == nullptr) {
        const RECT at = PlaceRect(hwnd(), view.place);
        progress_ = CreateWindowExW(view.mirrored ? WS_EX_LAYOUTRTL : 0, PROGRESS_CLASSW, L"",
                                    static_cast<DWORD>(kProgressStyle), at.left, at.top,
                                    at.right - at.left, at.bottom - at.top, hwnd(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)),
                                    GetModuleHandleW(nullptr), nullptr);
    }
    SetWindowLongW(progress_, GWL_EXSTYLE, view.mirrored ? WS_EX_LAYOUTRTL : 0);
    SendMessageW(progress_, PBM_SETRANGE32, static_cast<WPARAM>(view.minimum),
                 static_cast<LPARAM>(view.maximum));
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(view.position), 0);
    MoveTo(hwnd(), progress_, view.place);
    ShowWindow(progress_, view.visible ? SW_SHOWNA : SW_HIDE);
}

void CTesselDlg::ShowResultImage(const ImageView& view) {
    HWND image = Item(IDC_RESULT_IMAGE);
    HBITMAP bitmap = view.image == ResultImage::kSuccess   ? success_bitmap_
                     : view.image == ResultImage::kWarning ? warning_bitmap_
                                                           : nullptr;
    SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    // The static takes the bitmap's size; only its corner comes from the view.
    const RECT at = PlaceRect(hwnd(), view.place);
    SetWindowPos(image, nullptr, at.left, at.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(image, view.visible && bitmap != nullptr ? SW_SHOWNA : SW_HIDE);
}

void CTesselDlg::ShowCloseItem(const MainDisplayView& view) {
    HMENU menu = GetSystemMenu(hwnd(), FALSE);
    if (menu == nullptr) {
        return;
    }
    const bool present = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
    if (view.close_item_present && !present) {
        const std::wstring text(view.close_item_text.begin(), view.close_item_text.end());
        AppendMenuW(menu, MF_STRING, SC_CLOSE, text.c_str());
    } else if (!view.close_item_present && present) {
        DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
    }
}

void CTesselDlg::ShowPrinterList(const PrinterListView& view) {
    HWND list = Item(IDC_PRINTER_LIST);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    // Inserted, not added: the rows keep the view's order (and its selection's row) although
    // the control sorts what is added.
    WPARAM row = 0;
    for (const std::u16string& text : view.rows) {
        const std::wstring wide(text.begin(), text.end());
        SendMessageW(list, CB_INSERTSTRING, row++, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(view.selection), 0);
}

std::optional<std::int32_t> CTesselDlg::AskMessageDialog(const MessageDialogView& dialog) {
    return CShowMsgDlg::Show(dialog, hwnd());
}

HWND CTesselDlg::TextWindow(TextControlView MainDisplayView::* control) const {
    return texts_.at(TextControlIndex(control)).hwnd;
}

void CTesselDlg::FocusInstruction() {
    HWND instruction = TextWindow(&MainDisplayView::instruction);
    if (instruction != nullptr && IsWindowVisible(instruction)) {
        SetFocus(instruction);
    }
}

bool CTesselDlg::OnCommand(int id, int notification, HWND) {
    switch (id) {
        case IDCANCEL:  // the exit button, Escape, the Close item, Alt+F4
            if (session_ != nullptr && session_->RequestQuit()) {
                EndDialog(IDCANCEL);
            }
            return true;
        case IDOK:  // Enter
            return true;
        case IDC_BUTTON_START:
            if (notification == BN_CLICKED && session_ != nullptr) {
                session_->Start();
            }
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

HBRUSH CTesselDlg::OnControlColour(HDC dc, HWND control) {
    if (control != nullptr && control == TextWindow(&MainDisplayView::tips)) {
        return nullptr;  // the system's edit colours
    }
    // The texts' own ground too, or each line would stand on the device context's white.
    SetBkColor(dc, ColourRef(kBackgroundRgb));
    return background_brush_;
}

bool CTesselDlg::OnMessage(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    if (loop_.HandleMessage(message, wparam)) {
        result = 0;
        return true;
    }
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE) {
                PostMessageW(hwnd(), kFocusMessage, 0, 0);
            }
            return false;
        case kFocusMessage:
            FocusInstruction();
            result = 0;
            return true;
        case WM_DESTROY:
            // The session ends with the window: no render reaches a dead one.
            if (session_ != nullptr) {
                session_->Close();
            }
            loop_.Detach();
            return false;
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
