#include "core/skin/ButtonLook.h"

#include <cmath>

namespace brindle {

ButtonPicture ChooseButtonPicture(const ButtonStateFlags& state) {
    if (state.disabled) {
        return ButtonPicture::Disabled;
    }
    if (state.customOn) {
        return ButtonPicture::Custom;
    }
    if (state.pressed) {
        return ButtonPicture::Pressed;
    }
    if (state.hot) {
        return ButtonPicture::Hot;
    }
    if (state.selected) {
        return ButtonPicture::Selected;
    }
    return ButtonPicture::Normal;
}

CaptionColour CaptionColourFor(ButtonPicture picture) {
    switch (picture) {
    case ButtonPicture::Disabled:
        return CaptionColour::Disabled;
    case ButtonPicture::Pressed:
        return CaptionColour::Pressed;
    case ButtonPicture::Hot:
    case ButtonPicture::Selected:
        return CaptionColour::Hot;
    case ButtonPicture::Normal:
    case ButtonPicture::Custom:
        break;
    }
    return CaptionColour::Normal;
}

TextBox CentreRotatedText(const TextBox& box, int textWidth, int textHeight, int escapement) {
    const double angle = escapement / 10.0 * 3.1415927 / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const int runX = static_cast<int>(textWidth * c);   // w cos a
    const int runY = static_cast<int>(textWidth * s);   // w sin a
    const int riseX = static_cast<int>(textHeight * s); // h sin a
    const int riseY = static_cast<int>(textHeight * c); // h cos a
    TextBox out = box;
    if (runX < width) {
        out.left += (width - runX) / 2 - riseX / 2;
    }
    if (runY < height) {
        out.bottom += -(height - runY) / 2 + riseY / 2;
    }
    return out;
}

} // namespace brindle
