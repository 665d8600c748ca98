/* Covered by the stand-in windows.h. */
#pragma once
#include <windows.h>
