#include "render/Global.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
struct Loaded {
    explicit Loaded(const std::string& sql) : inst(sql) {
        EXPECT_TRUE(dm.GuardAndConnect(inst.Folder()));
        DataModule1 = &dm;
        LoadDisplaySettings();
    }
    ~Loaded() { DataModule1 = nullptr; }
    MessageBoxRecorder boxes;
    TestInstall inst;
    TDataModule1 dm;
};
} // namespace

TEST(DisplaySettings, EveryGlobalComesFromItsKey) {
    Loaded l(DefaultSettingsSql());
    EXPECT_EQ(FontName, "宋体");
    EXPECT_EQ(FontSize, "14px");
    EXPECT_EQ(ToolbarFontSize, "12px");
    EXPECT_EQ(TextColor, "#000000");
    EXPECT_EQ(BackColor, "#EFF8FF");
    EXPECT_EQ(LineSpacing, "140");
    EXPECT_EQ(AppTitle, "启思Quillora(全国版)");
    EXPECT_EQ(ResourceInfoUrl, "http://127.0.0.1:8901/qlr/r.html");
    EXPECT_EQ(AdSlot1Url, "http://127.0.0.1:8901/qlr/a1.html");
    EXPECT_EQ(AdSlot2Url, "http://127.0.0.1:8901/qlr/a2.html");
    EXPECT_EQ(AdSlot3Url, "http://127.0.0.1:8901/qlr/a3.html");
}

TEST(DisplaySettings, MissingKeysGiveEmptyTextsAndTheBareTitle) {
    Loaded l("INSERT INTO 系统参数 VALUES('字号','16px');INSERT INTO 系统参数 VALUES('广告位2','x');");
    EXPECT_EQ(FontName, "");
    EXPECT_EQ(FontSize, "16px");
    EXPECT_EQ(TextColor, "");
    EXPECT_EQ(AppTitle, "Quillora()");
    EXPECT_EQ(ResourceInfoUrl, "");
    EXPECT_EQ(AdSlot2Url, "x");
}

TEST(DisplaySettings, ValuesAreTakenAsStoredWithoutParsing) {
    Loaded l("INSERT INTO 系统参数 VALUES('颜色','red');INSERT INTO 系统参数 VALUES('软件品牌','它''s');"
             "INSERT INTO 系统参数 VALUES('软件区域',NULL);");
    EXPECT_EQ(TextColor, "red");
    EXPECT_EQ(AppTitle, "它'sQuillora()");
}

TEST(Records, NewRecordsAreZeroAndListsOwnThem) {
    TShiTi s;
    EXPECT_EQ(s.Id, 0);
    EXPECT_EQ(s.OptionCount, 0);
    EXPECT_TRUE(s.TypeName.empty());
    EXPECT_FALSE(s.Correct);
    TTest t;
    EXPECT_EQ(t.FullScore, 0.0f);
    TObjectList<TXiaoTi> list;
    list.Add()->Id = 5;
    list.Add()->Id = 5; // repeats allowed
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1]->Id, 5);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}
