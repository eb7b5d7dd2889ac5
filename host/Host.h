/* Everything a plug-in or the host needs of the ABI. */
#ifndef HOST_HOST_H
#define HOST_HOST_H

#include "ASTypes.h"
#include "SPSuites.h"
#include "AISuites.h"
#include "ADMSuites.h"

#endif
