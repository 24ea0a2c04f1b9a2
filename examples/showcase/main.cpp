// VorpexShowcase: every class of the engine in one scene. Run it in a folder
// that holds the generated media (kMedia/ and media/).
#include "ShowcaseApp.h"

int main()
{
    if (!showcase::Startup()) return 1;
    showcase::RunLoop();
    showcase::Shutdown();
    return 0;
}
