// TImage: a picture without a window of its own, painted by its parent. The picture is a
// TBitmap; a transparent bitmap leaves its transparent colour out, and in 32-bit pictures the
// pixels less than half opaque are left out.
#pragma once

#include "app/framework/control.h"
#include "imaging/bitmap.h"

#include <cstdint>
#include <span>

namespace kalvo {

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    const TBitmap& Picture() const { return picture_; }
    void SetPicture(TBitmap picture);
    // A BMP or JPEG file, told apart by its first bytes; throws EInvalidGraphic for data that
    // is neither or that cannot be decoded (the picture shown stays as it was).
    void LoadFromBytes(std::span<const std::uint8_t> file);

    // Stretch fills the control with the picture; otherwise the picture keeps its size, at
    // the top-left corner or, with Center, in the middle (cut off if it is larger).
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);
    // The control takes the size of each picture it is given.
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool auto_size);

    // Where the picture goes, in the control's coordinates.
    RECT PictureRect() const;

protected:
    void Paint(HDC dc) override;

private:
    void AdjustBounds();

    TBitmap picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool auto_size_ = false;
};

} // namespace kalvo
