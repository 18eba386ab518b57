// Internal skins through the form definition: the package bytes come back unchanged.
#include "skin/stored_skins_form.h"

#include "skin/skin_package.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

TEST(StoredSkinsForm, DataAndPropertiesSurviveWriteAndRead) {
    TsStoredSkins skins;
    TsStoredSkin& packed = skins.Add();
    packed.Name = "Topaz (internal)";
    const std::vector<std::uint8_t> package =
        WritePackage({{"Options.dat", {'[', 'A', ']', '\r', '\n'}}});
    packed.Data = TMemoryStream(package);
    TsStoredSkin& described = skins.Add();
    described.Name = "Plain";
    described.Version = 6.14;
    described.Author = "A \"quoted\" author";
    described.Shadow1Blur = 2;
    described.BorderColor = 13680037;

    TFormObject form;
    form.Name = "sSkinManager1";
    form.ClassName = "TsSkinManager";
    form.Properties.push_back({"InternalSkins", WriteStoredSkins(skins), 0});
    const std::string text = WriteFormDefinition(form);
    EXPECT_NE(text.find("41537A66"), std::string::npos) << text;

    const TFormObject back = ParseFormDefinition(text, "skins.form");
    TsStoredSkins read;
    ReadStoredSkins(back.Properties.at(0).Value, read);
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(read.Names(), (std::vector<std::string>{"Topaz (internal)", "Plain"}));
    EXPECT_TRUE(read.Item(0).IsPacked());
    EXPECT_EQ(read.Item(0).Data.Bytes(), package);
    EXPECT_FALSE(read.Item(1).IsPacked());
    EXPECT_DOUBLE_EQ(read.Item(1).Version, 6.14);
    EXPECT_EQ(read.Item(1).Author, described.Author);
    EXPECT_EQ(read.Item(1).Shadow1Blur, 2);
    EXPECT_EQ(read.Item(1).BorderColor, 13680037u);
    EXPECT_EQ(read.Item(1).Shadow1Offset, 0);
}

TEST(StoredSkinsForm, RefusesWhatIsNotAnInternalSkin) {
    const char* const cases[] = {
        "object M : TsSkinManager { InternalSkins = items { item { Colour = 1 } } }",
        "object M : TsSkinManager { InternalSkins = items { item { Data = \"text\" } } }",
        "object M : TsSkinManager { InternalSkins = items { item { Version = \"new\" } } }",
        "object M : TsSkinManager { InternalSkins = \"none\" }",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        const TFormObject form = ParseFormDefinition(text, "bad.form");
        TsStoredSkins skins;
        skins.Add().Name = "kept";
        EXPECT_THROW(ReadStoredSkins(form.Properties.at(0).Value, skins), std::invalid_argument);
        EXPECT_EQ(skins.Names(), std::vector<std::string>{"kept"});
    }
}

} // namespace
} // namespace kalvo
