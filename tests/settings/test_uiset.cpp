// The appearance dialog on a real bank: how it reads the stored settings, what
// each control changes, what OK stores, and the preview it shows.
#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/CommonDialogs.h"
#include "platform/Files.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "render/StyleSheet.h"
#include "settings/UISet.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
std::string setting(const std::string& key, const std::string& value) {
    return "UPDATE 系统参数 SET 参数值='" + value + "' WHERE 参数名='" + key + "';";
}

// A bank with the default settings changed by `changes`, loaded into the globals.
struct SettingsBank {
    explicit SettingsBank(const std::string& changes = {}) : bank(DefaultSettingsSql() + changes) {
        LoadDisplaySettings();
        PaperLoaded = false;
    }
    std::string stored(const std::string& key) {
        return DataModule1->ADOQuery2.OpenWith({"SELECT 参数值 FROM 系统参数 WHERE 参数名='" + key + "'"})
            .FieldByName("参数值")
            .AsString();
    }
    OpenBank bank;
    MessageBoxRecorder boxes;
};

QVariant previewEval(TFrmUISet& dlg, const char* js) {
    EXPECT_TRUE(dlg.WebBrowser1->WaitForLoad());
    return dlg.WebBrowser1->Evaluate(QString::fromUtf8(js));
}
} // namespace

TEST(AppearanceDialog, OpeningReadsTheStoredSettingsIntoTheBoxes) {
    {
        SettingsBank s(setting("字号", "14pt") + setting("行间距", "100") + setting("字体", "不存在的字体"));
        TFrmUISet dlg;
        EXPECT_EQ(dlg.SpinEdit2->value(), 14);
        EXPECT_EQ(FontSize, "14px"); // rewritten in memory only
        EXPECT_EQ(s.stored("字号"), "14pt");
        EXPECT_EQ(dlg.SpinEdit1->value(), 120);
        EXPECT_EQ(LineSpacing, "100"); // the box clamped, the setting did not change
        EXPECT_EQ(dlg.ComboBox1->currentText(), "不存在的字体（未安装）");
        EXPECT_EQ(FontName, "不存在的字体");
        EXPECT_TRUE(s.boxes.shown.empty());
    }
    {
        SettingsBank s(setting("行间距", "450") + setting("字号", "9px") + setting("颜色", "#123456"));
        TFrmUISet dlg;
        EXPECT_EQ(dlg.SpinEdit1->value(), 400);
        EXPECT_EQ(LineSpacing, "400");
        EXPECT_EQ(dlg.SpinEdit2->value(), 10);
        EXPECT_EQ(FontSize, "9px");
        EXPECT_EQ(dlg.Panel2->Color(), QColor(0x12, 0x34, 0x56));
        EXPECT_EQ(dlg.Panel3->Color(), QColor(0xEF, 0xF8, 0xFF));
    }
}

TEST(AppearanceDialog, ASettingThatIsNoNumberIsReportedAndTheRestStillShows) {
    SettingsBank s(setting("行间距", "宽") + setting("字号", "16px") + setting("背景色", "#FFFF00"));
    TFrmUISet dlg;
    ASSERT_EQ(s.boxes.shown.size(), 1u);
    EXPECT_TRUE(s.boxes.shown[0].text.contains("宽"));
    EXPECT_EQ(s.boxes.shown[0].flags, MB_ICONERROR);
    EXPECT_EQ(dlg.SpinEdit2->value(), 16);
    EXPECT_EQ(dlg.Panel3->Color(), QColor(Qt::yellow));
    EXPECT_EQ(LineSpacing, "宽");
}

TEST(AppearanceDialog, TheSizeBoxSetsThePageAndToolBarSizes) {
    SettingsBank s;
    TFrmUISet dlg;
    const std::pair<int, const char*> cases[] = {{12, "10px"}, {48, "44px"}, {20, "16px"}};
    for (const auto& [size, toolbar] : cases) {
        dlg.SpinEdit2->setValue(size);
        EXPECT_EQ(FontSize, std::to_string(size) + "px");
        EXPECT_EQ(ToolbarFontSize, toolbar) << size;
    }
}

TEST(AppearanceDialog, AFontTheDesktopLacksStaysShownAndTypedNumbersComeInOnLeavingTheBox) {
    SettingsBank s; // 宋体, which no Linux desktop has
    TFrmUISet dlg;
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    ASSERT_EQ(dlg.ComboBox1->currentText(), "宋体（未安装）");
    EXPECT_TRUE(
        QFontDatabase::writingSystems(dlg.ComboBox1->itemText(1)).contains(QFontDatabase::SimplifiedChinese))
        << "fonts that write Chinese come first";
    auto type = [&](QSpinBox* box, const char* text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(text));
        QTest::keyClick(box, Qt::Key_Tab);
    };
    type(dlg.SpinEdit1, "450");
    EXPECT_EQ(dlg.SpinEdit1->value(), 400);
    type(dlg.SpinEdit2, "50");
    EXPECT_EQ(dlg.SpinEdit2->value(), 48);
    EXPECT_EQ(FontSize, "48px");
    EXPECT_EQ(FontName, "宋体") << "changing other settings keeps the stored font";
    EXPECT_EQ(dlg.ComboBox1->currentText(), "宋体（未安装）");
    // Picking an installed font by keyboard, then the defaults, brings the marked entry back.
    dlg.ComboBox1->setFocus();
    QTest::keyClick(dlg.ComboBox1, Qt::Key_Down);
    EXPECT_EQ(FontName, dlg.ComboBox1->itemText(1).toStdString());
    QTest::mouseClick(dlg.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(FontName, "宋体");
    EXPECT_EQ(dlg.ComboBox1->currentText(), "宋体（未安装）");
    EXPECT_EQ(dlg.ComboBox1->findText("宋体（未安装）"), 0) << "one marked entry";
}

TEST(AppearanceDialog, OkStoresTheFiveSettingsAndRewritesTheStyleSheet) {
    SettingsBank s;
    WriteFileBytes(AppFolder() + "css/Main.css", "old sheet");
    SetColorDialogHandler([](const QColor& initial) {
        EXPECT_EQ(initial, QColor(Qt::black)); // the first pick starts at black
        return std::optional<QColor>(QColor(0x20, 0x40, 0x60));
    });
    TFrmUISet dlg;
    dlg.Panel2->Click(dlg.Panel2);
    SetColorDialogHandler([](const QColor& initial) {
        EXPECT_EQ(initial, QColor(0x20, 0x40, 0x60)); // then at the last one chosen
        return std::nullopt;
    });
    dlg.Panel3->Click(dlg.Panel3); // cancelled: nothing changes
    SetColorDialogHandler({});
    dlg.SpinEdit2->setValue(18);
    dlg.SpinEdit1->setValue(200);
    FontName = "Bob's Serif"; // a quote in a font name must not break the statement
    dlg.BitBtn2->click();
    EXPECT_EQ(dlg.ModalResult, mrOk);
    EXPECT_TRUE(s.boxes.shown.empty());

    EXPECT_EQ(s.stored("字体"), "Bob's Serif");
    EXPECT_EQ(s.stored("字号"), "18px");
    EXPECT_EQ(s.stored("颜色"), "#204060");
    EXPECT_EQ(s.stored("背景色"), "#EFF8FF");
    EXPECT_EQ(s.stored("行间距"), "200");
    EXPECT_EQ(s.stored("工具栏字号"), "12px"); // derived, never stored

    const std::string css = ReadFileBytes(AppFolder() + "css/Main.css");
    std::string expected;
    for (const std::string& line : MainCssLines())
        expected += Utf8ToGbk(line) + "\r\n";
    EXPECT_EQ(css, expected);
    EXPECT_EQ(css.substr(0, css.find("\r\n")),
              "BODY{FONT-SIZE:18px;COLOR:#204060;background-color:#EFF8FF;LINE-HEIGHT:200%; "
              "font-family:Bob's Serif,serif;margin:10px;  WORD-BREAK:break-all;}");
    EXPECT_NE(css.find(".TestToolBar{font-family:\"Bob's Serif\";font-size:18px;font-size:14px;"),
              std::string::npos);
}

TEST(AppearanceDialog, RestoreDefaultsThenCancelStoresNothingButKeepsTheEdits) {
    SettingsBank s(setting("字号", "20px") + setting("颜色", "#FF0000") + setting("行间距", "300"));
    {
        TFrmUISet dlg;
        dlg.BitBtn1->click();
        EXPECT_EQ(FontName + FontSize + ToolbarFontSize + TextColor + BackColor + LineSpacing,
                  "宋体14px10px#000000#EFF8FF140");
        EXPECT_EQ(dlg.SpinEdit2->value() * 1000 + dlg.SpinEdit1->value(), 14140);
        EXPECT_EQ(dlg.Panel2->Color(), QColor(Qt::black));
        dlg.BitBtn3->click();
        EXPECT_EQ(dlg.ModalResult, mrCancel);
    }
    EXPECT_EQ(s.stored("字号"), "20px");
    EXPECT_EQ(FontSize, "14px");
}

TEST(AppearanceDialog, ThePreviewShowsTheEditedLookInOneBrowser) {
    SettingsBank s(setting("背景色", "#102030"));
    TFrmUISet dlg;
    dlg.resize(915, 553);
    EXPECT_EQ(previewEval(dlg, "document.title").toString(), "界面设置");
    EXPECT_EQ(previewEval(dlg, "getComputedStyle(document.body).backgroundColor").toString(),
              "rgb(16, 32, 48)");
    EXPECT_EQ(previewEval(dlg, "document.querySelectorAll('input[type=radio]').length").toInt(), 25);
    EXPECT_EQ(previewEval(dlg, "Array.from(document.querySelectorAll('.TestMainTitle'), t => "
                               "t.textContent.split('．')[0]).join()")
                  .toString(),
              "1,2,3,4,5");

    dlg.SpinEdit2->setValue(22);
    dlg.SpinEdit1->setValue(200);
    EXPECT_EQ(previewEval(dlg, "getComputedStyle(document.body).fontSize").toString(), "22px");
    EXPECT_EQ(
        previewEval(dlg, "getComputedStyle(document.querySelector('.TestContent')).lineHeight").toString(),
        "44px");
    EXPECT_EQ(previewEval(dlg, "getComputedStyle(document.getElementById('ToolBar1')).fontSize").toString(),
              "18px");
    EXPECT_EQ(dlg.findChildren<WebBrowser*>().size(), 1);
    dlg.show();
    dlg.resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(dlg.WebBrowser1->geometry(), QRect(0, 0, 1000, 552)); // all above the bottom panel
}

TEST(AppearanceDialog, WithoutAPaperTheOpenerDoesNotReloadTheMainBrowser) {
    SettingsBank s;
    WebBrowser main;
    main.Navigate(QStringLiteral("about:blank"));
    QTimer::singleShot(50, [] {
        if (auto* dlg = qobject_cast<TFrmUISet*>(QApplication::activeModalWidget())) dlg->BitBtn2->click();
    });
    EXPECT_EQ(ExecuteUISet(&main, nullptr), mrOk);
    EXPECT_EQ(main.LocationURL(), "about:blank");
    EXPECT_TRUE(FileExists(AppFolder() + "css/Main.css")); // stored all the same
}
