#include "app/framework/class_info.h"
#include "app/framework/controls/button.h"
#include "app/framework/form.h"
#include "app/framework/form_reader.h"
#include "tests/framework/support/framework_fixture.h"

#include <string>
#include <vector>

namespace kalvo {
namespace {

// A non-visual component that writes down what happens to it, for checking the order of
// property assignments, reference resolution and Loaded.
class TRecorder : public TComponent {
public:
    using TComponent::TComponent;
    static std::vector<std::string>* Log;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info =
            TClassBuilder<TRecorder>("TRecorder", &TComponent::StaticClassInfo())
                .Creatable()
                .Integer("First", &TRecorder::First,
                         [](TRecorder& r, int v) { r.Note("First", v); })
                .Integer("Second", &TRecorder::Second,
                         [](TRecorder& r, int v) { r.Note("Second", v); })
                .Property({"Partner", pkComponent, nullptr,
                           [](TComponent& c, const TFormValue& v, TReadContext& ctx) {
                               ctx.ResolveLater(v, [&c](TComponent* target) {
                                   static_cast<TRecorder&>(c).partner_ = target;
                                   Log->push_back(c.Name() + ".Partner=" + target->Name());
                               });
                           },
                           [](const TComponent& c) {
                               const TComponent* p = static_cast<const TRecorder&>(c).partner_;
                               return p ? p->Name() : std::string();
                           }})
                .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    int First() const { return first_; }
    int Second() const { return second_; }
    TComponent* Partner() const { return partner_; }
    bool loading_during_set = false;

    void Loaded() override {
        Log->push_back(Name() + ".Loaded");
        TComponent::Loaded();
    }

private:
    void Note(const char* what, int v) {
        loading_during_set = HasState(csLoading) && HasState(csReading);
        (std::string(what) == "First" ? first_ : second_) = v;
        Log->push_back(Name() + "." + what + "=" + std::to_string(v));
    }
    int first_ = 0;
    int second_ = 0;
    TComponent* partner_ = nullptr;
};
std::vector<std::string>* TRecorder::Log = nullptr;

class TReaderTestForm : public TForm {
public:
    using TForm::TForm;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info =
            TClassBuilder<TReaderTestForm>("TReaderTestForm", &TForm::StaticClassInfo()).Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    THandlers Handlers() {
        return {{{"OkClick",
                  [this](TComponent* sender) {
                      clicked.push_back(sender);
                  }},
                 {"FormShow", [this](TComponent*) {
                      ++shows;
                  }}}};
    }
    std::vector<TComponent*> clicked;
    int shows = 0;
};

const char* const Definition = R"(# a small dialog
object ReaderForm : TReaderTestForm {
    Caption = "Reader \u{2014} test"
    BorderStyle = bsDialog
    ClientWidth = 240
    ClientHeight = 120
    Color = clWindow
    Font.Name = "Tahoma"
    Font.Height = -13
    OnShow = FormShow
    object Ok : TButton {
        Left = 20
        Top = 80
        Width = 90
        Height = 25
        Caption = "OK"
        Default = true
        ModalResult = 1
        OnClick = OkClick
    }
    object Second : TRecorder {
        Second = 2
        First = 1
        Partner = First
    }
    object First : TRecorder {
        First = 10
        Partner = ReaderForm
    }
    object Cancel : TButton {
        Left = 130
        Top = 80
        Caption = "Cancel"
        Cancel = true
        Anchors = [akRight, akBottom]
        OnClick = OkClick
    }
}
)";

class FormReaderTest : public test::FrameworkTest {
protected:
    void SetUp() override {
        RegisterComponentClass(TButton::StaticClassInfo());
        RegisterComponentClass(TRecorder::StaticClassInfo());
        TRecorder::Log = &log;
    }
    void TearDown() override { TRecorder::Log = nullptr; }
    std::vector<std::string> log;
};

TEST_F(FormReaderTest, ReadsEveryComponentWithItsPropertiesInOrder) {
    TReaderTestForm form(nullptr);
    ReadFormText(form, Definition, "reader.form", form.Handlers());

    EXPECT_EQ(form.Name(), "ReaderForm");
    EXPECT_EQ(form.Text(), L"Reader \x2014 test");
    EXPECT_EQ(form.BorderStyle, bsDialog);
    EXPECT_EQ(form.ClientWidth(), 240);
    EXPECT_EQ(form.ClientHeight(), 120);
    EXPECT_EQ(form.Color(), clWindow);
    EXPECT_EQ(form.Font().Height(), -13);

    ASSERT_EQ(form.Components().size(), 4u);
    auto* ok = dynamic_cast<TButton*>(form.Components()[0]);
    auto* cancel = dynamic_cast<TButton*>(form.Components()[3]);
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(ok->Name(), "Ok");
    EXPECT_EQ(ok->Parent(), &form);
    EXPECT_EQ(ok->BoundsRect().left, 20);
    EXPECT_EQ(ok->Width(), 90);
    EXPECT_EQ(ok->Text(), L"OK");
    EXPECT_TRUE(ok->Default());
    EXPECT_EQ(ok->ModalResult, 1);
    EXPECT_EQ(form.DefaultControl, ok);
    EXPECT_EQ(form.CancelControl, cancel);
    EXPECT_EQ(cancel->Anchors(), TAnchors(akRight | akBottom));
    // The controls took the form's font, set before they were read.
    EXPECT_EQ(ok->Font().Height(), -13);
    EXPECT_TRUE(ok->ParentFont());

    // Properties in stored order, references once every component exists, Loaded last.
    const std::vector<std::string> expected = {
        "Second.Second=2",          "Second.First=1", "First.First=10", "Second.Partner=First",
        "First.Partner=ReaderForm", "Second.Loaded",  "First.Loaded"};
    EXPECT_EQ(log, expected);
    auto* second = dynamic_cast<TRecorder*>(form.FindComponent("Second"));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->loading_during_set);
    EXPECT_FALSE(second->HasState(csLoading));
    EXPECT_FALSE(form.HasState(csLoading));
    EXPECT_EQ(second->Partner(), form.FindComponent("First"));

    // Handlers are bound by name.
    SendMessageW(ok->Handle(), BM_CLICK, 0, 0);
    SendMessageW(cancel->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.clicked, (std::vector<TComponent*>{ok, cancel}));
    form.Show();
    EXPECT_EQ(form.shows, 1);

    // Scripts read published properties back in the definition's notation.
    EXPECT_EQ(ok->ClassInfo().FindProperty("Caption")->Get(*ok), "\"OK\"");
    EXPECT_EQ(cancel->ClassInfo().FindProperty("Anchors")->Get(*cancel), "[akRight, akBottom]");
    EXPECT_EQ(form.ClassInfo().FindProperty("BorderStyle")->Get(form), "bsDialog");
    EXPECT_EQ(form.ClassInfo().FindProperty("Color")->Get(form), "clWindow");
}

TEST_F(FormReaderTest, MistakesNameTheFileAndLine) {
    struct Mistake {
        const char* what;
        std::string replace;
        std::string with;
        const char* message;
    };
    const Mistake mistakes[] = {
        {"unknown property", "        Default = true", "        Defualt = true",
         "reader.form:17: TButton has no property 'Defualt'"},
        {"unknown class", "object Cancel : TButton", "object Cancel : TBotton",
         "reader.form:30: unknown class TBotton"},
        {"unknown handler", "OnShow = FormShow", "OnShow = FormShown",
         "reader.form:10: TReaderTestForm has no handler 'FormShown'"},
        {"value of the wrong kind", "Width = 90", "Width = \"90\"",
         "reader.form:14: expected an integer, found a string"},
        {"unknown enumeration value", "bsDialog", "bsDailog",
         "reader.form:4: 'bsDailog' is not one of"},
        {"unknown component", "Partner = First", "Partner = Third",
         "reader.form:24: there is no component named 'Third'"},
        {"duplicate name", "object First : TRecorder", "object Second : TRecorder",
         "reader.form:26: a component named \"Second\" already exists"},
        {"wrong root class", "ReaderForm : TReaderTestForm", "ReaderForm : TForm",
         "reader.form:2: the definition is of class TForm"},
        {"syntax", "        Left = 130", "        Left 130", "reader.form:31:"},
    };
    for (const Mistake& mistake : mistakes) {
        std::string text = Definition;
        const std::size_t at = text.find(mistake.replace);
        ASSERT_NE(at, std::string::npos) << mistake.what;
        text.replace(at, mistake.replace.size(), mistake.with);
        TReaderTestForm form(nullptr);
        try {
            ReadFormText(form, text, "reader.form", form.Handlers());
            ADD_FAILURE() << mistake.what << ": no error";
        } catch (const EFormDefinitionError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(mistake.message, 0), 0u)
                << mistake.what << ": " << error.what();
        }
    }
}

} // namespace
} // namespace kalvo
