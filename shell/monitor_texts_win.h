// The monitoring core's window texts from Filvane's string table, loaded
// once and handed over: the core composes them but cannot read resources.
#pragma once

#include "monitor/monitor_pass.h"
#include "monitor/status_line.h"

StatusTexts status_texts();
PassBoxTexts pass_box_texts();
