// Loading a skin into a model: the masks, the patterns and the section records, in three
// passes over the options file (or over an unpacked stored skin).
#pragma once

#include "skin/options_file.h"
#include "skin/skin_files.h"
#include "skin/skin_model.h"
#include "skin/skin_package.h"
#include "skin/stored_skins.h"

#include <functional>
#include <string>
#include <vector>

namespace kalvo {

// The version above which a skin's format is newer than this loader knows.
constexpr double NewestSkinVersion = 6.29;
// The information for a skin of a newer format; the load goes on.
extern const char* const NewerSkinVersionMessage;

struct TSkinLoadSource {
    // The options text; null loads a skin without options (defaults, no sections).
    const TsOptionsFile* Options = nullptr;
    // The pictures of a packed skin; null for a folder skin.
    const TacSkinConvertor* Package = nullptr;
    // The pictures of a folder skin: names without ":" are taken relative to SkinFolder.
    const ISkinFiles* Files = nullptr;
    std::string SkinFolder;
    // An unpacked stored skin: used instead of Options, Package and Files.
    const TsStoredSkin* Stored = nullptr;
    // The manager's CommonSections lines.
    std::vector<std::string> CommonSections;
    // Receives the information for a newer skin version.
    TSkinWarning Inform;
    // Applied to the model once the section records are read, before the masks are bound
    // to the sections (the manager's hue and saturation adjustment).
    std::function<void(TsSkinModel&)> Adjust;
    // The manager the masks belong to.
    const void* OwnerManager = nullptr;
};

// Builds a new model from `source` and, only when that succeeded, puts it in place of
// `model` (SkinData.Active stays false: the manager sets it). An error (EConvertError, a
// picture reader's error) leaves `model` as it was.
void LoadSkin(TsSkinModel& model, const TSkinLoadSource& source);

// The skin in a package file, as the manager loads one: SkinFolder is the file's folder.
// Returns false, leaving `model`, when the file is not a package (`warn` told the user).
// Throws ESkinPackageError for a damaged package and the errors of LoadSkin.
bool LoadSkinPackageFile(TsSkinModel& model, const ISkinFiles& files, const std::string& file,
                         const TSkinWarning& warn);
// The skin in a folder holding Options.dat and the pictures; SkinFolder is `folder` with
// "\" appended. Returns false, leaving `model`, when the folder has no Options.dat.
bool LoadSkinFolder(TsSkinModel& model, const ISkinFiles& files, const std::string& folder,
                    const TSkinWarning& warn);

} // namespace kalvo
