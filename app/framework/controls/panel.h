// TPanel: a container the framework paints: its Color, an outer and an inner bevel and an
// optional caption centred in it.
#pragma once

#include "app/framework/win_control.h"

namespace kalvo {

enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised };

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Each bevel is BevelWidth lines: light above and left and dark below and right for a
    // raised one, the other way round for a lowered one. The outer bevel is on the edge, the
    // inner one just inside it.
    TPanelBevel BevelOuter() const { return bevel_outer_; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevel_inner_; }
    void SetBevelInner(TPanelBevel bevel);
    int BevelWidth() const { return bevel_width_; }
    void SetBevelWidth(int width);

    // Inside the bevels: where aligned children go.
    RECT ClientRect() const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;

private:
    int BevelSize() const;

    TPanelBevel bevel_outer_ = bvRaised;
    TPanelBevel bevel_inner_ = bvNone;
    int bevel_width_ = 1;
};

} // namespace kalvo
