// The message dialog: a notice with an OK button or a question with Yes and No, on a white
// ground with a small warning sign, in the current language. It shows what the portable
// MessageDialogView describes and answers with the button pressed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/message_dialog_model.h"
#include "ui/win32/dialog.h"

namespace tessel::ui::win32 {

class CShowMsgDlg final : public Dialog {
  public:
    explicit CShowMsgDlg(const MessageDialogView& view);
    ~CShowMsgDlg() override;

    // Shows `view` modally on the calling thread, owned by `owner` (null for none), and
    // returns the answer. Escape, Alt+F4 and a dialog that cannot be shown give the view's
    // dismissed answer; the answer is always one the layout offers.
    static std::int32_t Show(const MessageDialogView& view, HWND owner);

    // After DoModal: the answer of the button that closed the dialog, otherwise the view's
    // dismissed answer.
    std::int32_t result() const { return result_; }

    // The control of the button that gives `answer` (IDOK, IDC_BUTTON_YES or IDC_BUTTON_NO); 0 for
    // none.
    static int ButtonControl(std::int32_t answer);

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    bool OnEraseBackground(HDC dc) override;
    HBRUSH OnControlColour(HDC dc, HWND control) override;

  private:
    MessageDialogView view_;
    HBRUSH white_brush_;
    std::int32_t result_;
};

}  // namespace tessel::ui::win32
