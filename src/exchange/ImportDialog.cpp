#include "exchange/ImportDialog.h"

#include "exchange/BankImport.h"
#include "exchange/ColumnsDialog.h"
#include "exchange/ImportFile.h"
#include "exchange/ImportPreview.h"
#include "exchange/Log.h"
#include "exchange/TypeNotes.h"
#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "platform/BusyCursor.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"
#include "store/SystemParams.h"
#include "store/WriteHold.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("导入试题");
// The rows shown when choosing a sheet's columns.
constexpr int kSampleRows = 8;
// 系统参数 keeps a choice of columns under this and the header's names.
const QString kColumnsKey = QStringLiteral("导入列:");

QStringList bankSources() {
    QStringList names;
    AdoQuery& q = DataModule1->ADOQuery1;
    q.OpenWith({"SELECT 名称 FROM 题目类别 WHERE 父级编号=0"});
    for (; !q.Eof(); q.Next())
        names << QString::fromStdString(q.Fields(0).AsString());
    q.Close();
    return names;
}
} // namespace

bool ImportRunning() {
    return BankWriteHold::Held();
}

TFrmImport::TFrmImport(QWidget* parent) : TDialog(parent) {
    InitForm(kCaption, 760, 560, true);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("文件："), this), 0, 0);
    EdtFile = new QLineEdit(this);
    EdtFile->setReadOnly(true);
    grid->addWidget(EdtFile, 0, 1);
    BtnBrowse = new QPushButton(QStringLiteral("选择文件…"), this);
    BtnBrowse->setAutoDefault(false);
    grid->addWidget(BtnBrowse, 0, 2);
    BtnSample = new QPushButton(QStringLiteral("导入示例题库"), this);
    BtnSample->setAutoDefault(false);
    BtnSample->setToolTip(QStringLiteral("三套行测模拟试卷和两套申论，题库中已有的题目会跳过"));
    grid->addWidget(BtnSample, 0, 3);
    BtnColumns = new QPushButton(QStringLiteral("指定各列…"), this);
    BtnColumns->setAutoDefault(false);
    BtnColumns->setToolTip(QStringLiteral("表格的列名程序不认得时，指定每列是题干、选项、答案还是解析"));
    BtnColumns->hide();
    grid->addWidget(BtnColumns, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("放到："), this), 1, 0);
    CmbPlace = new QComboBox(this);
    CmbPlace->addItem(QStringLiteral("按文件中的分类（来源/科目/专项）"));
    CmbPlace->addItem(QStringLiteral("新建来源："));
    for (const QString& s : bankSources())
        CmbPlace->addItem(QStringLiteral("已有来源：") + s, s);
    grid->addWidget(CmbPlace, 1, 1);
    EdtSource = new QLineEdit(this);
    EdtSource->setEnabled(false);
    grid->addWidget(EdtSource, 1, 2);
    grid->setColumnStretch(1, 1);

    Tabs = new QTabWidget(this);
    MemReport = new QPlainTextEdit(this);
    MemReport->setReadOnly(true);
    MemReport->setPlaceholderText(QStringLiteral("请选择要导入的文件：Excel、WPS 或 CSV 表格，Word、WPS 或 "
                                                 "PDF 试卷，文本，Moodle XML、GIFT、Aiken。"));
    Preview = new TImportPreview(this);
    Tabs->addTab(MemReport, QStringLiteral("检查结果"));
    Tabs->addTab(Preview, QStringLiteral("预览"));
    ChkNewTypes = new QCheckBox(this);
    ChkNewTypes->hide();
    ChkGoodOnly = new QCheckBox(QStringLiteral("只导入没有问题的题目"), this);
    ChkGoodOnly->hide();

    BtnImport = new QPushButton(QStringLiteral("导入"), this);
    BtnImport->setEnabled(false);
    BtnCancel = new QPushButton(QStringLiteral("取消"), this);
    BtnCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnImport);
    buttons->addWidget(BtnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(Tabs, 1);
    layout->addWidget(ChkNewTypes);
    layout->addWidget(ChkGoodOnly);
    layout->addLayout(buttons);

    connect(BtnBrowse, &QPushButton::clicked, this, Guarded([this] { browse(); }));
    connect(BtnSample, &QPushButton::clicked, this, Guarded([this] { openSample(); }));
    connect(BtnColumns, &QPushButton::clicked, this, Guarded([this] { chooseColumns(); }));
    connect(CmbPlace, &QComboBox::currentIndexChanged, this, Guarded([this] {
                EdtSource->setEnabled(CmbPlace->currentIndex() == 1);
                recheck();
            }));
    connect(EdtSource, &QLineEdit::editingFinished, this, Guarded([this] { recheck(); }));
    connect(ChkNewTypes, &QCheckBox::toggled, this, Guarded([this] { recheck(); }));
    connect(ChkGoodOnly, &QCheckBox::toggled, this, Guarded([this] { showReport(); }));
    AttachButton(BtnImport, mrOk, [this] { runImport(); });
    AttachButton(BtnCancel, mrCancel);
}

void TFrmImport::browse() {
    TFileDialog dialog(TFileDialog::Kind::Open);
    dialog.Title = kCaption;
    dialog.Filter = exchange::ImportFileFilter();
    if (dialog.Execute(this)) OpenFile(dialog.FileName);
}

namespace {
QString SampleBankFile() {
    // Beside a build's program, or where an installation ships its files.
    const std::string exe = QCoreApplication::applicationDirPath().toStdString() + "/";
    for (const std::string& folder : {exe, InstalledFolder(exe)}) {
        const QString path = QString::fromStdString(folder) + QStringLiteral("示例题库/示例题库.xlsx");
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}
} // namespace

void TFrmImport::openSample() {
    const QString path = SampleBankFile();
    if (path.isEmpty()) {
        MessageBox(QStringLiteral("找不到示例题库文件（示例题库/示例题库.xlsx），请重新安装程序。"), kCaption,
                   MB_ICONWARNING | MB_OK);
        return;
    }
    CmbPlace->setCurrentIndex(0); // its own sources
    OpenFile(path);
}

void TFrmImport::OpenFile(const QString& path) {
    const BusyCursor busy;
    path_ = path;
    typeNotes_ = exchange::ReadTypeNotesBeside(path);
    EdtFile->setText(path);
    if (EdtSource->text().isEmpty() || CmbPlace->currentIndex() != 1)
        EdtSource->setText(QFileInfo(path).completeBaseName());
    columns_.clear();
    const bool sheet = exchange::IsSheet(exchange::FormatOf(path));
    BtnColumns->setVisible(sheet);
    // The choice made before for a sheet with this header.
    std::vector<QStringList> rows;
    if (sheet) rows = exchange::FirstSheetRows(path, kSampleRows);
    const QString key = kColumnsKey + TFrmColumns::HeaderOf(rows).join(u'|');
    try {
        QString error;
        if (const auto kept = ReadSystemParam(DataModule1->ADOConnection1, key.toStdString()))
            exchange::ParseColumnChoice(QString::fromStdString(*kept), columns_, &error);
    } catch (const std::exception& e) {
        qCWarning(lcExchange) << "reading the remembered columns failed:" << e.what();
    }
    readFile();
    // A sheet whose columns are not understood: the user says what they are.
    if (sheet && plan_.fatal && !rows.empty() && chooseColumns()) return;
    // A file that reads is seen as it will be; one that does not, with why.
    Tabs->setCurrentIndex(Tabs->isTabEnabled(1) ? 1 : 0);
}

void TFrmImport::readFile() {
    const BusyCursor busy;
    parsed_ = exchange::ReadImportFile(path_, {}, columns_);
    ChkNewTypes->setChecked(false);
    ChkGoodOnly->setChecked(false);
    recheck();
}

bool TFrmImport::chooseColumns() {
    const std::vector<QStringList> rows = exchange::FirstSheetRows(path_, kSampleRows);
    if (rows.empty()) return false;
    TFrmColumns dlg(rows, columns_, this);
    if (dlg.ShowModal() != mrOk) return false;
    columns_ = dlg.Choice();
    try {
        WriteSystemParam(DataModule1->ADOConnection1, (kColumnsKey + dlg.HeaderKey()).toStdString(),
                         TFrmColumns::ChoiceText(columns_).toStdString());
    } catch (const std::exception& e) {
        // A read-only bank still imports; only the choice is not kept.
        qCWarning(lcExchange) << "keeping the chosen columns failed:" << e.what();
    }
    readFile();
    Tabs->setCurrentIndex(Tabs->isTabEnabled(1) ? 1 : 0);
    return true;
}

void TFrmImport::recheck() {
    if (path_.isEmpty()) return;
    const BusyCursor busy;
    exchange::ImportOptions options;
    options.fallbackSource = QFileInfo(path_).completeBaseName();
    if (CmbPlace->currentIndex() == 1)
        options.under = EdtSource->text().trimmed().remove(QLatin1Char('/'));
    else if (CmbPlace->currentIndex() > 1)
        options.under = CmbPlace->currentData().toString().remove(QLatin1Char('/'));
    options.newTypes = ChkNewTypes->isChecked();
    options.essayType = QStringLiteral("简答题");
    options.typeNotes = typeNotes_;
    try {
        plan_ = exchange::PlanImport(parsed_, exchange::ReadBankFacts(DataModule1->ADOConnection1), options);
    } catch (const std::exception& e) {
        qCWarning(lcExchange) << "reading the bank for the import failed:" << e.what();
        plan_ = {};
        plan_.fatal = true;
        plan_.problems.push_back(
            {0, {}, QStringLiteral("读取题库失败：") + QString::fromUtf8(e.what()), true});
    }
    showReport();
}

void TFrmImport::showReport() {
    QStringList lines;
    lines << QStringLiteral("格式：%1").arg(exchange::FormatName(exchange::FormatOf(path_)));
    if (!plan_.notedTypes.empty()) {
        QStringList names;
        for (const auto& [type, note] : plan_.notedTypes)
            names << type;
        lines << QStringLiteral("将新建题型：%1（说明和分值随文件附带，可在分数设置中修改）")
                     .arg(names.join(QStringLiteral("、")));
    }
    if (!plan_.fatal) {
        lines << QStringLiteral("可以导入 %1 道题：").arg(plan_.questions.size());
        for (const auto& [section, n] : plan_.sections)
            lines << QStringLiteral("    %1　%2 道").arg(section).arg(n);
    }
    if (plan_.duplicates)
        lines << QStringLiteral("题库中已有（或文件中重复）的 %1 道题将跳过。").arg(plan_.duplicates);
    if (plan_.notGbk)
        lines << QStringLiteral("%1 段文字含有页面无法显示的字符（显示为“?”）：%2")
                     .arg(plan_.notGbk)
                     .arg(plan_.notGbkChars);
    if (!plan_.problems.empty()) {
        lines << QString() << QStringLiteral("发现 %1 个问题：").arg(plan_.problems.size());
        int shown = 0;
        for (const exchange::Problem& p : plan_.problems) {
            if (++shown > 500) {
                lines << QStringLiteral("……（其余 %1 个问题未列出）").arg(plan_.problems.size() - 500);
                break;
            }
            lines << exchange::DescribeProblem(p);
        }
    }
    MemReport->setPlainText(lines.join(QLatin1Char('\n')));
    Preview->Show(plan_, parsed_);
    Tabs->setTabText(0, plan_.problems.empty()
                            ? QStringLiteral("检查结果")
                            : QStringLiteral("检查结果（%1 个问题）").arg(plan_.problems.size()));
    Tabs->setTabText(1, QStringLiteral("预览（%1 道题）").arg(plan_.questions.size()));
    Tabs->setTabEnabled(1, !plan_.fatal && (!plan_.questions.empty() || !plan_.badLines.isEmpty()));

    ChkNewTypes->setVisible(!plan_.newTypes.isEmpty());
    ChkNewTypes->setText(QStringLiteral("新建题型：%1（每题 1 分，可在分数设置中修改）")
                             .arg(plan_.newTypes.join(QStringLiteral("、"))));
    const bool bad = !plan_.badLines.isEmpty();
    ChkGoodOnly->setVisible(bad && !plan_.fatal);
    BtnImport->setEnabled(!plan_.fatal && !plan_.questions.empty() && (!bad || ChkGoodOnly->isChecked()));
}

void TFrmImport::runImport() {
    ModalResult = mrNone; // stays open unless the import lands
    if (ImportRunning()) return;
    QProgressDialog progress(QStringLiteral("正在导入试题……"), QStringLiteral("取消"), 0,
                             static_cast<int>(plan_.questions.size()), this);
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    exchange::ImportResult result;
    try {
        const BankWriteHold hold;
        result = exchange::WritePlan(DataModule1->ADOConnection1, plan_, [&](int done, int) {
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    } catch (const exchange::ImportCancelled&) {
        MessageBox(QStringLiteral("导入已取消，题库没有改变。"), kCaption, MB_ICONINFORMATION | MB_OK);
        return;
    } catch (const std::exception& e) {
        qCWarning(lcExchange) << "the import failed:" << e.what();
        MessageBox(QStringLiteral("导入失败，题库没有改变：") + QString::fromUtf8(e.what()), kCaption,
                   MB_ICONERROR | MB_OK);
        return;
    }
    progress.reset();
    if (result.pictures > 0)
        exchange::WriteMissingPictures(DataModule1->ADOConnection1, QString::fromStdString(AppFolder()));
    ImportedSection = result.firstSection;
    MessageBox(QStringLiteral("成功导入 %1 道题（%2 组材料题），新建 %3 个分类、%4 个题型。")
                   .arg(result.questions)
                   .arg(result.groups)
                   .arg(result.categories)
                   .arg(result.types),
               kCaption, MB_ICONINFORMATION | MB_OK);
    ModalResult = mrOk;
}
