// TFrmMain: start-up, resizing of the top strip, and shutdown.
#include "app/FrmMain.h"

#include "app/Log.h"
#include "browser/ExternalContainer.h"
#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Online.h"
#include "render/Global.h"
#include "store/DataModule.h"

#include <QFileInfo>

QString PortalIndexUrl() {
    return QStringLiteral(QUILLORA_PORTAL_BASE "/qlr/article/main/qlrIndex.html");
}

// The banner keeps 250 pixels while the strip can still show all twelve slots (12 x 66).
int NormalModePanel3Width(int w) {
    return w - 792 >= 250 ? w - 250 : 792;
}
// In zone mode the banner keeps 400 pixels beside the four zone slots (4 x 66).
int ZoneModePanel3Width(int w) {
    return w - 264 >= 400 ? w - 400 : 264;
}

void TFrmMain::setPanel3Width(bool normalMode) {
    const int w = Panel2->width();
    Panel3->setFixedWidth(normalMode ? NormalModePanel3Width(w) : ZoneModePanel3Width(w));
    showAddedSlots();
}

bool TFrmMain::FormCreate() {
    const std::string folder = AppFolder();

    try {
        // Only the main browser gets the program's site, with window.external.
        container_ = std::make_unique<TExternalContainer>(WebBrowser1);
        PaperLoaded = false;
        PhotoLoaded = false;
        dataModule_ = std::make_unique<TDataModule1>();
        DataModule1 = dataModule_.get();
    } catch (...) {
        // Without its browser host or data module the window could only fail
        // later: report the error and end, as a failed connection does.
        HandleException();
        return false;
    }
    if (!DataModule1->GuardAndConnect(folder)) return false;

    // Errors from here on are reported and skip the remaining steps; the window still opens.
    try {
        LoadDisplaySettings();
        setWindowTitle(QString::fromStdString(AppTitle));
        // Double buffering: Qt widgets always paint through a back buffer.
        setPanel3Width(true);
        Image2->setGeometry(0, 0, Panel2->width(), Panel2->height());
        Image1->setGeometry(0, 0, Panel4->width(), Panel4->height());
        const QPixmap& background = ImageList1.GetBitmap(16);
        Image1->setPixmap(background);
        Image2->setPixmap(background);
        Image3->setPixmap(background);
        WebBrowser4->Navigate(folder + "css/gg1bk.html");
        HoverShown = false;
        ClickPending = false;

        buildNavStrip();
        reportMissingPictures(folder);
        writeBankPictures();
        loadPracticeSetting();
        showFirstCategory();

        if (InternetCheckConnection(PortalIndexUrl())) {
            showStoredAddress(WebBrowser2, ResourceInfoUrl, "gg4bk.html");
            showStoredAddress(WebBrowser3, AdSlot3Url, "gg3bk.html");
            showStoredAddress(WebBrowser4, AdSlot1Url, "gg1bk.html");
            CurrentNavSlot = 0;
        } else {
            WebBrowser2->Navigate(folder + "css/gg4bk.html");
            WebBrowser3->Navigate(folder + "css/gg3bk.html");
        }
    } catch (...) {
        HandleException();
    }
    return true;
}

void TFrmMain::reportMissingPictures(const std::string& folder) {
    // The pages would show every picture as broken, without a word why.
    const QString images = QString::fromStdString(folder) + QStringLiteral("images");
    if (QFileInfo(images).isDir()) return;
    qCWarning(lcApp) << "the pictures folder is missing:" << images;
    MessageBox(QStringLiteral("找不到图片文件夹：\n") + images +
                   QStringLiteral("\n\n试题中的图片将无法显示。"),
               QStringLiteral("提示"), MB_ICONWARNING | MB_OK);
}

void TFrmMain::showStoredAddress(WebBrowser* browser, const std::string& address, const char* localPage) {
    const QString web = QString::fromStdString(address);
    if (IsWebAddress(web)) return browser->Navigate(web);
    if (!address.empty())
        qCWarning(lcApp) << "a stored address is no web address; showing" << localPage
                         << "instead:" << web.left(200);
    browser->Navigate(AppFolder() + "css/" + localPage);
}

void TFrmMain::showFirstCategory() {
    ActShiTiKuExecute();
    // The first root, its first child, that child's first child: a category page.
    if (QTreeWidgetItem* third = NodeAt(2)) {
        TreeView1->setCurrentItem(third);
        TreeView1Click();
    }
}

void TFrmMain::FormResize() {
    if (NavImages[0]) setPanel3Width(!ZoneMode);
    Image2->setGeometry(0, 0, Panel2->width(), Panel2->height());
    Image1->setGeometry(0, 0, Panel4->width(), Panel4->height());
}

void TFrmMain::FormCloseQuery(bool& canClose) {
    if (!ConfirmLeaveTimedExam()) {
        canClose = false;
        return;
    }
    if (MessageBox(QStringLiteral("是否要退出系统？(Y/N)"), QStringLiteral("询问"),
                   MB_YESNO | MB_ICONQUESTION) != IDYES) {
        canClose = false;
        return;
    }
    DeleteInFolder(AppFolder(), "css/Question.html");
    canClose = true;
}
