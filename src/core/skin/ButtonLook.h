// Which picture an image button shows, and where its rotated caption goes. Pure functions, so
// the drawing rules are checked without a window.
#pragma once

namespace brindle {

enum class ButtonPicture { Normal, Hot, Pressed, Disabled, Selected, Custom };

struct ButtonStateFlags {
    bool disabled = false;
    bool customOn = false; // the two custom pictures replace the state pictures
    bool pressed = false;
    bool hot = false;
    bool selected = false;
};

// First match wins: disabled, custom, pressed, hot, selected, normal. So a pressed selected
// button looks pressed and a disabled selected one looks disabled.
ButtonPicture ChooseButtonPicture(const ButtonStateFlags& state);

// Which of the four caption colours goes with the picture: selected and hot share the hot
// colour, custom pictures use the normal one.
enum class CaptionColour { Normal, Hot, Pressed, Disabled };
CaptionColour CaptionColourFor(ButtonPicture picture);

struct TextBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A caption drawn rotated by `escapement` tenths of a degree (counter-clockwise) is centred in
// `box` by moving its left and bottom edges; `textWidth` and `textHeight` are the caption's
// unrotated extent. Every product and every half is truncated toward zero. The text's top-left
// corner then sits at (left, bottom) of the returned box, and the text runs along the angle.
TextBox CentreRotatedText(const TextBox& box, int textWidth, int textHeight, int escapement);

} // namespace brindle
