// The front panel of the test executables.
//
// The program defines `FrontPanel frontPanel;` so that static initialisation
// runs the start-up sequence before WinMain. A test must script the twins
// first (the first-run answer, the mixer, the drives, the module path, a
// working folder), so here the symbol names raw, zeroed storage of the right
// size and alignment instead, as the program's static storage is zeroed
// before its constructor runs. FrontPanelSession (program_harness.h)
// constructs the object in place and destroys it, each test in its own
// process.
#include "app/front_panel.h"

extern "C" {
alignas(FrontPanel) unsigned char hpTestFrontPanelStorage[sizeof(FrontPanel)];
}

// Defined as an alias: every reference to `frontPanel` in the application
// code reaches the storage above, and no constructor runs at start-up.
extern FrontPanel frontPanel __attribute__((alias("hpTestFrontPanelStorage")));
