// The saver hosted in a window that another program owns: xscreensaver's window, the preview
// area of a settings dialog, or the (virtual) root window. The host sizes the window and ends
// the program; the saver draws, follows the window's size and ends with it.
#pragma once

#include <cstdint>
#include <string>

#include "shell/launch_request.h"

class QWidget;

namespace quillet {

class tScreenForm;

// Creates the screen window (ScreenForm) inside the request's window, with the settings of the
// settings file and the request's overrides. Returns the main window, or null with Error set when
// the window does not exist or cannot hold the saver. Needs the application object.
QWidget* CreateHostedForm(const TLaunchRequest& Request, std::string& Error);

// Shows the hosted window; over the root it goes below every other window.
void ShowHostedForm();

// Keeps Form at Host's size as Host changes: its outer size (border included) for a preview, as
// embedding sizes it, or its inside size.
void FollowHostSize(tScreenForm& Form, uint32_t Host, bool OuterSize);

}  // namespace quillet
