// How every test host starts: the process-wide host state emptied (no tools,
// document or input), every suite the plug-ins acquire registered (AI, ADM,
// SP), and the dialog manager back on its own drivers.
#pragma once

#include "adm/Dialog.h"
#include "adm/RegisterADM.h"
#include "core/HostState.h"
#include "loader/Loader.h"
#include "suites/RegisterAISuites.h"

namespace easel::test {

inline void startHost() {
    HostState& state = hostState();
    state.reset();
    registerAISuites(state.suites);
    registerADMSuites(state.suites);
    registerSPSuites(state.suites);
    adm::dialogManager().setDefaultDriver(nullptr);
    adm::dialogManager().setNextDriver(nullptr);
}

}  // namespace easel::test
