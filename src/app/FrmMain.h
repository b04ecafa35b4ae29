#pragma once
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "render/Records.h"
#include <QPointer>
#include <map>

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class WebBrowser;
class TSplitter;
class TDataModule1;
class TExternalContainer;
class QTreeWidgetItem;
class QFrame;
class QPlainTextEdit;
class QMessageBox;
class QTimer;
class TAnswerSheet;
class TPageWatch;
class TTimedExam;

// The fixed address the online test tries.
QString PortalIndexUrl();

// Width of the navigation strip's panel for a top strip W pixels wide.
int NormalModePanel3Width(int w);
int ZoneModePanel3Width(int w);

// One category row, attached to its tree node.
class TTreeNodeInfo {
public:
    int Id = 0;
    std::string Name;
    int ParentId = 0;
};

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    // Start-up and shutdown.
    // The creation handler. Returns false when the database could not be opened:
    // the message has been shown and the program must end without showing the window.
    bool FormCreate();
    void FormResize();
    void FormCloseQuery(bool& canClose);

    // Category tree and browsing.
    void TreeViewLoadFromDB();
    void CreateTree(QTreeWidgetItem* node);
    void ActShiTiKuExecute();
    void TreeView1Click();
    void ActSCSTKSTExecute();
    // Technique articles: their own tree in TreeView1 (Tag 1), one page per category.
    void TreeViewLoadFromDB_JQ();
    void ActShiTiJiQiaoExecute();
    void ActSCSTJQExecute();
    static TTreeNodeInfo* NodeInfo(const QTreeWidgetItem* node);
    static int NodeLevel(const QTreeWidgetItem* node);
    // The node at a position of the whole tree, counted from 0 in display order.
    QTreeWidgetItem* NodeAt(int absoluteIndex) const;

    // Navigation strip and tool bars.
    void ActClickExecute(TImage* image);
    void ActMouseMoveExecute(TImage* image);
    void ActMouseLeaveExecute(TImage* image);
    void SetMenu(bool show);
    void BitBtn1Click();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton6Click();
    void ToolButton7Click();
    void ToolButton8Click();
    void ToolButton9Click();
    // 练习模式 on or off (remembered in 系统参数); the button after the described ones.
    void ToolButton10Click();
    // Settings dialogs, backup and restore.
    void ActUISetExecute();
    void ActYHSZExecute();
    void ActShuJuBeiFenExecute();
    void ActShuJuHuanYuanExecute();
    // Mock exam, grading and the test history.
    void ActMLKCExecute();
    // The timed exam (slot 16): a paper by type or a whole source, a time limit,
    // the countdown and the answer sheet in the right column.
    void ActJSMKExecute();
    // While a timed exam runs, asks before the page is replaced; on Yes, or
    // when none runs, leaves it (the column gets the side browser back). False
    // when the user chose to stay.
    bool ConfirmLeaveTimedExam();
    // The wrong-question notebook (slot 17): its counts and cards, and a page of the due ones.
    void ActCTFXExecute();
    // The statistics window (slot 18); a page of what it opens.
    void ActXXTJExecute();
    // Whether the command of `slot` replaces or reloads the main page.
    static bool SlotLeavesPage(int slot);
    TTimedExam* TimedExam() const { return timedExam_.get(); }
    // Checks the clock (the timer does it four times a second): the countdown,
    // the five-minute notice, and at zero the grading, once nothing else is
    // in progress.
    void TimedExamTick();
    void ActWGZXExecute();
    // Favourites and the question search.
    void ActSCJSTExecute();
    void ActSTCZExecute();
    // Reads the ticked options of every question of the page in one call:
    // per question its options' checked states, or nothing when the page
    // lacks the question (it is not the page the list was built for).
    std::optional<std::vector<std::vector<bool>>> ReadChoices();

    // The application zone and the portal addresses.
    void ActKSWZExecute();
    void ActTLQExecute();
    void ActBKZQExecute();
    void ActBMBZExecute();
    void ActZWCXExecute();
    void ActZKXXExecute();
    void ActFHZYExecute();

    // The photo tool.
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void SpinEdit1Change();
    void SpinEdit2Change();

    // Slots 0-15 are the described strip; 16 on are our additions, shown in
    // normal mode after slot 11 while the strip has room, with picture lists
    // of their own (ImageList1's index 16 is the strip's background).
    static constexpr int kSlotCount = 19;
    static constexpr int kFirstAddedSlot = 16;
    // The picture of `slot` in one of its three looks, whichever list holds it.
    const QPixmap& SlotBitmap(int slot, int look) const;

    // The command behind each slot; later features fill in theirs. An added
    // slot without a command is not shown.
    std::array<std::function<void()>, kSlotCount> SlotCommands;

    // Layout, named as the rest of the program refers to it.
    QWidget* Panel1;
    QWidget* Panel2;
    QLabel* Image2;
    TPanel* Panel3;
    QLabel* Image3;
    QWidget* Panel4;
    QLabel* Image1;
    WebBrowser* WebBrowser4;
    QWidget* Panel5;
    TPanel* Panel6;
    QLabel* Header1;
    TTreeView* TreeView1;
    TBitBtn* BitBtn1;
    QWidget* Panel9;
    QWidget* Panel12;
    WebBrowser* WebBrowser3;
    QWidget* Panel13;
    QFrame* Panel10;
    QLabel* Image4;
    QFrame* Panel11;
    QLabel* Image5;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    TSpinEdit* SpinEdit1;
    TSpinEdit* SpinEdit2;
    TBitBtn* BitBtn2;
    TBitBtn* BitBtn3;
    TBitBtn* BitBtn4;
    QPlainTextEdit* Memo1;
    TFileDialog OpenPictureDialog1{TFileDialog::Kind::Open};
    TFileDialog SavePictureDialog1{TFileDialog::Kind::Save};
    TSplitter* Splitter1;
    QWidget* Panel7;
    QLabel* Header3;
    QWidget* CoolBar1;
    QWidget* ToolBar1;
    QWidget* ToolBar2;
    QWidget* ToolBar3;
    QWidget* ToolBar4;
    TToolButton* ToolButton1;
    TToolButton* ToolButton2;
    TToolButton* ToolButton3;
    TToolButton* ToolButton4;
    TToolButton* ToolButton5;
    TToolButton* ToolButton6;
    TToolButton* ToolButton7;
    TToolButton* ToolButton8;
    TToolButton* ToolButton9;
    // Our own bar after the described ones; hidden first when the row is narrow.
    QWidget* ToolBar5;
    TToolButton* ToolButton10;
    WebBrowser* WebBrowser1;
    TSplitter* Splitter2;
    QWidget* Panel8;
    QLabel* Header2;
    WebBrowser* WebBrowser2;
    // Shown in the right column instead of WebBrowser2 while a timed exam is on.
    TAnswerSheet* AnswerSheet1;
    // "剩余 01:52:07" after the tool bars in full screen while a timed exam is
    // on; otherwise the right column's header (beside the tool bars) shows it.
    QLabel* CountdownLabel = nullptr;

    TImageList ImageList1{66, 74};
    TImageList ImageList2{66, 74};
    TImageList ImageList3{66, 74};
    TImageList ImageList4{22, 20};
    // The added slots' pictures (normal, hover, selected), indexed from slot 16.
    TImageList ImageList5{66, 74};
    TImageList ImageList6{66, 74};
    TImageList ImageList7{66, 74};
    TImageList ToolBar1Images{45, 23}, ToolBar1HotImages{45, 23};
    TImageList ToolBar2Images{82, 23}, ToolBar2HotImages{82, 23};
    TImageList ToolBar3Images{104, 23}, ToolBar3HotImages{104, 23};
    TImageList ToolBar4Images{82, 23}, ToolBar4HotImages{82, 23};
    TImageList ToolBar5Images{82, 23}, ToolBar5HotImages{82, 23};
    // The strip's picture controls, one per slot; empty until the strip is built.
    std::array<TImage*, kSlotCount> NavImages{};

    TObjectList<TTreeNodeInfo> RootNodeInfos;
    TObjectList<TTreeNodeInfo> ChildNodeInfos;

    int CurrentNavSlot = 0;
    // The application zone is shown (slots 12 to 15); set by SetMenu alone.
    bool ZoneMode = false;
    bool HoverShown = false;
    bool ClickPending = false;
    bool PhotoLoaded = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // Esc's shortcut, live only in full screen: otherwise the key is the page's.
    QAction* leaveFullScreen_ = nullptr;
    void buildLayout();
    void buildToolBars();
    void buildPictures();
    void buildNavStrip();
    // Shows each added slot that has a command and room on the strip (normal mode only).
    void showAddedSlots();
    void buildShortcuts();
    // Import and export: the tree's context menu and Ctrl+I.
    void buildExchange();
    void importQuestions();
    // Reloads the question tree and shows the page of section `id`.
    void showSection(int id);
    // Pictures the bank holds (imported ones) written where the pages find them.
    void writeBankPictures();
    void buildPhotoTool();
    // Gives the adjusted picture a size and, with a photo loaded, the photo stretched into it.
    void setAdjustedSize(QSize size);
    // Loads the question tree and shows the page of its third node, as at start-up.
    void showFirstCategory();
    // Shows a stored portal address in `browser`, or `localPage` (of css/) when
    // the address is not a web address: bank settings are anyone's text.
    void showStoredAddress(WebBrowser* browser, const std::string& address, const char* localPage);
    void reportMissingPictures(const std::string& folder);
    void setPanel3Width(bool normalMode);
    const QIcon& nodeIcon(int level);
    void runPageScript(const QString& script);
    // Builds the page of XiaoTiList under `title` and shows it in the main browser;
    // `practice` when it is a page to practise on (练习模式 judges it).
    void showPaper(const char* title, bool practice = false);
    // Replaces the node records with the rows of `sql` (编号, 名称, 父级编号).
    void loadNodeInfos(const char* sql);
    // Fills TreeView1 from RootNodeInfos and selects its first node.
    void showTree();
    // Says "请先选择试卷！" unless a paper is loaded.
    bool requirePaper(bool loaded);

    // The timed exam.
    void buildTimedExam();
    // The last limit chosen under 系统参数 `key` ("count:minutes"), when it was
    // chosen for `count` questions; `fallback` otherwise.
    static int rememberedMinutes(const char* key, int count, int fallback);
    static void rememberMinutes(const char* key, int count, int minutes);
    void startTimedExam();
    void endTimedExam();
    // While the clock runs, no answer of the paper can be shown.
    void lockAnswers(bool on);
    bool answersLocked() const;
    bool answersLocked_ = false;
    QString unlockedTip_;
    void placeCountdown();
    void timeUp();
    bool busyForTimeUp() const;
    void examAnswered(int id, const QString& letters);
    // Grading read these choices: the running exam stops and keeps them, and
    // the result dialog will store its timing with a saved test.
    void timedExamGraded(const std::vector<std::vector<bool>>& checked);
    void showTimedVerdicts();
    // The wrong-question notebook: each graded question rates its card once per page load.
    void buildReview();
    void feedReviewCards(const std::vector<std::vector<bool>>& checked);
    // A failed card update is told once, after the result dialog.
    void reportReviewFailure();
    std::unordered_set<int> ratedOnPage_;
    // 申论: the writing window of each task, opened from the page's 作答.
    void buildWriting();
    void openWriting(int id);
    std::map<int, QPointer<QWidget>> writingWindows_;
    // A timed 申论 set (计时模考's 整套试卷 on a source of writing tasks): one
    // clock over every task; false when the paper holds none.
    bool startEssaySet();
    void essayTick();
    void handInEssaySet();
    std::vector<int> essayTasks_;
    qint64 essayDeadlineMs_ = 0;
    QTimer* essayTimer_ = nullptr;
    // 练习模式.
    void buildPractice();
    void loadPracticeSetting();
    // Whether ticks on the page shown are judged at once.
    bool practiceActive() const;
    void judgeNow(int id, const std::string& letters);
    // Shows ToolBar5 only while the row has room for it.
    void fitToolBars();
    bool practising_ = false;
    // The page shown is one a candidate practises on (set by the command that built it).
    bool practicePage_ = false;
    std::unordered_set<int> judgedOnPage_;
    bool reviewFailed_ = false;
    bool reviewFailureShown_ = false;
    std::unique_ptr<TTimedExam> timedExam_;
    TPageWatch* pageWatch_ = nullptr;
    QTimer* examTimer_ = nullptr;
    QMessageBox* examNotice_ = nullptr;
    bool examWarned_ = false;
    // Commands in progress (slot, tree and tool-button handlers): time-up waits for them.
    int commandDepth_ = 0;

    std::unique_ptr<TExternalContainer> container_;
    std::unique_ptr<TDataModule1> dataModule_;
    // Children of each category by parent id, in list order: built once per load.
    std::unordered_map<int, std::vector<TTreeNodeInfo*>> childrenOf_;
    // Ids already in the tree while showTree builds it, kept when the records
    // repeat an id (64-bit ids that collide in an int): a record whose id is
    // there already is left out and counted, so no category is visited twice.
    bool hasRepeatedIds() const;
    bool trackIds_ = false;
    std::unordered_set<int> shownIds_;
    int skippedNodes_ = 0;
    std::vector<QIcon> nodeIcons_;
    QImage photo_;    // the source photo as loaded
    QImage adjusted_; // the photo stretched to adjustedSize_; empty without a photo
    QSize adjustedSize_{110, 140};
};
