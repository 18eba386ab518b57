#include "app/framework/controls/group_box.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/control_paint.h"

namespace kalvo {

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
    parent_color_ = true;
    width_ = 185;
    height_ = 105;
}

void TGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"BUTTON";
    params.Style |= BS_GROUPBOX;
    // Tab and the arrow keys go through the controls inside.
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

RECT TGroupBox::ClientRect() const {
    RECT client = TWinControl::ClientRect();
    client.top += MeasureText(font_.Handle(), L"0", DT_SINGLELINE).cy;
    InflateRect(&client, -2, -2);
    if (client.bottom < client.top)
        client.bottom = client.top;
    if (client.right < client.left)
        client.right = client.left;
    return client;
}

// The system draws only the frame and the caption; the inside is ours. The DC of a group box
// is clipped like its parent's, so the child windows are left out by hand.
void TGroupBox::EraseBackground(HDC dc) {
    HWND window = WindowHandle();
    const int saved = SaveDC(dc);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT bounds;
        GetWindowRect(child, &bounds);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&bounds), 2);
        ExcludeClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color_));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    RestoreDC(dc, saved);
}

void TGroupBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND:
        EraseBackground(HDC(message.WParam));
        message.Result = 1;
        return;
    case WM_PAINT: {
        // The class paints into a DC it is given; the windowless children go on top.
        PAINTSTRUCT ps;
        HDC dc = message.WParam ? HDC(message.WParam) : BeginPaint(WindowHandle(), &ps);
        TMessage paint{WM_PAINT, WPARAM(dc), 0, 0};
        DefaultHandler(paint);
        PaintControls(dc);
        if (!message.WParam)
            EndPaint(WindowHandle(), &ps);
        return;
    }
    case WM_NCHITTEST:
        // The class lets the mouse through to the parent; the controls inside need it.
        message.Result = HTCLIENT;
        return;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

const TClassInfo& TGroupBox::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGroupBox>("TGroupBox", &TWinControl::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
