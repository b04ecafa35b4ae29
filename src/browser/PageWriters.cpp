#include "browser/PageWriters.h"

#include "browser/WebBrowser.h"
#include "render/QuestionPage.h"
#include "render/StyleSheet.h"

void WritePageHead(const std::string& title, WebBrowser* browser) {
    browser->Navigate(QStringLiteral("about:blank"));
    WritePageHeadLines(title, browser->Document());
}

void WritePreviewStyle(WebBrowser* browser) {
    WritePreviewStyle(browser->Document());
}
