#include "app/demo/demo_form.h"

#include "app/framework/application.h"
#include "app/framework/controls/check_box.h"
#include "app/framework/controls/combo_box.h"
#include "app/framework/controls/edit.h"
#include "app/framework/controls/label.h"
#include "app/framework/controls/progress_bar.h"
#include "app/framework/controls/radio_button.h"
#include "app/framework/controls/tree_view.h"
#include "app/framework/form_resources.h"

#include <stdexcept>

namespace kalvo {

namespace {

// The folders the tree shows; each one's subfolders are added the first time it is opened.
const wchar_t* const TopFolders[] = {L"Downloads", L"Incoming", L"Shared", L"Media"};
const wchar_t* const SubFolders[] = {L"Finished", L"Partial", L"Checked"};

} // namespace

TDemoForm::TDemoForm(TComponent* owner) : TForm(owner) {
    ReadFormResource(*this, "demo_form",
                     {{{"FormCreate",
                        [this](TComponent* s) {
                            FormCreate(s);
                        }},
                       {"NameChanged",
                        [this](TComponent* s) {
                            NameChanged(s);
                        }},
                       {"LanguageChanged",
                        [this](TComponent* s) {
                            LanguageChanged(s);
                        }},
                       {"StepClick",
                        [this](TComponent* s) {
                            StepClick(s);
                        }},
                       {"AboutClick",
                        [this](TComponent* s) {
                            AboutClick(s);
                        }},
                       {"OkClick",
                        [this](TComponent* s) {
                            OkClick(s);
                        }},
                       {"CloseClick", [this](TComponent* s) {
                            CloseClick(s);
                        }}}});
    DoCreate();
}

const TClassInfo& TDemoForm::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TDemoForm>("TDemoForm", &TForm::StaticClassInfo()).Build();
    return info;
}

template <class T> T& TDemoForm::Find(const char* name) const {
    T* found = dynamic_cast<T*>(FindComponent(name));
    if (!found)
        throw std::logic_error(std::string("the demo form has no ") + name);
    return *found;
}

void TDemoForm::SetStatus(const std::wstring& text) {
    Find<TLabel>("StatusLabel").SetText(text);
}

void TDemoForm::FormCreate(TComponent*) {
    auto& tree = Find<TTreeView>("FolderTree");
    const TTreeNode root = tree.AddNode({}, L"Kalvo.Net");
    for (const wchar_t* folder : TopFolders)
        tree.AddNode(root, folder, true);
    tree.Expand(root);
    tree.OnExpanding = [&tree](TComponent*, TTreeNode node) {
        if (tree.Children(node).empty())
            for (const wchar_t* folder : SubFolders)
                tree.AddNode(node, folder);
    };
}

void TDemoForm::NameChanged(TComponent*) {
    const std::wstring name = Find<TEdit>("NameEdit").Text();
    SetStatus(name.empty() ? L"Ready." : L"Hello, " + name + L"!");
}

void TDemoForm::LanguageChanged(TComponent*) {
    const auto& box = Find<TComboBox>("LanguageBox");
    if (box.ItemIndex() >= 0)
        SetStatus(L"Language: " + box.Items()[std::size_t(box.ItemIndex())]);
}

void TDemoForm::StepClick(TComponent*) {
    auto& progress = Find<TProgressBar>("Progress");
    progress.SetPosition(progress.Position() >= progress.Max() ? progress.Min()
                                                               : progress.Position() + 10);
    SetStatus(L"Progress: " + std::to_wstring(progress.Position()) + L"%");
}

void TDemoForm::AboutClick(TComponent*) {
    MessageBoxW(Handle(),
                L"Kalvo.Net setup: the application framework's demo window.\n"
                L"Every control here is a standard control of the framework.",
                L"About", MB_OK | MB_ICONINFORMATION);
    SetStatus(L"About closed.");
}

void TDemoForm::OkClick(TComponent*) {
    const std::wstring name = Find<TEdit>("NameEdit").Text();
    const auto& language = Find<TComboBox>("LanguageBox");
    std::wstring text = L"Kept: ";
    text += name.empty() ? L"no name" : name;
    if (language.ItemIndex() >= 0)
        text += L", " + language.Items()[std::size_t(language.ItemIndex())];
    text += Find<TCheckBox>("ShortcutBox").Checked() ? L", shortcut" : L", no shortcut";
    text += Find<TRadioButton>("EveryoneButton").Checked() ? L", everyone." : L", just me.";
    SetStatus(text);
}

void TDemoForm::CloseClick(TComponent*) {
    Close();
}

} // namespace kalvo
