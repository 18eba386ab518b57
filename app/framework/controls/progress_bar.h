// TProgressBar: the system's progress bar (a common control). Position stays within Min and
// Max; the values are kept in the object and given to the window when it is made.
#pragma once

#include "app/framework/win_control.h"

namespace kalvo {

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    int Min() const { return min_; }
    int Max() const { return max_; }
    // A range whose ends are the wrong way round is put right; the position is brought into it.
    void SetRange(int min, int max);
    void SetMin(int min) { SetRange(min, max_ < min ? min : max_); }
    void SetMax(int max) { SetRange(min_ > max ? max : min_, max); }
    int Position() const { return position_; }
    void SetPosition(int position);
    // Moves the position by `delta`, stopping at the ends.
    void StepBy(int delta) { SetPosition(position_ + delta); }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

} // namespace kalvo
