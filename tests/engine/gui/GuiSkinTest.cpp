// The generated GUI skin on a real dialog: a window with a button, a text box
// and a list box, all drawn from the media generator's files.
#include "GuiFixture.h"

#include "media/GuiMedia.h"

namespace {

using guitest::GuiFixture;
using rendertest::Image;

// 0xRRGGBB of a generated texel.
uint32_t Texel(const media::Image& image, int x, int y)
{
    const media::Rgba& c = image.At(x, y);
    auto byte = [](float v) { return (uint32_t)(v * 255.0f + 0.5f); };
    return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

class GuiSkinTest : public GuiFixture {
protected:
    void ReleaseResources() override
    {
        GuiFixture::ReleaseResources();
        for (vTexture* t : {&buttonUp, &buttonDown, &buttonThird, &textBack, &listBack, &scroll, &windowBack, &frame})
            t->Kill();
    }
    void LoadSkin(vTexture& texture, const char* name)
    {
        ASSERT_EQ(texture.LoadTextureFromFile(temp.File(std::string("media/gui/") + name).c_str(), 0, 1), S_OK) << name;
    }

    vTexture buttonUp, buttonDown, buttonThird, textBack, listBack, scroll, windowBack, frame;
};

TEST_F(GuiSkinTest, DialogDrawnFromTheGeneratedSkin)
{
    std::string error;
    ASSERT_TRUE(media::GenerateGuiMedia(temp.path.string(), error)) << error;
    LoadSkin(buttonUp, "button_up.tga");
    LoadSkin(buttonDown, "button_down.tga");
    LoadSkin(buttonThird, "button_third.tga");
    LoadSkin(textBack, "textbox_back.tga");
    LoadSkin(listBack, "listbox_back.tga");
    LoadSkin(scroll, "listbox_scroll.tga");
    LoadSkin(windowBack, "window_back.tga");
    LoadSkin(frame, "window_border.tga");

    char title[] = "Options";
    char ok[] = "OK";
    vGUIWindow* window = manager->AddWindow(1, title, POINT{100, 100}, 400, 300, &windowBack, &frame);
    vGUIButton* button = manager->AddButton(2, ok, POINT{120, 340}, 128, 32, &buttonUp, &buttonDown, &buttonThird);
    vGUITextbox* text = manager->AddTextbox(3, nullptr, POINT{120, 140}, 200, 24, &textBack, &frame);
    vGUIListbox* list = manager->AddListbox(4, POINT{120, 180}, 200, 140, &listBack, &frame, &scroll);
    for (vGUIElement* e : std::initializer_list<vGUIElement*>{button, text, list}) e->SetParent(window);
    list->Add("first");
    list->Add("second");
    Move(700, 700);  // the button comes up
    Frame();
    Image image = Frame();

    // Textures drawn at their own size show their texels.
    EXPECT_LE(rendertest::ColorDistance(image.At(120 + 64, 340 + 5), Texel(media::MakeButtonUp(), 64, 5)), 6);
    EXPECT_LE(rendertest::ColorDistance(image.At(140, 220), Texel(media::MakeListboxBack(), 10, 10)), 6);
    EXPECT_LE(rendertest::ColorDistance(image.At(100, 250), Texel(media::MakeFrameBorder(), 0, 0)), 6);
    // The scroll bar's up button is a 25-pixel picture of the atlas's top-left quarter: its arrow is dark.
    EXPECT_LT(rendertest::Channel(image.At(320 - 13, 180 + 12), 16), 0x60);
    EXPECT_GT(CountInk(image, RECT{122, 182, 290, 230}), 20) << "the items";
    EXPECT_GT(CountInk(image, RECT{102, 102, 300, 123}), 20) << "the bar text";

    ClickAt(150, 350);
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 2u);  // the window's press and the button's release
}

}  // namespace
