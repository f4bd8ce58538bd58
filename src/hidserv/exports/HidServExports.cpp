// The library's exported C functions; the backends live beside this folder.
#include "HidServ.h"
