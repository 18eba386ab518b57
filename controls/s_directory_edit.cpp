#include "controls/s_directory_edit.h"

#include "app/framework/class_info.h"

namespace kalvo {

namespace {

bool IsExistingFolder(const std::wstring& path) {
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

TsDirectoryEdit::TsDirectoryEdit(TComponent* owner) : TsCustomComboEdit(owner) {
    // Typed paths end at 255 characters; the program's own text is not cut.
    SetMaxLength(255);
}

void TsDirectoryEdit::ButtonAction() {
    if (!BrowseForFolder)
        return;
    TFolderBrowseRequest request;
    if (HandleAllocated())
        request.Owner = GetAncestor(Handle(), GA_ROOT);
    request.Root = root_;
    const std::wstring text = Text();
    request.InitialFolder = IsExistingFolder(text) ? text : initial_dir_;
    const std::optional<std::wstring> folder = BrowseForFolder(request);
    if (!folder || folder->empty())
        return;
    // InitialDir first: OnChange handlers see both up to date.
    initial_dir_ = *folder;
    SetText(*folder);
    if (HWND window = WindowHandle(); window && IsWindowVisible(window) && IsWindowEnabled(window))
        SetFocus();
}

const TClassInfo& TsDirectoryEdit::StaticClassInfo() {
    using E = TsDirectoryEdit;
    static const TClassInfo info =
        TClassBuilder<E>("TsDirectoryEdit", &TsCustomComboEdit::StaticClassInfo())
            .Creatable()
            .String("Root", &E::Root, &E::SetRoot)
            .String("InitialDir", &E::InitialDir, &E::SetInitialDir)
            .Build();
    return info;
}

} // namespace kalvo
