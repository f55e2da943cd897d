// The SDL host's keys around dialogs, under SDL's dummy video driver: Alt+Enter switches the
// display between full screen and a window without reaching the window procedure while other
// keys still do, and a dialog is refused where nobody could answer it.
#include <SDL.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/host/sdl/sdl_dialog.h"
#include "platform/host/sdl/sdl_host.h"
#include "platform/host/sdl/sdl_window.h"
#include "platform/win32/win32.h"
#include "tests/support/show_fixture.h"

namespace {

std::vector<std::pair<int, bool>> g_downs;  // vk, alt
std::vector<int> g_ups;

void Down(int vk, bool alt, bool) { g_downs.push_back({vk, alt}); }
void Up(int vk, bool) { g_ups.push_back(vk); }
void Close() {}

void PushKey(SDL_Keycode key, Uint16 mod, bool repeat, bool up = false) {
    SDL_Event e{};
    e.type = up ? SDL_KEYUP : SDL_KEYDOWN;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat ? 1 : 0;
    e.key.windowID = SDL_GetWindowID(SdlDisplayWindow());
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

bool FullScreen() { return (SDL_GetWindowFlags(SdlDisplayWindow()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0; }

class SdlHostKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        g_downs.clear();
        g_ups.clear();
    }
    void TearDown() override {
        SdlCloseDisplay();  // video stays up: the host initialises it once per process
        unsetenv("SDL_VIDEODRIVER");
    }
};

TEST_F(SdlHostKeys, AltEnterTogglesFullScreenAndOtherKeysStillArrive) {
    std::string why;
    ASSERT_TRUE(SdlOpenDisplay(-1, 640, 480, why)) << why;  // the windowed driver
    ASSERT_FALSE(FullScreen());
    const HostInputSink sink{Down, Up, Close};
    PushKey(SDLK_RETURN, KMOD_LALT, false);
    SdlPumpEvents(sink);
    EXPECT_TRUE(FullScreen());
    PushKey(SDLK_RETURN, KMOD_LALT, true);  // auto-repeat of the same press: no second switch
    SdlPumpEvents(sink);
    EXPECT_TRUE(FullScreen());
    PushKey(SDLK_RETURN, KMOD_RALT, false);
    SdlPumpEvents(sink);
    EXPECT_FALSE(FullScreen());
    // Alt let go before Return: the key-up still belongs to the switch.
    PushKey(SDLK_RETURN, KMOD_NONE, false, true);
    SdlPumpEvents(sink);
    EXPECT_TRUE(g_downs.empty());  // the window procedure never saw Alt+Enter, down or up
    EXPECT_TRUE(g_ups.empty());
    PushKey(SDLK_ESCAPE, KMOD_NONE, false);
    PushKey(SDLK_ESCAPE, KMOD_LALT, false);
    PushKey(SDLK_RETURN, KMOD_NONE, false);
    SdlPumpEvents(sink);
    PushKey(SDLK_RETURN, KMOD_NONE, false, true);
    SdlPumpEvents(sink);
    EXPECT_EQ(g_downs, (std::vector<std::pair<int, bool>>{{VK_ESCAPE, false}, {VK_ESCAPE, true}, {VK_RETURN, false}}));
    EXPECT_EQ(g_ups, std::vector<int>{VK_RETURN});  // a plain Return's key-up arrives
}

TEST_F(SdlHostKeys, DialogsAreRefusedWhereNobodyCanAnswerThem) {
    std::string why;
    EXPECT_FALSE(SdlOpenDialog("Zelk6", 0, 0, 520, 140, why));
    EXPECT_EQ(why, "no screen to show a dialog on (video driver dummy)");
    // The keys a dialog understands.
    EXPECT_EQ(SdlDialogVirtualKey(SDLK_KP_ENTER), VK_RETURN);
    EXPECT_EQ(SdlDialogVirtualKey(SDLK_F4), VK_F4);
    EXPECT_EQ(SdlDialogVirtualKey(SDLK_PAGEDOWN), VK_NEXT);
    EXPECT_EQ(SdlDialogVirtualKey(SDLK_F5), 0);
}

}  // namespace
