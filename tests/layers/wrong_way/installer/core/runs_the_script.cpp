// The core including the script below it: the layer check must accept it.
#include "installer/script/script_reader.h"
#include "installer_strings.h"
