// The front panel of the Windows test executables.
//
// The program defines `FrontPanel frontPanel;`, so its start-up sequence
// runs during static initialisation. A test must first lay out the settings
// file and the working folder (and be ready to answer the first-run
// question), so here the symbol names raw, zeroed storage of the right size
// and alignment, as the program's static storage is before its constructor
// runs. FrontPanelRun (front_panel_run.h) constructs and destroys the object
// in place.
#include "app/front_panel.h"

extern "C" {
alignas(FrontPanel) unsigned char hpWindowsTestFrontPanelStorage[sizeof(FrontPanel)];
}

extern FrontPanel frontPanel __attribute__((alias("hpWindowsTestFrontPanelStorage")));
