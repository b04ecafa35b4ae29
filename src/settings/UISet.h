#pragma once
// "考试界面设置": font, size, colours and line spacing of the question pages,
// with a preview rebuilt at every change. The display settings are edited in
// place; OK stores five of them and rewrites css/Main.css.
#include "platform/Controls.h"
#include "platform/Dialog.h"

#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <string>
#include <vector>

class WebBrowser;

class TFrmUISet : public TDialog {
    Q_OBJECT
public:
    explicit TFrmUISet(QWidget* parent = nullptr);

    void FormCreate();
    void FormResize();
    void ComboBox1Change();
    void SpinEdit2Change();
    void SpinEdit1Change();
    void Panel2Click();
    void Panel3Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void ReCreateUI();
    void CreateUI();

    WebBrowser* WebBrowser1 = nullptr;
    QWidget* Panel1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QComboBox* ComboBox1;
    TColorPanel* Panel2;
    TColorPanel* Panel3;
    TSpinEdit* SpinEdit2;
    TSpinEdit* SpinEdit1;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // Runs one step of the set-up; a failure is reported and the other steps still run.
    template <class Step> void setUpStep(Step step);
    void fillFonts();
    // Makes `name` the current entry, adding it marked when it is not installed.
    void selectFont(const std::string& name);
    // The colour dialog for one swatch and its setting.
    void pickColor(TColorPanel* swatch, std::string& setting);
    QColor lastPicked_ = Qt::black;
};

// The body of the preview page, after its head and style block.
std::vector<std::string> PreviewBodyLines();

// Opens the dialog over `over`; after OK reloads the question page in
// `mainBrowser` when a paper is loaded. Returns the dialog's result.
int ExecuteUISet(WebBrowser* mainBrowser, QWidget* over);
