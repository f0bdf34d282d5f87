#pragma once

// A foundation header that reaches up into the program: the layering check must reject it.
#include "core/Settings.h"
#include "app/frmMain.h"
