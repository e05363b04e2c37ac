// The program's entry and exit around the Qt message loop.
#ifndef ZANVO_GUI_STARTUP_QT_H_
#define ZANVO_GUI_STARTUP_QT_H_

#include "app/startup.h"

class QApplication;

namespace zanvo {

// Initialises Qt (Chinese dialog buttons, a CJK font), creates the state
// and the window, runs onWindowCreated, and runs the message loop until the
// window is closed.  Returns 0 then.
int startUp(int argc, char** argv, const CompilerResources& resources);

// Chinese texts for Qt's own dialogs (the buttons of message boxes and of
// the chooser) and a font that draws Chinese.
void installChinese(QApplication& app);

// Releases the process-wide state; runs once at process exit.
void shutDown();

}  // namespace zanvo

#endif  // ZANVO_GUI_STARTUP_QT_H_
