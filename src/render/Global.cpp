#include "render/Global.h"

#include "store/DataModule.h"

std::string FontName;
std::string FontSize;
std::string ToolbarFontSize;
std::string TextColor;
std::string BackColor;
std::string LineSpacing;
std::string AppTitle;
std::string ResourceInfoUrl;
std::string AdSlot1Url;
std::string AdSlot2Url;
std::string AdSlot3Url;

TObjectList<TXiaoTi> XiaoTiList;
TObjectList<TShiTi> ShiTiList;
TObjectList<TTest> TestList;
bool PaperLoaded = false;

namespace {
std::string readValue(AdoQuery& q, std::initializer_list<std::string> lines) {
    return q.OpenWith(lines).FieldByName("参数值").AsString();
}
} // namespace

void LoadDisplaySettings() {
    AdoQuery& q = DataModule1->ADOQuery2;
    const char* select = "SELECT * FROM 系统参数 WHERE 参数名=";
    FontName = readValue(q, {select, "'字体'"});
    FontSize = readValue(q, {select, "'字号'"});
    ToolbarFontSize = readValue(q, {select, "'工具栏字号'"});
    TextColor = readValue(q, {select, "'颜色'"});
    BackColor = readValue(q, {select, "'背景色'"});
    LineSpacing = readValue(q, {select, "'行间距'"});
    const std::string brand = readValue(q, {select, "'软件品牌'"});
    const std::string region = readValue(q, {select, "'软件区域'"});
    AppTitle = brand + "Quillora(" + region + ")";
    ResourceInfoUrl = readValue(q, {"SELECT 参数值 FROM 系统参数 WHERE 参数名='资源信息'"});
    AdSlot1Url = readValue(q, {"SELECT 参数值 FROM 系统参数 WHERE 参数名='广告位1'"});
    AdSlot2Url = readValue(q, {"SELECT 参数值 FROM 系统参数 WHERE 参数名='广告位2'"});
    AdSlot3Url = readValue(q, {"SELECT 参数值 FROM 系统参数 WHERE 参数名='广告位3'"});
}
