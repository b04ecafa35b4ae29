#pragma once
#include <QDialog>
#include <functional>

class QAbstractButton;

enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7, mrClose = 8 };

// Base of every dialog. A button attached with a modal result sets that result
// *before* its handler runs; a handler that finds a problem sets ModalResult back
// to mrNone, which keeps the dialog open.
class TDialog : public QDialog {
    Q_OBJECT
public:
    explicit TDialog(QWidget* parent = nullptr);

    int ModalResult = mrNone;

    void AttachButton(QAbstractButton* button, int modalResult, std::function<void()> handler = {});
    // Runs the dialog modally; returns its final ModalResult (mrCancel when closed by the frame).
    int ShowModal();
    // Sets the client size the dialog was designed with.
    void SetClientSize(int width, int height);
    // Caption, the dialogs' font (宋体 at 14 pixels) and client size; a fixed
    // border unless the dialog is sizeable.
    void InitForm(const QString& caption, int width, int height, bool sizeable = false);
    // Closing by the frame or Escape ends with mrCancel.
    void reject() override;
};
