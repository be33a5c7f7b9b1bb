#pragma once
// A core header that reaches up into the Qt layer and the system: the include
// layers check must name both lines.
#include <unistd.h>
#include "qt/shell/mainwindow.h"
