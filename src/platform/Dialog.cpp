#include "platform/Dialog.h"

#include "platform/Application.h"

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
                // A failing handler leaves the dialog open and is reported here,
                // never thrown through Qt's signal code.
                ModalResult = mrNone;
                HandleException();
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

void TDialog::SetClientSize(int width, int height) {
    setFixedSize(width, height);
}

void TDialog::InitForm(const QString& caption, int width, int height, bool sizeable) {
    setWindowTitle(caption);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(14);
    setFont(f);
    if (sizeable)
        resize(width, height);
    else
        SetClientSize(width, height);
}

void TDialog::reject() {
    ModalResult = mrCancel;
    QDialog::reject();
}
