// Tests acquire suites the way a plug-in does: by name and version from a
// registry that registerAISuites filled.
#pragma once

#include <gtest/gtest.h>

#include "HostState.h"
#include "Host.h"
#include "suites/AISuites.h"

namespace easel::test {

template <class Suite>
const Suite* acquire(const SuiteRegistry& registry, const char* name, int32_t version) {
    return static_cast<const Suite*>(registry.find(name, version));
}

class SuiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostState().reset();
        registerAISuites(registry);
        memory = acquire<AIMdMemorySuite>(registry, kAIMdMemorySuite, kAIMdMemorySuiteVersion);
        math = acquire<AIRealMathSuite>(registry, kAIRealMathSuite, kAIRealMathSuiteVersion);
        user = acquire<AIUserSuite>(registry, kAIUserSuite, kAIUserSuiteVersion);
        random = acquire<AIRandomSuite>(registry, kAIRandomSuite, kAIRandomSuiteVersion);
        tool = acquire<AIToolSuite>(registry, kAIToolSuite, kAIToolSuiteVersion);
        prefs = acquire<AIPreferenceSuite>(registry, kAIPreferenceSuite, kAIPreferenceSuiteVersion);
        ASSERT_NE(memory, nullptr);
        ASSERT_NE(math, nullptr);
        ASSERT_NE(user, nullptr);
        ASSERT_NE(random, nullptr);
        ASSERT_NE(tool, nullptr);
        ASSERT_NE(prefs, nullptr);
    }
    void TearDown() override { hostState().reset(); }

    SuiteRegistry registry;
    const AIMdMemorySuite* memory = nullptr;
    const AIRealMathSuite* math = nullptr;
    const AIUserSuite* user = nullptr;
    const AIRandomSuite* random = nullptr;
    const AIToolSuite* tool = nullptr;
    const AIPreferenceSuite* prefs = nullptr;
};

}  // namespace easel::test
