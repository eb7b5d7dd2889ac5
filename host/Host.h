/* Everything a plug-in or the host needs of the ABI. */
#ifndef HOST_HOST_H
#define HOST_HOST_H
// Read as a system header from wherever it is included: the ABI's C macros
// use C casts, which the C++ expanding them must not be warned about.
#pragma GCC system_header

#include "ASTypes.h"
#include "SPSuites.h"
#include "AISuites.h"
#include "ADMSuites.h"

#endif
