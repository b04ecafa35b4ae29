#include "platform/Dialog.h"

#include <QAbstractButton>

TDialog::TDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void TDialog::AttachButton(QAbstractButton* button, int modalResult, std::function<void()> handler) {
    connect(button, &QAbstractButton::clicked, this, [this, modalResult, handler = std::move(handler)] {
        ModalResult = modalResult;
        if (handler) {
            try {
                handler();
            } catch (...) {
                // A failing handler leaves the dialog open; the error is reported by the caller's loop.
                ModalResult = mrNone;
                throw;
            }
        }
        if (ModalResult != mrNone) done(ModalResult);
    });
}

int TDialog::ShowModal() {
    ModalResult = mrNone;
    exec();
    return ModalResult;
}

void TDialog::SetClientSize(int width, int height) { setFixedSize(width, height); }

void TDialog::reject() {
    ModalResult = mrCancel;
    QDialog::reject();
}
