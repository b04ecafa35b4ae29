#include "store/DBCopyForm.h"

#include "platform/MessageBox.h"
#include "store/Log.h"

TFrmDBCopy::TFrmDBCopy(const QString& caption, int width, int height, const QString& explanation,
                       const QString& editCaption, QWidget* parent)
    : TDialog(parent) {
    InitForm(caption, width, height);
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setGeometry(8, 8, width - 16, 170);
    Label1 = new QLabel(explanation, GroupBox1);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(16, 24, width - 48, 130);

    EditLabel = new QLabel(editCaption, this);
    EditLabel->setGeometry(8, 198, 120, 24);
    EditLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setGeometry(132, 198, width - 132 - 60, 24);
    EditLabel->setBuddy(LabeledEdit1);
    BitBtn1 = new QPushButton(QStringLiteral("..."), this);
    BitBtn1->setGeometry(width - 52, 197, 44, 26);

    BitBtn2 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn2->setGeometry(width - 200, height - 48, 88, 30);
    BitBtn2->setDefault(true);
    BitBtn3 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn3->setGeometry(width - 100, height - 48, 88, 30);
    AttachButton(BitBtn3, mrCancel);
    // No title bar buttons but the frame's own close.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

bool TFrmDBCopy::HasDbExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || dot < name.lastIndexOf(u'/')) return false;
    return name.mid(dot) == QStringLiteral(".db");
}

std::string TFrmDBCopy::FileName() const {
    return LabeledEdit1->text().toStdString();
}

void TFrmDBCopy::RejectName() {
    MessageBox(QStringLiteral("目标文件名称不是有效的数据文件名称，请重新选择！"), QStringLiteral("错误"),
               MB_ICONWARNING | MB_OK);
    ModalResult = mrNone;
}

void TFrmDBCopy::RejectCopy(const QString& text, const std::string& why) {
    qCWarning(lcStore).noquote() << windowTitle() << LabeledEdit1->text() << QString::fromStdString(why);
    MessageBox(why.empty() ? text
                           : text + QStringLiteral("（") + QString::fromStdString(why) + QStringLiteral("）"),
               QStringLiteral("错误"), MB_ICONWARNING | MB_OK);
    ModalResult = mrNone;
}
