#pragma once
// "导入试题": choose a file and where it goes, see its questions as the page
// will show them and what is wrong with it, then import it whole or only its
// good questions.
#include "exchange/ImportPlan.h"
#include "exchange/Template.h"
#include "platform/Dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TImportPreview;

class TFrmImport : public TDialog {
    Q_OBJECT
public:
    explicit TFrmImport(QWidget* parent = nullptr);

    // Reads and checks `path` as if the user had chosen it.
    void OpenFile(const QString& path);

    // After a successful import: the section to show, 0 when nothing was imported.
    int ImportedSection = 0;

    QLineEdit* EdtFile;
    QPushButton* BtnBrowse;
    QPushButton* BtnSample;  // 导入示例题库: the shipped papers as an import file
    QPushButton* BtnColumns; // 指定各列…: a spreadsheet's columns by the user's word
    QComboBox* CmbPlace;     // 0: the file's own sources; then a new source; then the bank's sources
    QLineEdit* EdtSource;    // the new source's name
    QTabWidget* Tabs;        // the preview and the report
    TImportPreview* Preview;
    QPlainTextEdit* MemReport;
    QCheckBox* ChkNewTypes; // the user's word for the types the bank lacks
    QCheckBox* ChkGoodOnly; // import the good questions and leave the others
    QPushButton* BtnImport;
    QPushButton* BtnCancel;

private:
    void browse();
    // Asks what each column holds; true when the user chose (the file is read again).
    bool chooseColumns();
    // Reads path_ with the columns chosen, and checks it.
    void readFile();
    void openSample();
    void recheck();
    void showReport();
    void runImport();

    QString path_;
    exchange::ParsedFile parsed_;
    exchange::ImportPlan plan_;
    exchange::TypeNotes typeNotes_; // from 题型说明.csv beside the file
    exchange::ColumnChoice columns_;
};

// True while an import writes the bank; commands that write refuse meanwhile.
bool ImportRunning();
