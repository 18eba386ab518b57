#include "app/framework/controls/tree_view.h"

#include "app/framework/class_info.h"

#include <algorithm>
#include <stdexcept>

namespace kalvo {

class TTreeView::TProgramChange {
public:
    explicit TProgramChange(TTreeView& tree) : tree_(tree) { ++tree_.program_changes_; }
    ~TProgramChange() { --tree_.program_changes_; }
    TProgramChange(const TProgramChange&) = delete;
    TProgramChange& operator=(const TProgramChange&) = delete;

private:
    TTreeView& tree_;
};

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    color_ = clWindow;
    width_ = 121;
    height_ = 97;
}

void TTreeView::CreateParams(TCreateParams& params) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    TWinControl::CreateParams(params);
    params.ClassName = WC_TREEVIEWW;
    params.Style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    if (!read_only_)
        params.Style |= TVS_EDITLABELS;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

TTreeView::TNodeData& TTreeView::Data(TTreeNode node) {
    const auto it = nodes_.find(node.Id);
    if (it == nodes_.end())
        throw std::invalid_argument("the tree has no such node");
    return it->second;
}

const TTreeView::TNodeData& TTreeView::Data(TTreeNode node) const {
    return const_cast<TTreeView*>(this)->Data(node);
}

TTreeNode TTreeView::NodeOfItem(HTREEITEM item) const {
    HWND window = WindowHandle();
    if (!window || !item)
        return {};
    TVITEMW query{};
    query.mask = TVIF_HANDLE | TVIF_PARAM;
    query.hItem = item;
    if (!SendMessageW(window, TVM_GETITEMW, 0, LPARAM(&query)))
        return {};
    const TTreeNode node{std::uint32_t(query.lParam)};
    return Exists(node) ? node : TTreeNode{};
}

// The expand button shows while there are children, or children promised and not yet asked
// for.
bool TTreeView::ShowsButton(const TNodeData& data) const {
    return !data.Children.empty() || (data.HasChildren && !data.ChildrenAsked);
}

void TTreeView::InsertItem(TTreeNode node) {
    TNodeData& data = Data(node);
    TVINSERTSTRUCTW insert{};
    insert.hParent = data.Parent ? Data(data.Parent).Item : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(data.Text.c_str());
    insert.item.lParam = LPARAM(node.Id);
    insert.item.cChildren = ShowsButton(data) ? 1 : 0;
    data.Item = reinterpret_cast<HTREEITEM>(
        SendMessageW(WindowHandle(), TVM_INSERTITEMW, 0, LPARAM(&insert)));
}

void TTreeView::InsertItems(TTreeNode parent) {
    for (const TTreeNode child : Children(parent)) {
        InsertItem(child);
        InsertItems(child);
    }
}

void TTreeView::UpdateButton(TTreeNode node) {
    HWND window = WindowHandle();
    if (!window || !node)
        return;
    const TNodeData& data = Data(node);
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = data.Item;
    item.cChildren = ShowsButton(data) ? 1 : 0;
    SendMessageW(window, TVM_SETITEMW, 0, LPARAM(&item));
}

void TTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    closing_ = false;
    TProgramChange change(*this);
    InsertItems({});
    for (auto& [id, data] : nodes_)
        if (data.Expanded)
            SendMessageW(WindowHandle(), TVM_EXPAND, TVE_EXPAND, LPARAM(data.Item));
    if (selected_)
        SendMessageW(WindowHandle(), TVM_SELECTITEM, TVGN_CARET, LPARAM(Data(selected_).Item));
}

TTreeNode TTreeView::AddNode(TTreeNode parent, const std::wstring& text, bool has_children) {
    std::vector<TTreeNode>& siblings = parent ? Data(parent).Children : roots_;
    const TTreeNode node{next_id_++};
    TNodeData& data = nodes_[node.Id];
    data.Text = text;
    data.Parent = parent;
    data.HasChildren = has_children;
    siblings.push_back(node);
    if (WindowHandle()) {
        InsertItem(node);
        UpdateButton(parent);
    }
    return node;
}

void TTreeView::CollectSubtree(TTreeNode node, std::vector<TTreeNode>& out) const {
    out.push_back(node);
    for (const TTreeNode child : Data(node).Children)
        CollectSubtree(child, out);
}

void TTreeView::DeleteNode(TTreeNode node) {
    const TNodeData& data = Data(node);
    const TTreeNode parent = data.Parent;
    if (HWND window = WindowHandle()) {
        TProgramChange change(*this);
        SendMessageW(window, TVM_DELETEITEM, 0, LPARAM(data.Item));
    }
    std::vector<TTreeNode> gone;
    CollectSubtree(node, gone);
    std::vector<TTreeNode>& siblings = parent ? Data(parent).Children : roots_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    for (const TTreeNode each : gone) {
        nodes_.erase(each.Id);
        if (selected_ == each)
            selected_ = {};
    }
    UpdateButton(parent);
}

void TTreeView::Clear() {
    if (HWND window = WindowHandle()) {
        TProgramChange change(*this);
        SendMessageW(window, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
    }
    nodes_.clear();
    roots_.clear();
    selected_ = {};
}

std::wstring TTreeView::NodeText(TTreeNode node) const {
    return Data(node).Text;
}

void TTreeView::SetNodeText(TTreeNode node, const std::wstring& text) {
    TNodeData& data = Data(node);
    data.Text = text;
    if (HWND window = WindowHandle()) {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = data.Item;
        item.pszText = const_cast<wchar_t*>(data.Text.c_str());
        SendMessageW(window, TVM_SETITEMW, 0, LPARAM(&item));
    }
}

TTreeNode TTreeView::NodeParent(TTreeNode node) const {
    return Data(node).Parent;
}

std::vector<TTreeNode> TTreeView::Children(TTreeNode parent) const {
    return parent ? Data(parent).Children : roots_;
}

bool TTreeView::Expanded(TTreeNode node) const {
    const TNodeData& data = Data(node);
    if (HWND window = WindowHandle())
        return (SendMessageW(window, TVM_GETITEMSTATE, WPARAM(data.Item), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    return data.Expanded;
}

// The first expansion asks the program for the children it promised.
void TTreeView::AskChildren(TTreeNode node) {
    TNodeData& data = Data(node);
    if (data.ChildrenAsked)
        return;
    data.ChildrenAsked = true;
    if (OnExpanding)
        OnExpanding(this, node);
    if (Exists(node))
        UpdateButton(node);
}

void TTreeView::Expand(TTreeNode node) {
    AskChildren(node);
    TNodeData& data = Data(node);
    data.Expanded = !data.Children.empty();
    if (HWND window = WindowHandle())
        SendMessageW(window, TVM_EXPAND, TVE_EXPAND, LPARAM(data.Item));
}

void TTreeView::Collapse(TTreeNode node) {
    TNodeData& data = Data(node);
    data.Expanded = false;
    if (HWND window = WindowHandle())
        SendMessageW(window, TVM_EXPAND, TVE_COLLAPSE, LPARAM(data.Item));
}

TTreeNode TTreeView::Selected() const {
    if (HWND window = WindowHandle())
        return NodeOfItem(
            reinterpret_cast<HTREEITEM>(SendMessageW(window, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    return selected_;
}

void TTreeView::SetSelected(TTreeNode node) {
    HTREEITEM item = node ? Data(node).Item : nullptr;
    selected_ = node;
    if (HWND window = WindowHandle()) {
        TProgramChange change(*this);
        SendMessageW(window, TVM_SELECTITEM, TVGN_CARET, LPARAM(item));
    }
}

void TTreeView::SetReadOnly(bool read_only) {
    read_only_ = read_only;
    if (HWND window = WindowHandle()) {
        LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        style = read_only ? (style & ~LONG_PTR(TVS_EDITLABELS)) : (style | TVS_EDITLABELS);
        SetWindowLongPtrW(window, GWL_STYLE, style);
    }
}

bool TTreeView::EditLabel(TTreeNode node) {
    HWND window = WindowHandle();
    if (!window || read_only_)
        return false;
    const TNodeData& data = Data(node);
    ::SetFocus(window);
    return SendMessageW(window, TVM_EDITLABELW, 0, LPARAM(data.Item)) != 0;
}

// Expanded states and the selection live in the window; the object keeps them for the next.
void TTreeView::SaveWindowState() {
    for (auto& [id, data] : nodes_)
        data.Expanded = Expanded(TTreeNode{id});
    selected_ = Selected();
}

void TTreeView::Notify(TMessage& message) {
    const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
    switch (header->code) {
    case TVN_ITEMEXPANDINGW: {
        const auto* info = reinterpret_cast<const NMTREEVIEWW*>(message.LParam);
        if (info->action & TVE_EXPAND)
            if (const TTreeNode node = NodeOfItem(info->itemNew.hItem))
                AskChildren(node);
        message.Result = FALSE; // let it expand
        break;
    }
    case TVN_ITEMEXPANDEDW: {
        const auto* info = reinterpret_cast<const NMTREEVIEWW*>(message.LParam);
        if (const TTreeNode node = NodeOfItem(info->itemNew.hItem))
            Data(node).Expanded = (info->action & TVE_EXPAND) != 0;
        break;
    }
    case TVN_SELCHANGEDW: {
        const auto* info = reinterpret_cast<const NMTREEVIEWW*>(message.LParam);
        selected_ = NodeOfItem(info->itemNew.hItem);
        // Only the user's choices: not the program's, nor the tree's own (it selects a node
        // when it gets the focus without one).
        if (program_changes_ == 0 &&
            (info->action == TVC_BYMOUSE || info->action == TVC_BYKEYBOARD))
            Changed();
        break;
    }
    case TVN_BEGINLABELEDITW: {
        const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(message.LParam);
        bool allow = !read_only_;
        const TTreeNode node = NodeOfItem(info->item.hItem);
        if (allow && node && OnEditing)
            OnEditing(this, node, allow);
        message.Result = allow ? FALSE : TRUE; // TRUE cancels
        break;
    }
    case TVN_ENDLABELEDITW: {
        const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(message.LParam);
        const TTreeNode node = NodeOfItem(info->item.hItem);
        // No text: the user cancelled.
        if (node && info->item.pszText) {
            std::wstring text = info->item.pszText;
            bool accept = true;
            if (OnEdited)
                OnEdited(this, node, text, accept);
            if (accept && Exists(node))
                SetNodeText(node, text);
        }
        // The label is already what it should be; the control must not set the typed text.
        message.Result = FALSE;
        break;
    }
    default:
        break;
    }
}

void TTreeView::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_NOTIFY:
        if (!closing_)
            Notify(message);
        return;
    case WM_DESTROY:
        SaveWindowState();
        closing_ = true;
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

const TClassInfo& TTreeView::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TTreeView>("TTreeView", &TWinControl::StaticClassInfo())
            .Creatable()
            .Boolean("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly)
            .Build();
    return info;
}

} // namespace kalvo
