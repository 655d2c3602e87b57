// The entry point of a framework program (linked with -municode). Kept in
// its own file so that test programs, which bring their own main, never pull
// it in.
#include "ui/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int cmdShow)
{
    return ui::RunApplication(instance, cmdShow);
}
