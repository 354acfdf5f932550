#include "shell/browser_start.h"

bool may_start_browser() { return true; }
