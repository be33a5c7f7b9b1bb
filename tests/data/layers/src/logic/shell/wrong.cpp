// A shell file that includes a window and Qt: the include layers check must name both.
#include <QString>
#include "logic/movements/movemententry.h"
