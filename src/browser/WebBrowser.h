#pragma once
#include <QString>
#include <QWebEngineView>

// The embedded browser control. Navigate takes a local file path (absolute),
// a web address or "about:blank" and returns at once; the page loads after.
class WebBrowser : public QWebEngineView {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);

    void Navigate(const QString& address);
    void Navigate(const std::string& address) { Navigate(QString::fromStdString(address)); }
    // The address of the last navigation, as given.
    const QString& LocationURL() const { return location_; }

private:
    QString location_;
};
