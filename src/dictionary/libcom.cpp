// The library file set.
#include "dictionary/libcom.h"

libcom_t libcom;
