// The run options of the coordinate code.
#include "foundation/make_params.h"

make_params_t make_params;
