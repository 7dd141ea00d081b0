#pragma once
#include <windows.h>
#define I_IMAGENONE (-2)
