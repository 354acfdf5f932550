// Whether Filvane may start a web browser (the home page it opens on closing).
#pragma once

// On Linux Filvane runs as root: a browser started from it would run as root
// too, with a web page's scripts and downloads in root's hands. There it
// starts none; on Windows the shell starts the user's browser as usual.
bool may_start_browser();
