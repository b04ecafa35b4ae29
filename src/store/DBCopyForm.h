#pragma once
// The layout the backup and restore dialogs share: an explanation, a file name
// with its chooser button, OK and Cancel.
#include "platform/Dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

class TFrmDBCopy : public TDialog {
    Q_OBJECT
public:
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* EditLabel; // the caption on the left of LabeledEdit1
    QLineEdit* LabeledEdit1;
    QPushButton* BitBtn1; // "..."
    QPushButton* BitBtn2; // 确定
    QPushButton* BitBtn3; // 取消

    // True when the name's extension (from its last '.' on, within the last
    // path element) is exactly ".db", letter case included.
    static bool HasDbExtension(const QString& name);

protected:
    TFrmDBCopy(const QString& caption, int width, int height, const QString& explanation,
               const QString& editCaption, QWidget* parent);
    // The name in the edit, as the file functions take it.
    std::string FileName() const;
    // The wrong-extension message; the dialog stays open.
    void RejectName();
    // The copy failed: say why; the dialog stays open for another name.
    void RejectCopy(const QString& text, const std::string& why);
};
