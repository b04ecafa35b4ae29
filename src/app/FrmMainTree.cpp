// TFrmMain: the category tree and the category pages.
#include "app/FrmMain.h"

#include "app/Log.h"
#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/BusyCursor.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"

#include <algorithm>

namespace {
constexpr int kInfoRole = Qt::UserRole;

QTreeWidgetItem* newNode(TTreeNodeInfo* info) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(info->Name));
    item->setData(0, kInfoRole, QVariant::fromValue(reinterpret_cast<quintptr>(info)));
    return item;
}
} // namespace

TTreeNodeInfo* TFrmMain::NodeInfo(const QTreeWidgetItem* node) {
    return node ? reinterpret_cast<TTreeNodeInfo*>(node->data(0, kInfoRole).value<quintptr>()) : nullptr;
}

int TFrmMain::NodeLevel(const QTreeWidgetItem* node) {
    int level = 0;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent())
        ++level;
    return level;
}

QTreeWidgetItem* TFrmMain::NodeAt(int absoluteIndex) const {
    // Depth first, as the tree lists its nodes whether expanded or not.
    std::vector<QTreeWidgetItem*> stack;
    for (int i = TreeView1->topLevelItemCount() - 1; i >= 0; --i)
        stack.push_back(TreeView1->topLevelItem(i));
    int index = 0;
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        if (index++ == absoluteIndex) return item;
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.push_back(item->child(i));
    }
    return nullptr;
}

void TFrmMain::TreeViewLoadFromDB() {
    loadNodeInfos("SELECT * FROM 题目类别 ");
}

void TFrmMain::loadNodeInfos(const char* sql) {
    const ReadTransaction reads(DataModule1->ADOConnection1);
    TreeView1->clear();
    childrenOf_.clear();
    ChildNodeInfos.Clear();
    RootNodeInfos.Clear();
    AdoQuery& q = DataModule1->ADOQuery1;
    q.Close();
    q.SQL.Clear();
    q.SQL.Add(sql);
    q.Open();
    for (; !q.Eof(); q.Next()) {
        auto info = std::make_unique<TTreeNodeInfo>();
        info->Name = q.FieldByName("名称").AsString();
        info->Id = q.FieldByName("编号").AsInteger();
        info->ParentId = q.FieldByName("父级编号").AsInteger();
        if (info->ParentId != 0)
            childrenOf_[info->ParentId].push_back(ChildNodeInfos.Add(std::move(info)));
        else
            RootNodeInfos.Add(std::move(info));
    }
    q.Close();
}

void TFrmMain::CreateTree(QTreeWidgetItem* node) {
    const int baseLevel = NodeLevel(node);
    if (trackIds_) shownIds_.insert(NodeInfo(node)->Id);

    struct Frame {
        QTreeWidgetItem* node;
        size_t next;
    };
    std::vector<Frame> stack{{node, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        auto it = childrenOf_.find(NodeInfo(top.node)->Id);
        if (it == childrenOf_.end() || top.next >= it->second.size()) {
            stack.pop_back();
            continue;
        }
        TTreeNodeInfo* info = it->second[top.next++];
        if (trackIds_ && !shownIds_.insert(info->Id).second) {
            ++skippedNodes_;
            continue;
        }
        QTreeWidgetItem* child = newNode(info);
        top.node->addChild(child);
        child->setIcon(0, nodeIcon(baseLevel + static_cast<int>(stack.size())));
        stack.push_back({child, 0});
    }
}

const QIcon& TFrmMain::nodeIcon(int level) {
    // Made once and shared by every node: level 2 (the categories that hold
    // questions) has its own selected picture.
    if (nodeIcons_.empty()) {
        for (int l = 0; l <= 3; ++l) {
            const int picture = l == 1 ? 1 : l == 2 ? 2 : 0;
            QIcon icon(ImageList4.GetBitmap(picture));
            if (l == 2) icon.addPixmap(ImageList4.GetBitmap(3), QIcon::Selected);
            nodeIcons_.push_back(icon);
        }
    }
    return nodeIcons_[static_cast<size_t>(std::min(level, 3))];
}

bool TFrmMain::hasRepeatedIds() const {
    std::vector<int> ids;
    ids.reserve(static_cast<size_t>(RootNodeInfos.Count() + ChildNodeInfos.Count()));
    for (const TTreeNodeInfo* info : RootNodeInfos)
        ids.push_back(info->Id);
    for (const TTreeNodeInfo* info : ChildNodeInfos)
        ids.push_back(info->Id);
    std::sort(ids.begin(), ids.end());
    return std::adjacent_find(ids.begin(), ids.end()) != ids.end();
}

void TFrmMain::showTree() {
    // Each record has one parent, so with unique ids none can be reached twice;
    // only repeated ids need the ids of the tree remembered.
    trackIds_ = hasRepeatedIds();
    shownIds_.clear();
    skippedNodes_ = 0;
    QList<QTreeWidgetItem*> roots;
    for (TTreeNodeInfo* info : RootNodeInfos) {
        if (trackIds_ && shownIds_.count(info->Id)) {
            ++skippedNodes_;
            continue;
        }
        // Built off the view, then added in one go: far fewer model updates.
        QTreeWidgetItem* root = newNode(info);
        root->setIcon(0, nodeIcon(0));
        CreateTree(root);
        roots.append(root);
    }
    TreeView1->addTopLevelItems(roots);
    if (!roots.isEmpty()) TreeView1->setCurrentItem(roots.first());
    if (skippedNodes_ > 0)
        qCWarning(lcApp) << "tree: left out" << skippedNodes_ << "records whose id was already shown";
    shownIds_ = {};
}

void TFrmMain::ActShiTiKuExecute() {
    TreeViewLoadFromDB();
    showTree();
    TreeView1->Tag = 0;
}

void TFrmMain::TreeView1Click() {
    ++commandDepth_;
    const struct Done {
        int& depth;
        ~Done() { --depth; }
    } done{commandDepth_};
    switch (TreeView1->Tag) {
    case 0:
        ActSCSTKSTExecute();
        break;
    case 1:
        ActSCSTJQExecute();
        break;
    default:
        break;
    }
}

void TFrmMain::ActSCSTKSTExecute() {
    QTreeWidgetItem* node = TreeView1->currentItem();
    if (!node || NodeLevel(node) != 2 || !ConfirmLeaveTimedExam()) return;
    const BusyCursor busy; // a category of thousands of questions takes a while
    AdoQuery& q = DataModule1->ADOQuery1;
    q.Close();
    q.SQL.Clear();
    q.SQL.Add("SELECT * FROM 小题 ");
    q.SQL.Add("WHERE 所属编号=");
    q.SQL.Add(NodeInfo(node)->Id);
    q.SQL.Add(" ORDER BY 小题号");
    q.Open();
    XiaoTiList.Clear();
    for (; !q.Eof(); q.Next())
        XiaoTiList.Add()->Id = q.FieldByName("小题号").AsInteger();
    ToolButton1->Tag = 0;
    ToolButton1->SetImageIndex(0);
    BuildQuestionPage(node->text(0).toStdString());
    practicePage_ = true;
    WebBrowser1->Navigate(AppFolder() + "css/Question.html");
}
