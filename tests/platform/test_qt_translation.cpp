// Qt's own dialogs speak Chinese under any locale; ctest runs this under two.
#include "platform/CommonDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(QtTranslation, TheProgramsFileDialogIsChinese) {
    const QString locale = qEnvironmentVariable("LANG");
    QString accept, reject;
    bool native = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        native = !dialog->testOption(QFileDialog::DontUseNativeDialog) &&
                 !QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs);
        auto* box = dialog->findChild<QDialogButtonBox*>();
        if (!box) return dialog->reject();
        accept = box->button(QDialogButtonBox::Open)->text();
        QPushButton* cancel = box->button(QDialogButtonBox::Cancel);
        reject = cancel->text();
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    TFileDialog open(TFileDialog::Kind::Open);
    open.Title = QStringLiteral("打开图片");
    EXPECT_FALSE(open.Execute(nullptr)) << "Cancel did not close the dialog";
    EXPECT_FALSE(native) << "a desktop's native dialog keeps the desktop's language";
    EXPECT_EQ(accept.remove(QStringLiteral("(&O)")).toStdString(), "打开") << locale.toStdString();
    EXPECT_EQ(reject.toStdString(), "取消") << locale.toStdString();
}
