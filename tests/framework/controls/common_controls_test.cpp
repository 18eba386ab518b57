#include "app/framework/class_info.h"
#include "app/framework/controls/bit_btn.h"
#include "app/framework/controls/check_box.h"
#include "app/framework/controls/combo_box.h"
#include "app/framework/controls/group_box.h"
#include "app/framework/controls/image.h"
#include "app/framework/controls/label.h"
#include "app/framework/controls/memo.h"
#include "app/framework/controls/panel.h"
#include "app/framework/controls/progress_bar.h"
#include "app/framework/controls/radio_button.h"
#include "app/framework/controls/speed_button.h"
#include "app/framework/controls/tree_view.h"
#include "app/framework/form.h"
#include "tests/framework/support/framework_fixture.h"

#include <string>
#include <vector>

namespace kalvo {
namespace {

using CommonControlsTest = test::FrameworkTest;

// Every control is made by its class information, answers its class name, publishes its
// properties (its own and those it inherits) and takes focus where a user can use it.
TEST_F(CommonControlsTest, ControlsNameTheirClassesAndPublishTheirProperties) {
    struct Case {
        const TClassInfo& info;
        const char* name;
        std::vector<const char*> properties;
        bool windowed, tab_stop;
    };
    const Case cases[] = {
        {TBitBtn::StaticClassInfo(),
         "TBitBtn",
         {"Glyph", "NumGlyphs", "Default", "Caption"},
         true,
         true},
        {TSpeedButton::StaticClassInfo(),
         "TSpeedButton",
         {"Glyph", "Flat", "OnClick"},
         false,
         false},
        {TCheckBox::StaticClassInfo(),
         "TCheckBox",
         {"Checked", "State", "AllowGrayed"},
         true,
         true},
        {TRadioButton::StaticClassInfo(), "TRadioButton", {"Checked", "TabStop"}, true, true},
        {TGroupBox::StaticClassInfo(), "TGroupBox", {"Caption", "Color"}, true, false},
        {TEdit::StaticClassInfo(),
         "TEdit",
         {"MaxLength", "ReadOnly", "Text", "OnChange"},
         true,
         true},
        {TMemo::StaticClassInfo(),
         "TMemo",
         {"Lines", "ScrollBars", "WordWrap", "MaxLength"},
         true,
         true},
        {TComboBox::StaticClassInfo(), "TComboBox", {"Style", "Items", "ItemIndex"}, true, true},
        {TProgressBar::StaticClassInfo(), "TProgressBar", {"Min", "Max", "Position"}, true, false},
        {TTreeView::StaticClassInfo(), "TTreeView", {"ReadOnly", "OnChange"}, true, true},
        {TPanel::StaticClassInfo(),
         "TPanel",
         {"BevelOuter", "BevelInner", "BevelWidth"},
         true,
         false},
        {TLabel::StaticClassInfo(),
         "TLabel",
         {"AutoSize", "WordWrap", "Alignment", "Transparent"},
         false,
         false},
        {TImage::StaticClassInfo(), "TImage", {"Picture", "Stretch", "Center"}, false, false},
    };
    TForm form(nullptr);
    for (const Case& c : cases) {
        ASSERT_TRUE(c.info.Create) << c.name;
        auto* control = dynamic_cast<TControl*>(c.info.Create(&form));
        ASSERT_TRUE(control) << c.name;
        EXPECT_STREQ(control->ClassName(), c.name);
        EXPECT_EQ(&control->ClassInfo(), &c.info) << c.name;
        for (const char* property : c.properties)
            EXPECT_TRUE(c.info.FindProperty(property)) << c.name << "." << property;
        auto* windowed = dynamic_cast<TWinControl*>(control);
        EXPECT_EQ(windowed != nullptr, c.windowed) << c.name;
        if (windowed) {
            EXPECT_EQ(windowed->TabStop, c.tab_stop) << c.name;
        }
        EXPECT_GT(control->Width(), 0) << c.name;
        EXPECT_GT(control->Height(), 0) << c.name;
    }

    // Lists and enumerations read back as a definition writes them.
    TMemo memo(&form);
    memo.SetLines({L"one", L"two \"quoted\""});
    EXPECT_EQ(TMemo::StaticClassInfo().FindProperty("Lines")->Get(memo),
              "strings { \"one\" \"two \\\"quoted\\\"\" }");
    TComboBox combo(&form);
    combo.SetStyle(csDropDownList);
    EXPECT_EQ(TComboBox::StaticClassInfo().FindProperty("Style")->Get(combo), "csDropDownList");
}

// Position stays within the range; what the object says is what the window shows, whether
// the values came before the window or after.
TEST_F(CommonControlsTest, ProgressBarRangeAndPosition) {
    struct Case {
        int min, max, position;
        int expected_min, expected_max, expected_position;
    };
    const Case cases[] = {
        {0, 100, 40, 0, 100, 40},
        {0, 100, 140, 0, 100, 100},
        {0, 100, -5, 0, 100, 0},
        {10, 20, 15, 10, 20, 15},
        {-50, 50, -20, -50, 50, -20},
        {300, 200, 250, 200, 300, 250},
        {0, 100000, 70000, 0, 100000, 70000},
    };
    for (const bool before_window : {true, false}) {
        for (const Case& c : cases) {
            TForm form(nullptr);
            TProgressBar bar(&form);
            bar.SetParent(&form);
            if (!before_window)
                form.Show();
            bar.SetRange(c.min, c.max);
            bar.SetPosition(c.position);
            if (before_window)
                form.Show();
            EXPECT_EQ(bar.Min(), c.expected_min);
            EXPECT_EQ(bar.Max(), c.expected_max);
            EXPECT_EQ(bar.Position(), c.expected_position) << c.position;
            PBRANGE range{};
            SendMessageW(bar.Handle(), PBM_GETRANGE, FALSE, LPARAM(&range));
            EXPECT_EQ(range.iLow, c.expected_min);
            EXPECT_EQ(range.iHigh, c.expected_max);
            EXPECT_EQ(SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0), c.expected_position)
                << "before the window: " << before_window << ", position " << c.position;
        }
    }
    // Stepping stops at the end; a narrower range pulls the position in.
    TForm form(nullptr);
    TProgressBar bar(&form);
    bar.SetParent(&form);
    form.Show();
    bar.SetPosition(95);
    bar.StepBy(10);
    EXPECT_EQ(SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0), 100);
    bar.SetMax(60);
    EXPECT_EQ(bar.Position(), 60);
    EXPECT_EQ(SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0), 60);
}

// The window's items under `parent` (TVI_ROOT for the top level), as their labels.
std::vector<std::wstring> WindowItems(HWND tree, HTREEITEM parent) {
    std::vector<std::wstring> labels;
    HTREEITEM item = parent == TVI_ROOT ? TreeView_GetRoot(tree)
                                        : reinterpret_cast<HTREEITEM>(SendMessageW(
                                              tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)))) {
        wchar_t text[128] = {};
        TVITEMW query{};
        query.mask = TVIF_HANDLE | TVIF_TEXT;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = 128;
        SendMessageW(tree, TVM_GETITEMW, 0, LPARAM(&query));
        labels.push_back(text);
    }
    return labels;
}

// The window's item with a label, searched from the top level down.
HTREEITEM FindItem(HWND tree, HTREEITEM parent, const std::wstring& label) {
    HTREEITEM item = parent == TVI_ROOT ? TreeView_GetRoot(tree)
                                        : reinterpret_cast<HTREEITEM>(SendMessageW(
                                              tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(parent)));
    for (const std::wstring& each : WindowItems(tree, parent)) {
        if (each == label)
            return item;
        if (HTREEITEM below = FindItem(tree, item, label))
            return below;
        item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)));
    }
    return nullptr;
}

// Whether the window shows an expand button for an item.
bool ShowsButton(HWND tree, HTREEITEM item) {
    TVITEMW query{};
    query.mask = TVIF_HANDLE | TVIF_CHILDREN;
    query.hItem = item;
    SendMessageW(tree, TVM_GETITEMW, 0, LPARAM(&query));
    return query.cChildren != 0;
}

// A tree of components whose children come when a node is first expanded.
struct LazyTree {
    TForm form{nullptr};
    TTreeView tree{&form};
    TTreeNode programs, empty, leaf;
    std::vector<std::wstring> asked;
    int changes = 0;

    LazyTree() {
        form.SetClientSize(300, 240);
        tree.SetBounds(10, 10, 280, 220);
        tree.SetParent(&form);
        programs = tree.AddNode({}, L"Programs", true);
        empty = tree.AddNode({}, L"Empty", true);
        leaf = tree.AddNode({}, L"Leaf");
        tree.OnExpanding = [this](TComponent*, TTreeNode node) {
            asked.push_back(tree.NodeText(node));
            if (node == programs) {
                tree.AddNode(node, L"Kalvo");
                tree.AddNode(node, L"Tools", true);
            }
        };
        tree.OnChange = [this](TComponent*) {
            ++changes;
        };
        form.Show();
    }
    HWND Window() { return tree.Handle(); }
};

// Expanding a node the first time asks for its children once; they show under it. A node
// that got none loses its button. The user's keys and the program's Expand both do it.
TEST_F(CommonControlsTest, TreeViewAsksForChildrenTheFirstTimeANodeExpands) {
    LazyTree lazy;
    HWND tree = lazy.Window();
    EXPECT_EQ(WindowItems(tree, TVI_ROOT),
              (std::vector<std::wstring>{L"Programs", L"Empty", L"Leaf"}));
    HTREEITEM programs = FindItem(tree, TVI_ROOT, L"Programs");
    ASSERT_TRUE(programs);
    EXPECT_TRUE(ShowsButton(tree, programs));
    EXPECT_TRUE(ShowsButton(tree, FindItem(tree, TVI_ROOT, L"Empty")));
    EXPECT_FALSE(ShowsButton(tree, FindItem(tree, TVI_ROOT, L"Leaf")));
    EXPECT_TRUE(WindowItems(tree, programs).empty());

    // The user: Right expands the selected node, Left collapses it.
    lazy.tree.SetSelected(lazy.programs);
    SetFocus(tree);
    struct Step {
        UINT key;
        bool expanded;
    };
    for (const Step step : {Step{VK_RIGHT, true}, Step{VK_LEFT, false}, Step{VK_RIGHT, true}}) {
        SendMessageW(tree, WM_KEYDOWN, step.key, 1);
        EXPECT_EQ(lazy.tree.Expanded(lazy.programs), step.expanded);
        EXPECT_EQ(lazy.asked, (std::vector<std::wstring>{L"Programs"}));
        EXPECT_EQ(WindowItems(tree, programs), (std::vector<std::wstring>{L"Kalvo", L"Tools"}));
    }
    EXPECT_EQ(lazy.tree.Children(lazy.programs).size(), 2u);

    // The program: Expand asks as well; a node without children loses its button.
    lazy.tree.Expand(lazy.empty);
    lazy.tree.Expand(lazy.empty);
    EXPECT_EQ(lazy.asked, (std::vector<std::wstring>{L"Programs", L"Empty"}));
    EXPECT_FALSE(ShowsButton(tree, FindItem(tree, TVI_ROOT, L"Empty")));
    EXPECT_FALSE(lazy.tree.Expanded(lazy.empty));

    // A lazy child asks in its turn.
    const TTreeNode tools = lazy.tree.Children(lazy.programs)[1];
    EXPECT_TRUE(ShowsButton(tree, FindItem(tree, TVI_ROOT, L"Tools")));
    lazy.tree.Expand(tools);
    EXPECT_EQ(lazy.asked.back(), L"Tools");

    // Selection: the user's keys raise OnChange, the program's choice does not.
    EXPECT_EQ(lazy.changes, 0);
    lazy.tree.SetSelected(lazy.leaf);
    EXPECT_EQ(lazy.tree.Selected(), lazy.leaf);
    EXPECT_EQ(lazy.changes, 0);
    SendMessageW(tree, WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(lazy.tree.Selected(), lazy.empty);
    EXPECT_EQ(lazy.changes, 1);

    // The tree outlives its window: a new window shows the same nodes, expanded and selected
    // as they were, without asking again.
    lazy.form.DestroyHandle();
    lazy.form.Show();
    tree = lazy.Window();
    programs = FindItem(tree, TVI_ROOT, L"Programs");
    EXPECT_EQ(WindowItems(tree, programs), (std::vector<std::wstring>{L"Kalvo", L"Tools"}));
    EXPECT_TRUE(lazy.tree.Expanded(lazy.programs));
    EXPECT_EQ(lazy.tree.Selected(), lazy.empty);
    EXPECT_EQ(lazy.asked.size(), 3u);
    EXPECT_EQ(lazy.changes, 1);

    // Deleting a node takes its children with it.
    lazy.tree.DeleteNode(lazy.programs);
    EXPECT_FALSE(lazy.tree.Exists(lazy.programs));
    EXPECT_FALSE(lazy.tree.Exists(tools));
    EXPECT_EQ(WindowItems(tree, TVI_ROOT), (std::vector<std::wstring>{L"Empty", L"Leaf"}));
}

// The user edits a label (the edit box the tree opens, then Enter or Escape); OnEdited may
// take the text, change it or refuse it, and OnEditing may refuse to start.
TEST_F(CommonControlsTest, TreeViewLabelEditingAcceptedOrRefused) {
    enum Verdict { Accept, Refuse, Trim };
    struct Case {
        const char* what;
        const wchar_t* typed;
        UINT end_key;
        Verdict verdict;
        const wchar_t* label;
        int edited_calls;
    };
    const Case cases[] = {
        {"accepted", L"Kalvo Tools", VK_RETURN, Accept, L"Kalvo Tools", 1},
        {"refused", L"Bad name", VK_RETURN, Refuse, L"Kalvo", 1},
        {"changed by the handler", L"  spaced  ", VK_RETURN, Trim, L"spaced", 1},
        {"cancelled by the user", L"Ignored", VK_ESCAPE, Accept, L"Kalvo", 0},
    };
    for (const Case& c : cases) {
        LazyTree lazy;
        const TTreeNode node = lazy.tree.AddNode({}, L"Kalvo");
        int edited_calls = 0;
        lazy.tree.OnEdited = [&](TComponent*, TTreeNode edited, std::wstring& text, bool& accept) {
            ++edited_calls;
            EXPECT_EQ(edited, node);
            if (c.verdict == Refuse)
                accept = false;
            if (c.verdict == Trim)
                text = text.substr(text.find_first_not_of(L' '),
                                   text.find_last_not_of(L' ') - text.find_first_not_of(L' ') + 1);
        };
        ASSERT_TRUE(lazy.tree.EditLabel(node)) << c.what;
        HWND edit = reinterpret_cast<HWND>(SendMessageW(lazy.Window(), TVM_GETEDITCONTROL, 0, 0));
        ASSERT_TRUE(edit) << c.what;
        SendMessageW(edit, EM_SETSEL, 0, -1);
        for (const wchar_t* ch = c.typed; *ch; ++ch)
            SendMessageW(edit, WM_CHAR, *ch, 1);
        SendMessageW(edit, WM_KEYDOWN, c.end_key, 1);
        test::PumpMessages(2);
        EXPECT_FALSE(SendMessageW(lazy.Window(), TVM_GETEDITCONTROL, 0, 0)) << c.what;
        EXPECT_EQ(edited_calls, c.edited_calls) << c.what;
        EXPECT_EQ(lazy.tree.NodeText(node), c.label) << c.what;
        EXPECT_TRUE(FindItem(lazy.Window(), TVI_ROOT, c.label))
            << c.what << ": the window shows it";
    }

    // Refused before it starts, or read-only: no edit box.
    LazyTree lazy;
    lazy.tree.OnEditing = [](TComponent*, TTreeNode, bool& allow) {
        allow = false;
    };
    EXPECT_FALSE(lazy.tree.EditLabel(lazy.leaf));
    EXPECT_FALSE(SendMessageW(lazy.Window(), TVM_GETEDITCONTROL, 0, 0));
    lazy.tree.OnEditing = nullptr;
    lazy.tree.SetReadOnly(true);
    EXPECT_FALSE(lazy.tree.EditLabel(lazy.leaf));
    EXPECT_FALSE(GetWindowLongPtrW(lazy.Window(), GWL_STYLE) & TVS_EDITLABELS);
}

} // namespace
} // namespace kalvo
