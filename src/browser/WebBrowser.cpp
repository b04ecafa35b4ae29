#include "browser/WebBrowser.h"

#include <QUrl>

WebBrowser::WebBrowser(QWidget* parent) : QWebEngineView(parent) {}

void WebBrowser::Navigate(const QString& address) {
    location_ = address;
    if (address.startsWith(u'/')) setUrl(QUrl::fromLocalFile(address));
    else setUrl(QUrl(address));
}
