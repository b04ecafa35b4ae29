#pragma once
#include "app/ImageList.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTreeWidget>
#include <array>
#include <memory>

class WebBrowser;
class TSplitter;
class TDataModule1;

// The fixed address the online test tries.
QString PortalIndexUrl();

// Width of the navigation strip's panel for a top strip W pixels wide.
int NormalModePanel3Width(int w);
int ZoneModePanel3Width(int w);

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    // The creation handler. Returns false when the database could not be opened:
    // the message has been shown and the program must end without showing the window.
    bool FormCreate();
    void FormResize();
    void FormCloseQuery(bool& canClose);

    // Layout, named as the rest of the program refers to it.
    QWidget* Panel1;
    QWidget* Panel2;
    QLabel* Image2;
    QWidget* Panel3;
    QLabel* Image3;
    QWidget* Panel4;
    QLabel* Image1;
    WebBrowser* WebBrowser4;
    QWidget* Panel5;
    QWidget* Panel6;
    QLabel* Header1;
    QTreeWidget* TreeView1;
    QPushButton* BitBtn1;
    QWidget* Panel9;
    WebBrowser* WebBrowser3;
    TSplitter* Splitter1;
    QWidget* Panel7;
    QLabel* Header3;
    QWidget* CoolBar1;
    WebBrowser* WebBrowser1;
    TSplitter* Splitter2;
    QWidget* Panel8;
    QLabel* Header2;
    WebBrowser* WebBrowser2;

    TImageList ImageList1{66, 74};
    TImageList ImageList2{66, 74};
    TImageList ImageList3{66, 74};
    // The strip's picture controls, one per slot; empty until the strip is built.
    std::array<QLabel*, 16> NavImages{};

    int CurrentNavSlot = 0;
    bool HoverShown = false;
    bool ClickPending = false;
    bool PhotoLoaded = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildLayout();
    void buildImageLists();
    void setPanel3Width();
    std::unique_ptr<TDataModule1> dataModule_;
};
