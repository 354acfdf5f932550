// Our theming layer: the three operations every program calls at start-up,
// and the per-thread attachment that lets message boxes of any thread share
// the look.
#pragma once

#include <windows.h>

namespace skin {

// Remembers the program and its name (the name is kept for diagnostics).
void initialize(HINSTANCE instance, const char* application_name);
// Loads a skin from a resource of the program; true when it parsed.
bool load_from_resource(HINSTANCE instance, int resource_id, const char* resource_type);
// Draws every later dialog (message boxes included) with the named object.
void apply_to_dialogs(const char* object_name);
// The start-up protocol of every program: initialise, load the skin from
// resource `skin_id` of type "SKINDATA" and, only when it loaded, apply the
// object "Dialog". A skin that does not load leaves the system look.
void bind(HINSTANCE instance, const char* application_name, int skin_id);
// Makes dialogs created on the calling thread skinned too; harmless when no
// skin is applied. Called by every place that opens a dialog or message box.
void attach_current_thread();

}  // namespace skin
