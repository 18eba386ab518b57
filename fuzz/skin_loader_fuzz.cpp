// libFuzzer entry for loading a skin: the bytes are the options text of a skin folder whose
// pictures exist (a master bitmap, an edge bitmap, a glow PNG), and their first lines are also
// the manager's common sections. A load either throws the conversion error or yields a model
// whose indexes all point into its tables and whose masks can be measured and cut safely.
#include "imaging/bmp_codec.h"
#include "imaging/png_writer.h"
#include "skin/skin_error.h"
#include "skin/skin_loader.h"
#include "tests/skin/memory_skin_files.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace kalvo;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

const testing::TMemorySkinFiles& Files() {
    static const testing::TMemorySkinFiles files = [] {
        testing::TMemorySkinFiles made;
        TBitmap master(128, 96, pf24bit);
        master.Fill(RGBColor(255, 0, 255));
        made.Add("C:\\Skin\\MASTER.BMP", WriteBMP(master));
        made.Add("C:\\Skin\\EDGE.BMP", WriteBMP(TBitmap(18, 12, pf24bit)));
        TBitmap glow(6, 4, pf32bit);
        glow.Fill(RGBColor(255, 255, 255), 100);
        made.Add("C:\\Skin\\GLOW.PNG", EncodePNG(glow));
        made.Add("C:\\Skin\\CLOSEGLOW.PNG", EncodePNG(glow));
        return made;
    }();
    return files;
}

bool IndexValid(const TsSkinModel& model, int index) {
    return index == -1 || model.MaskIndexValid(index);
}

void CheckModel(const TsSkinModel& model) {
    const TBitmap& master = model.MasterBitmap;
    for (std::size_t i = 0; i < model.MaskTable.size(); ++i) {
        const TsMaskData& mask = model.MaskTable[i];
        const TRect& r = mask.SourceRect;
        const int width = mask.Image ? mask.Image->Width() : master.Width();
        const int height = mask.Image ? mask.Image->Height() : master.Height();
        Check(r.Left >= 0 && r.Top >= 0 && r.Left <= r.Right && r.Top <= r.Bottom);
        Check(r.Right <= width && r.Bottom <= height);
        Check(mask.ImageCount >= 1 && mask.MaskType >= 0);
        Check(StateImageWidth(mask) >= 0 && StateImageHeight(mask) >= 0);
        Check(MaskMarginLeft(mask) >= 0 && MaskMarginRight(mask) >= 0);
        Check(MaskMarginTop(mask) >= 0 && MaskMarginBottom(mask) >= 0);
        model.StateImageSize(int(i));
    }
    for (std::size_t i = 0; i < model.SectionTable.size(); ++i) {
        const TsGeneralData& section = model.SectionTable[i];
        Check(IndexValid(model, section.BordersMaskIndex));
        Check(IndexValid(model, section.CornerTopLeftIndex));
        Check(IndexValid(model, section.CornerBottomRightIndex));
        for (const GradientStep& step : section.GradientSteps)
            Check(step.Percent <= 100);
        for (const char* key : {"PATTERN", "HOTPATTERN", "GLOW0", "GLYPHMASK"}) {
            Check(IndexValid(model, model.FindMask(int(i), section.SectionName, key)));
            Check(IndexValid(model, model.FindTexture(int(i), section.SectionName, key)));
            const int pattern = model.FindPattern(int(i), section.SectionName, key);
            Check(pattern == -1 || std::size_t(pattern) < model.PatternTable.size());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TsOptionsFile options(text);
    TSkinLoadSource source;
    source.Options = &options;
    source.Files = &Files();
    source.SkinFolder = "C:\\Skin\\";
    // The first lines double as common sections.
    std::size_t at = 0;
    for (int line = 0; line < 6 && at < text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        source.CommonSections.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    TsSkinModel model;
    try {
        LoadSkin(model, source);
    } catch (const EConvertError&) {
        Check(!model.Loaded);
        return 0;
    }
    Check(model.Loaded);
    CheckModel(model);
    return 0;
}
