#pragma once
// Program-wide state shared by the features: display settings, the question and
// test records of the page now shown, and the colour helpers.
#include "render/Colors.h"
#include "render/Records.h"

#include <string>

extern std::string FontName;
extern std::string FontSize;
extern std::string ToolbarFontSize;
extern std::string TextColor;
extern std::string BackColor;
extern std::string LineSpacing;
extern std::string AppTitle;
extern std::string ResourceInfoUrl;
extern std::string AdSlot1Url;
extern std::string AdSlot2Url;
extern std::string AdSlot3Url;

extern TObjectList<TXiaoTi> XiaoTiList;
extern TObjectList<TShiTi> ShiTiList;
extern TObjectList<TTest> TestList;
extern bool PaperLoaded;

// Reads the display settings and portal addresses from 系统参数 into the globals
// above (on DataModule1->ADOQuery2). A missing key gives the empty text.
void LoadDisplaySettings();
