// A script file that reaches up into the core: the layer check must refuse it.
#include "installer/core/install_app.h"
#include "installer/core/state/install_state.h"
