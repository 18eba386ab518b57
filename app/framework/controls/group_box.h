// TGroupBox: a frame with a caption around related controls, over the system's BUTTON class
// (a group box). It is a container: the controls inside are child windows of it, and it
// paints its windowless children and takes the mouse for them. Like the labelled buttons it
// takes its parent's colour.
#pragma once

#include "app/framework/win_control.h"

namespace kalvo {

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Inside the frame and below the caption: where aligned children go.
    RECT ClientRect() const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void EraseBackground(HDC dc);
};

} // namespace kalvo
