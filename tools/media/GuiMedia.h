// The engine GUI's skin under <root>/media/gui/: button looks (up, down,
// third), text box, list box and window backgrounds and borders, and the list
// box's 2 x 2 scroll atlas (up button top left, down button bottom left, track
// top right, thumb bottom right). Every texture is opaque.
#pragma once

#include <string>
#include <vector>

#include "media/Image.h"

namespace media {

// Every skin file, relative to the root, '/'-separated.
std::vector<std::string> GuiMediaFileNames();

// Writes the skin. The same build always writes the same bytes. Returns false
// and an error naming the file or folder on the first failure.
bool GenerateGuiMedia(const std::string& root, std::string& error);

Image MakeButtonUp();       // 128 x 32: raised, lit from the top left
Image MakeButtonDown();     // 128 x 32: pressed in, darker
Image MakeButtonThird();    // 128 x 32: flat and greyed
Image MakeTextboxBack();    // 32 x 32: near white, a faint inner shadow at the top
Image MakeListboxBack();    // 32 x 32: near white
Image MakeFrameBorder();    // 8 x 8: the dark slate of every frame strip
Image MakeListboxScroll();  // 64 x 64: the scroll atlas, each quarter outlined alike
Image MakeWindowBack();     // 64 x 64: a soft woven pattern that tiles seamlessly

}  // namespace media
