#include "app/demo/demo_form.h"
#include "app/framework/application.h"
#include "app/framework/controls/edit.h"
#include "app/framework/standard_classes.h"
#include "imaging/file_bytes.h"
#include "imaging/png_writer.h"
#include "imaging/window_capture_win32.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace kalvo {
namespace {

void PumpMessages() {
    MSG msg;
    for (int round = 0; round < 10; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

int Distance(TColor a, TColor b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

std::filesystem::path ScreenshotDir() {
    const char* dir = std::getenv("KALVO_SCREENSHOT_DIR");
    return dir && *dir ? std::filesystem::path(dir) : std::filesystem::current_path();
}

// The demo window as its definition describes it, captured through the window's DC, and
// written where a person can look at it.
TEST(DemoFormTest, ShowsItsControlsAndAnswersTheUser) {
    TApplication app;
    RegisterStandardClasses();
    TDemoForm* form = app.CreateForm<TDemoForm>();
    form->Show();
    PumpMessages();

    const TBitmap client = CaptureClient(form->Handle());
    ASSERT_EQ(client.Width(), 460);
    ASSERT_EQ(client.Height(), 344);
    EXPECT_EQ(client.Pixel(300, 4), RGBColor(255, 255, 255)) << "the white banner";
    EXPECT_EQ(client.Pixel(14 + 3, 12 + 16), RGBColor(52, 96, 150)) << "the logo's blue";
    EXPECT_EQ(client.Pixel(450, 150), TColor(16313565)) << "the form's colour";
    int title_pixels = 0;
    for (int y = 9; y < 32; ++y)
        for (int x = 58; x < 160; ++x)
            title_pixels += Distance(client.Pixel(x, y), 3484708) < 60;
    EXPECT_GT(title_pixels, 80) << "the title in the text colour";

    const std::filesystem::path png = ScreenshotDir() / "demo_form.png";
    WriteFileBytes(png, EncodePNG(CaptureWindow(form->Handle())));
    EXPECT_GT(std::filesystem::file_size(png), 2000u);

    // Typing into the name field reaches its handler through the edit's change event.
    auto* name = dynamic_cast<TEdit*>(form->FindComponent("NameEdit"));
    ASSERT_NE(name, nullptr);
    for (const wchar_t ch : std::wstring(L"Ann"))
        SendMessageW(name->Handle(), WM_CHAR, ch, 0);
    auto* status = dynamic_cast<TControl*>(form->FindComponent("StatusLabel"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->Text(), L"Hello, Ann!");
    auto* ok = dynamic_cast<TWinControl*>(form->FindComponent("OkButton"));
    ASSERT_NE(ok, nullptr);
    SendMessageW(ok->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(status->Text(), L"Kept: Ann, English, shortcut, just me.");
}

} // namespace
} // namespace kalvo
