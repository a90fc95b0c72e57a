#pragma once

// Shared by the resource script and the program.
#define ZANDOR_ICON 1
