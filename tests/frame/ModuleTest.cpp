// The built plug-in modules, loaded the way a host loads them: options kept
// in the Globals block survive unloading and reloading the library.
#include "Brivane.h"
#include "FakeHost.h"
#include "Kestova.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

namespace {

class Module {
public:
    explicit Module(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (handle_ != nullptr)
            main_ = reinterpret_cast<PluginMainProc>(dlsym(handle_, "PluginMain"));
    }
    ~Module() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    bool Loaded() const { return main_ != nullptr; }
    ASErr operator()(const char* caller, const char* selector, void* message) const {
        return main_(caller, selector, message);
    }

private:
    void* handle_;
    PluginMainProc main_ = nullptr;
};

const std::string kBrivane = std::string(EASEL_PLUGIN_DIR) + "/Brivane.aip/Brivane.so";
const std::string kKestova = std::string(EASEL_PLUGIN_DIR) + "/Kestova.aip/Kestova.so";

TEST(KestovaModule, OptionsSurviveUnloadAndReload) {
    fake::Host host;
    SPMessageData message = host.Message();
    void* block = nullptr;
    {
        Module kestova(kKestova);
        ASSERT_TRUE(kestova.Loaded()) << dlerror();
        ASSERT_EQ(kestova(kSPInterfaceCaller, kSPInterfaceStartupSelector, &message), kNoErr);
        ASSERT_EQ(kestova(kSPAccessCaller, kSPAccessUnloadSelector, &message), kNoErr);
        block = message.globals;
        ASSERT_NE(block, nullptr);
        static_cast<KestovaGlobals*>(block)->pdMode = 7;
    }
    Module kestova(kKestova);
    ASSERT_TRUE(kestova.Loaded());
    message = host.Message();
    message.globals = block;
    ASSERT_EQ(kestova(kSPAccessCaller, kSPAccessReloadSelector, &message), kNoErr);
    message.globals = nullptr;
    ASSERT_EQ(kestova(kSPAccessCaller, kSPAccessUnloadSelector, &message), kNoErr);
    EXPECT_EQ(message.globals, block) << "the reloaded library holds the same block";
    EXPECT_EQ(static_cast<KestovaGlobals*>(block)->pdMode, 7);
    EXPECT_EQ(static_cast<KestovaGlobals*>(block)->pdLimit, 1000.0f);
}

TEST(BothModules, KestovaStartedAfterBrivaneSharesTheRowsColumnsGroup) {
    // One host session with both plug-ins: Kestova asks for the tool Brivane added.
    fake::Host host;
    Module brivane(kBrivane), kestova(kKestova);
    ASSERT_TRUE(brivane.Loaded() && kestova.Loaded());
    SPMessageData message = host.Message();
    ASSERT_EQ(brivane(kSPInterfaceCaller, kSPInterfaceStartupSelector, &message), kNoErr);
    SPMessageData second = host.Message();
    ASSERT_EQ(kestova(kSPInterfaceCaller, kSPInterfaceStartupSelector, &second), kNoErr);
    ASSERT_EQ(host.tools.size(), 14u);
    EXPECT_EQ(host.tools[13].sameGroupAs, 1000) << "the fake host's number of the first tool";
    EXPECT_EQ(brivane(kSPInterfaceCaller, kSPInterfaceShutdownSelector, &message), kNoErr);
    EXPECT_EQ(kestova(kSPInterfaceCaller, kSPInterfaceShutdownSelector, &second), kNoErr);
    EXPECT_TRUE(host.liveBlocks.empty());
}

} // namespace
