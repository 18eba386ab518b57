// TTreeView: the system's tree view (a common control) over a tree of nodes kept in the
// object, so that nodes can be added before the window exists and survive a new window.
//
// Children can come lazily: a node added with `has_children` shows an expand button before it
// has any child, and OnExpanding runs the first time it is expanded (by the user or by
// Expand), once, so that the program adds the children then. A node still without children
// afterwards loses its button.
//
// The user may edit a node's label (unless ReadOnly): OnEditing may refuse to start, and
// OnEdited gets the new text, which it may change or refuse.
#pragma once

#include "app/framework/win_control.h"

#include <commctrl.h>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kalvo {

// A node of a tree view: a small handle, valid until the node is deleted. The null node
// (the default) means no node and, as a parent, the top level.
struct TTreeNode {
    std::uint32_t Id = 0;
    explicit operator bool() const { return Id != 0; }
    bool operator==(const TTreeNode&) const = default;
};

class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Adds a node after the parent's other children. The functions below throw
    // std::invalid_argument for a node that does not exist.
    TTreeNode AddNode(TTreeNode parent, const std::wstring& text, bool has_children = false);
    // Deletes the node with all below it.
    void DeleteNode(TTreeNode node);
    void Clear();
    bool Exists(TTreeNode node) const { return nodes_.count(node.Id) != 0; }

    std::wstring NodeText(TTreeNode node) const;
    void SetNodeText(TTreeNode node, const std::wstring& text);
    TTreeNode NodeParent(TTreeNode node) const;
    // The children of a node, or the top-level nodes for the null node.
    std::vector<TTreeNode> Children(TTreeNode parent = {}) const;

    bool Expanded(TTreeNode node) const;
    void Expand(TTreeNode node);
    void Collapse(TTreeNode node);

    // OnChange runs when the user selects a node with the mouse or the keys; selecting from
    // code raises nothing.
    TTreeNode Selected() const;
    void SetSelected(TTreeNode node);

    bool ReadOnly() const { return read_only_; }
    void SetReadOnly(bool read_only);
    // Starts editing a node's label, as a slow second click on it does; false when the tree
    // is read-only, has no window yet, or OnEditing refused.
    bool EditLabel(TTreeNode node);

    std::function<void(TComponent* sender, TTreeNode node)> OnExpanding;
    std::function<void(TComponent* sender, TTreeNode node, bool& allow)> OnEditing;
    // `text` is what the user typed; the handler may change it, or set `accept` to false to
    // keep the old label.
    std::function<void(TComponent* sender, TTreeNode node, std::wstring& text, bool& accept)>
        OnEdited;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    struct TNodeData {
        std::wstring Text;
        TTreeNode Parent;
        std::vector<TTreeNode> Children;
        bool HasChildren = false;   // promised children, before they are asked for
        bool ChildrenAsked = false; // OnExpanding has run
        bool Expanded = false;      // kept for a new window
        HTREEITEM Item = nullptr;   // in the current window
    };
    class TProgramChange;

    TNodeData& Data(TTreeNode node);
    const TNodeData& Data(TTreeNode node) const;
    TTreeNode NodeOfItem(HTREEITEM item) const;
    bool ShowsButton(const TNodeData& data) const;
    void InsertItem(TTreeNode node);
    void InsertItems(TTreeNode parent);
    void UpdateButton(TTreeNode node);
    void AskChildren(TTreeNode node);
    void CollectSubtree(TTreeNode node, std::vector<TTreeNode>& out) const;
    void SaveWindowState();
    void Notify(TMessage& message);

    std::map<std::uint32_t, TNodeData> nodes_;
    std::vector<TTreeNode> roots_;
    std::uint32_t next_id_ = 1;
    TTreeNode selected_;
    bool read_only_ = false;
    int program_changes_ = 0;
    bool closing_ = false; // the window is being destroyed: its notifications mean nothing
};

} // namespace kalvo
