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
} // namespace

void TFrmMain::ActKSWZExecute() {
    openInDefaultBrowser("考试网站");
}

void TFrmMain::ActTLQExecute() {
    openInDefaultBrowser("讨论区");
}

void TFrmMain::ActZWCXExecute() {
    openInDefaultBrowser("职位查询");
}

void TFrmMain::ActBKZQExecute() {
    SetMenu(false);
    WebBrowser4->Navigate(AppFolder() + "css/gg2bk.html");
    // An empty address leaves the local banner, as being offline does.
    if (InternetCheckConnection(PortalIndexUrl()) && !AdSlot2Url.empty())
        showStoredAddress(WebBrowser4, AdSlot2Url, "gg2bk.html");
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
    // Navigating to nothing would leave the browser loading for ever; a text
    // that is no web address is refused by the browser and leaves it as it is.
    if (!address.empty()) WebBrowser1->Navigate(address);
}

void TFrmMain::ActFHZYExecute() {
    SetMenu(true);
    NavImages[15]->SetPicture(ImageList1.GetBitmap(15));
    if (InternetCheckConnection(PortalIndexUrl()) && !AdSlot1Url.empty())
        showStoredAddress(WebBrowser4, AdSlot1Url, "gg1bk.html");
    else
        WebBrowser4->Navigate(AppFolder() + "css/gg1bk.html");
    // The zone slot kept its selected picture while hidden: it is the selected slot again.
    CurrentNavSlot = 11;
}
