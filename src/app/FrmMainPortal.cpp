// TFrmMain: the application zone and the portal addresses (slots 9 to 15).
#include "app/FrmMain.h"

#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/Online.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

namespace {
// Read afresh on every use, so an address changed in the bank counts at once.
// A missing row reads as the empty text.
std::string portalAddress(std::string_view name) {
    return DataModule1->ADOQuery2.OpenWith({"SELECT 参数值 FROM 系统参数 WHERE 参数名=" + QuotedStr(name)})
        .FieldByName("参数值")
        .AsString();
}

void openInDefaultBrowser(std::string_view name) {
    const std::string address = portalAddress(name);
    // An empty address would only start the desktop's browser on nothing.
    if (!address.empty()) ShellOpen(QString::fromStdString(address));
}
}  // namespace

void TFrmMain::ActKSWZExecute() { openInDefaultBrowser("考试网站"); }

void TFrmMain::ActTLQExecute() { openInDefaultBrowser("讨论区"); }

void TFrmMain::ActZWCXExecute() { openInDefaultBrowser("职位查询"); }

void TFrmMain::ActBKZQExecute() {
    SetMenu(false);
    WebBrowser4->Navigate(AppFolder() + "css/gg2bk.html");
    // An empty address leaves the local banner, as being offline does.
    if (InternetCheckConnection(PortalIndexUrl()) && !AdSlot2Url.empty()) WebBrowser4->Navigate(AdSlot2Url);
    ActBMBZExecute();
    CurrentNavSlot = 12;
}

void TFrmMain::ActBMBZExecute() {
    Panel6->setVisible(true);
    WebBrowser1->Navigate(AppFolder() + "css/BaoKao/baokao.html");
}

void TFrmMain::ActZKXXExecute() {
    Panel6->setVisible(false);
    const std::string address = portalAddress("招考信息");
    // Navigating to nothing would leave the browser loading for ever.
    if (!address.empty()) WebBrowser1->Navigate(address);
}

void TFrmMain::ActFHZYExecute() {
    SetMenu(true);
    NavImages[15]->SetPicture(ImageList1.GetBitmap(15));
    if (InternetCheckConnection(PortalIndexUrl()) && !AdSlot1Url.empty()) WebBrowser4->Navigate(AdSlot1Url);
    else WebBrowser4->Navigate(AppFolder() + "css/gg1bk.html");
    // The zone slot kept its selected picture while hidden: it is the selected slot again.
    CurrentNavSlot = 11;
}
