#include "settings/UISet.h"

#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "render/StyleSheet.h"
#include "settings/Log.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

#include <QFontDatabase>
#include <charconv>
#include <stdexcept>

namespace {
constexpr int kPanelHeight = 48;

// A whole number, as the settings hold them; anything else is a conversion error.
int StrToInt(const std::string& text) {
    size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos) at = text.size();
    if (at < text.size() && text[at] == '+') ++at;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data() + at, end, value);
    if (ec != std::errc() || ptr != end) throw std::runtime_error("'" + text + "' 不是有效的整数值");
    return value;
}

QColor toQColor(TColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
TColor toTColor(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QLabel* label(const char* text, int x, QWidget* parent) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setGeometry(x, 12, l->sizeHint().width(), 24);
    return l;
}
} // namespace

TFrmUISet::TFrmUISet(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("考试界面设置"), 915, 553, true);
    setMinimumSize(915, 200);

    Panel1 = new QWidget(this);
    Label1 = label("字体", 8, Panel1);
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setEditable(false);
    ComboBox1->setGeometry(40, 12, 150, 24);
    Label2 = label("字号", 200, Panel1);
    // Typing past a limit is kept while typing and brought in on leaving the box.
    SpinEdit2 = new TSpinEdit(10, 48, 10, Panel1);
    SpinEdit2->setGeometry(232, 12, 52, 24);
    Label3 = label("字体颜色", 294, Panel1);
    Panel2 = new TColorPanel(Panel1);
    Panel2->setGeometry(356, 8, 43, 31);
    Panel2->SetColor(Qt::black);
    Label4 = label("背景色", 409, Panel1);
    Panel3 = new TColorPanel(Panel1);
    Panel3->setGeometry(457, 8, 43, 31);
    Panel3->SetColor(Qt::white);
    Label5 = label("行间距", 510, Panel1);
    SpinEdit1 = new TSpinEdit(120, 400, 120, Panel1);
    SpinEdit1->setGeometry(558, 12, 60, 24);
    BitBtn1 = new QPushButton(QStringLiteral("恢复默认值"), Panel1);
    BitBtn1->setGeometry(630, 9, 100, 30);
    BitBtn2 = new QPushButton(QStringLiteral("确定"), Panel1);
    BitBtn2->setGeometry(738, 9, 80, 30);
    BitBtn2->setDefault(true);
    BitBtn3 = new QPushButton(QStringLiteral("取消"), Panel1);
    BitBtn3->setGeometry(826, 9, 80, 30);

    connect(ComboBox1, &QComboBox::activated, this, Guarded([this] { ComboBox1Change(); }));
    connect(SpinEdit2, &QSpinBox::valueChanged, this, Guarded([this] { SpinEdit2Change(); }));
    connect(SpinEdit1, &QSpinBox::valueChanged, this, Guarded([this] { SpinEdit1Change(); }));
    connect(Panel2, &TColorPanel::Click, this, Guarded([this] { Panel2Click(); }));
    connect(Panel3, &TColorPanel::Click, this, Guarded([this] { Panel3Click(); }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    AttachButton(BitBtn2, mrOk, [this] { BitBtn2Click(); });
    AttachButton(BitBtn3, mrCancel);

    FormResize();
    FormCreate();
}

template <class Step> void TFrmUISet::setUpStep(Step step) {
    try {
        step();
    } catch (...) {
        HandleException();
    }
}

void TFrmUISet::FormCreate() {
    ReCreateUI();
    fillFonts();
    // A setting that is no number is reported, and leaves only its own box
    // unset: the other controls still show the settings they hold.
    setUpStep([this] { SpinEdit1->setValue(StrToInt(LineSpacing)); });
    selectFont(FontName);
    Panel2->SetColor(toQColor(HtmlToColor(TextColor)));
    Panel3->SetColor(toQColor(HtmlToColor(BackColor)));
    setUpStep([this] {
        const size_t p = FontSize.find('p');
        SpinEdit2->setValue(StrToInt(p == std::string::npos ? std::string() : FontSize.substr(0, p)));
    });
}

void TFrmUISet::fillFonts() {
    // Fonts that can write Chinese first: the pages are Chinese.
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    QStringList others;
    for (const QString& family : QFontDatabase::families())
        if (!chinese.contains(family)) others << family;
    ComboBox1->addItems(chinese);
    ComboBox1->addItems(others);
}

void TFrmUISet::selectFont(const std::string& name) {
    const QString family = QString::fromStdString(name);
    // A stored font this desktop lacks is still the setting: it stays the
    // current entry, marked, and is what the style sheet keeps naming.
    const int missing = ComboBox1->findData(family);
    if (missing >= 0) ComboBox1->removeItem(missing);
    int index = ComboBox1->findText(family, Qt::MatchExactly);
    if (index < 0 && !family.isEmpty()) {
        ComboBox1->insertItem(0, family + QStringLiteral("（未安装）"), family);
        index = 0;
    }
    ComboBox1->setCurrentIndex(index);
}

void TFrmUISet::FormResize() {
    Panel1->setGeometry(0, height() - kPanelHeight, width(), kPanelHeight);
    if (WebBrowser1) WebBrowser1->setGeometry(0, 0, width(), height() - kPanelHeight);
}

void TFrmUISet::resizeEvent(QResizeEvent* e) {
    TDialog::resizeEvent(e);
    FormResize();
}

void TFrmUISet::ComboBox1Change() {
    const QVariant stored = ComboBox1->currentData();
    FontName = (stored.isValid() ? stored.toString() : ComboBox1->currentText()).toStdString();
    ReCreateUI();
}

void TFrmUISet::SpinEdit2Change() {
    const int size = SpinEdit2->value();
    FontSize = std::to_string(size) + "px";
    ToolbarFontSize = std::to_string(std::max(size - 4, SpinEdit2->minimum())) + "px";
    ReCreateUI();
}

void TFrmUISet::SpinEdit1Change() {
    try {
        LineSpacing = std::to_string(SpinEdit1->value());
        ReCreateUI();
    } catch (const std::exception& e) {
        qCWarning(lcSettings) << "line spacing not applied:" << e.what();
        MessageBox(QStringLiteral("请输入正确的行间距值!"), QStringLiteral("设置错误"),
                   MB_ICONWARNING | MB_OK);
        SpinEdit1->setValue(140);
    }
}

void TFrmUISet::pickColor(TColorPanel* swatch, std::string& setting) {
    const std::optional<QColor> chosen = ColorDialog(this, lastPicked_);
    if (!chosen) return;
    lastPicked_ = *chosen;
    setting = ColorToHtml(toTColor(*chosen));
    swatch->SetColor(*chosen);
    ReCreateUI();
}

void TFrmUISet::Panel2Click() {
    pickColor(Panel2, TextColor);
}

void TFrmUISet::Panel3Click() {
    pickColor(Panel3, BackColor);
}

void TFrmUISet::BitBtn1Click() {
    FontName = "宋体";
    FontSize = "14px";
    TextColor = "#000000";
    BackColor = "#EFF8FF";
    LineSpacing = "140";
    selectFont(FontName);
    Panel2->SetColor(toQColor(HtmlToColor(TextColor)));
    Panel3->SetColor(toQColor(HtmlToColor(BackColor)));
    SpinEdit2->setValue(14);
    SpinEdit1->setValue(140);
    ReCreateUI();
}

void TFrmUISet::BitBtn2Click() {
    // The dialog closes as confirmed even when storing fails: the error is shown,
    // and the settings stay in force for this run.
    try {
        const std::pair<const std::string*, const char*> rows[] = {{&FontName, "字体"},
                                                                   {&FontSize, "字号"},
                                                                   {&TextColor, "颜色"},
                                                                   {&BackColor, "背景色"},
                                                                   {&LineSpacing, "行间距"}};
        AdoQuery& q = DataModule1->ADOQuery2;
        for (const auto& [value, key] : rows)
            q.ExecWith({"UPDATE 系统参数 SET 参数值=", QuotedStr(*value),
                        std::string(" WHERE 参数名='") + key + "'"});
        WriteMainCss();
    } catch (...) {
        HandleException();
    }
}

void TFrmUISet::ReCreateUI() {
    // One preview at a time: the old control goes before the new one exists.
    delete WebBrowser1;
    WebBrowser1 = new WebBrowser(this);
    WebBrowser1->setGeometry(0, 0, width(), height() - kPanelHeight);
    WebBrowser1->show();
    CreateUI();
}

int ExecuteUISet(WebBrowser* mainBrowser, QWidget* over) {
    TFrmUISet dlg(over);
    const int result = dlg.ShowModal();
    if (result == mrOk && PaperLoaded && mainBrowser)
        mainBrowser->Navigate(AppFolder() + "css/Question.html");
    return result;
}
