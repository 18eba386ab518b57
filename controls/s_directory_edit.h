// TsDirectoryEdit: the folder field. Its button (or Alt+Down) shows a folder browser rooted at
// Root, with the field's folder preselected when it exists and InitialDir otherwise; the folder
// the user picks becomes the text (raising OnChange) and the next InitialDir, and the field
// takes the focus. Cancelling changes nothing.
#pragma once

#include "controls/folder_browser.h"
#include "controls/s_custom_combo_edit.h"

#include <string>

namespace kalvo {

class TsDirectoryEdit : public TsCustomComboEdit {
public:
    explicit TsDirectoryEdit(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // A root name (rfDesktop, rfMyComputer, ...; see folder_browser.cpp) or a folder path.
    const std::wstring& Root() const { return root_; }
    void SetRoot(const std::wstring& root) { root_ = root; }
    const std::wstring& InitialDir() const { return initial_dir_; }
    void SetInitialDir(const std::wstring& folder) { initial_dir_ = folder; }

    // Shows the browser; the system's by default. Replaceable, so that the field's handling
    // of an answer can be exercised without a modal window.
    TFolderBrowser BrowseForFolder = ShowFolderBrowser;

protected:
    void ButtonAction() override;

private:
    std::wstring root_ = L"rfDesktop";
    std::wstring initial_dir_;
};

} // namespace kalvo
